// The Alaska, Hawaii and Puerto Rico charges and the offshore lines of the quote, on the sample
// tariff. Every amount is worked from the sample rows and settings quoted beside it:
//   settings  AK_FSC 0.14, AK_SPECIAL_FSC 0.18, AK_AIR_FSC 0.22, AK_Discount 10,
//             AK_MilitaryBase 45 / 75 / 125, AK_HMOcean 4.50 per cwt, 45 to 350, HI_FSC 0.16,
//             HI_OCEAN 3.25 / 2.95 / 2.70 a cubic foot, minimum 95, HI_WHARFAGE 0.12, min 15,
//             HI_WHARFAGE_MilitaryBase 55, HI_HMOcean 0.85 min 75, HI_HMDelivery 65,
//             HI_WILLCALL_OAHU 0.25 min 35, _MAUI 0.30 min 40, PR_XCV 2.85 / 14.50 floor 185,
//             PR_NJV 2.65 / 13.75 floor 175, PR_bunker 0.30 / 1.25 min 12 max 150,
//             PR_docs 35, PR_HMOcean 95
//   AK Rates  z1c70  9500 | 4108 3615 3122 2629 2259;  z1c85  9500 | 4680 4118 3557 2995 2574
//             z1c100 9500 | 5200 4576 3952 3328 2860
//   AK Air    zone 102: minimum 75, below class 100 80.00, class 100 98.00, 110-150 122.00
//   HI Rates  zone 1 (min 43) 0.65 0.60 0.55 0.51 0.47; zone 2 (46) 0.70 …;
//             zone 9 (67) 1.05 0.97 0.89 0.82 0.75
//   PR charges zone 1: Min 55, Max 500, 5.40 / 4.70 / 4.10 per cwt, 0.35 a cubic foot

#include "offshorecharges.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "offshorefixture.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "settings.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

constexpr int kLandLastLine = 9;

class OffshoreCharges : public OffshoreTest {
  protected:
    void SetUp() override {
        OffshoreTest::SetUp();
        quote.Clear();
        quote.gQuoteLine = kLandLastLine;
        VerifyOrigin("60601");
    }
    void TearDown() override {
        quote.Clear();
        OffshoreTest::TearDown();
    }

    void OneLine(const std::string& weight, const std::string& cls) {
        SetLine(0, weight, cls);
        rating.gTotalWeight = static_cast<int32_t>(Val(weight));
    }
    void Hawaii(const std::string& zip, const std::string& cube) {
        EnterDestZip(zip);
        ASSERT_TRUE(SetupOffshore("HI"));
        commodityLines.txtOceanDensity = cube;
    }
    void SanJuan(bool elizabeth, const std::string& cube) {
        EnterDestZip("00901");
        portAnswerElizabeth = elizabeth;
        ASSERT_TRUE(SetupOffshore("PR"));
        commodityLines.txtOceanDensity = cube;
    }
    void Alaska(const std::string& choice, bool military = false) {
        ChooseDestCity(choice);
        militaryAnswerYes = military;
        ASSERT_TRUE(SetupOffshore("AK"));
    }
    // Writes the offshore lines after a land total and returns what the quote shows below the
    // land lines.
    Rows Write(Single landTotal, Single* grandTotal = nullptr) {
        const Single total = WriteOffshoreQuoteLines(landTotal);
        if (grandTotal) *grandTotal = total;
        Rows rows;
        for (int i = kLandLastLine + 1; i <= quote.gQuoteLine; ++i)
            rows.emplace_back(quote.Line(i).rate.text, quote.Line(i).charge.text);
        return rows;
    }
};

// ------------------------------------------------------------------ Alaska

TEST_F(OffshoreCharges, AnchorageOneLineAtItsOwnBreak) {
    Alaska("ANCHORAGE, AK");
    OneLine("800", "70");
    // Break 1 charges 8 x 41.08 = 328.64, the cheapest: break 2 is 289.20 + 72.30 deficit.
    // Less 10%: 32.86, leaving 295.78; fuel 0.14 x 295.78 = 41.41.
    Single total = 0;
    EXPECT_EQ(Write(500.00f, &total), (Rows{{"BEYOND CHARGES", "$295.78"},
                                            {"BUNKER SURCHARGE", "$41.41"},
                                            {"", ""},
                                            {"TOTAL CHARGES", "$837.19"}}));
    EXPECT_NEAR(total, 837.19, 0.001);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OffshoreCharges, TheAlaskaFiguresReplaceThePerBreakValues) {
    Alaska("ANCHORAGE, AK");
    OneLine("800", "70");
    EXPECT_NEAR(BeyondOceanCharges("", 800), 328.64, 0.001);
    EXPECT_EQ(rating.gFirstBreak, 1);
    EXPECT_EQ(rating.gLastBreak, 5);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 95.00f);
    EXPECT_NEAR(rating.gLineRate[1][0], 41.08, 0.001);
    EXPECT_FLOAT_EQ(rating.gRatedAsWeight[2], 1000);
    EXPECT_FLOAT_EQ(rating.gDefWeight[2], 200);
    EXPECT_NEAR(rating.gDefCharge[2], 72.30, 0.001);
    EXPECT_NEAR(rating.gGrossCharge[2], 361.50, 0.001);
    // Rated as 10,000 lbs at break 5: 92 x 22.59 deficit + 8 x 22.59.
    EXPECT_NEAR(rating.gGrossCharge[5], 2259.00, 0.001);
}

TEST_F(OffshoreCharges, SeveralAlaskaLinesPayTheDeficitAtTheLowestClass) {
    Alaska("ANCHORAGE, AK");
    SetLine(0, "600", "70");
    SetLine(1, "300", "100");
    rating.gTotalWeight = 900;
    // Break 1: 246.48 + 156.00 = 402.48.  Break 2: 216.90 + 137.28 + 100 lbs at 36.15 = 390.33.
    EXPECT_NEAR(BeyondOceanCharges("", 900), 390.33, 0.001);
    EXPECT_NEAR(rating.gLineCharge[1][1], 156.00, 0.001);
    EXPECT_NEAR(rating.gDefRate[2], 36.15, 0.001);
    EXPECT_FLOAT_EQ(rating.gDefWeight[2], 100);
    EXPECT_NEAR(rating.gDefCharge[2], 36.15, 0.001);
    EXPECT_NEAR(rating.gGrossCharge[3], 649.30, 0.001);
}

TEST_F(OffshoreCharges, ClassesAbove100ArePricedFromClass100) {
    Alaska("ANCHORAGE, AK");
    OneLine("2500", "150");
    // Class-100 rates x 1.5: 59.28 at break 3 for 25 cwt = 1482.00; break 4 costs 2496.00.
    EXPECT_NEAR(BeyondOceanCharges("", 2500), 1482.00, 0.001);
    EXPECT_EQ(rating.gFirstBreak, 3);
    EXPECT_NEAR(rating.gGrossCharge[4], 2496.00, 0.001);
}

TEST_F(OffshoreCharges, TheAlaskaMinimumChargeAppliesBelow2000Lbs) {
    Alaska("ANCHORAGE, AK");
    OneLine("100", "70");
    // 1 cwt at 41.08 is below the 95.00 minimum.
    EXPECT_NEAR(BeyondOceanCharges("", 100), 95.00, 0.001);
}

TEST_F(OffshoreCharges, AlaskaWeightsAbove32000LbsAreRefused) {
    Alaska("ANCHORAGE, AK");
    OneLine("32000", "70");
    EXPECT_NEAR(BeyondOceanCharges("", 32000), 7228.80, 0.001);  // 320 x 22.59
    EXPECT_EQ(rating.gFirstBreak, 5);
    EXPECT_NO_THROW(CheckOffshoreRating());

    OneLine("20000", "70");
    SetLine(1, "12001", "70");
    rating.gTotalWeight = 32001;
    for (auto run : {+[] { CheckOffshoreRating(); }, +[] { BeyondOceanCharges("", 32001); }}) {
        try {
            run();
            ADD_FAILURE() << "32,001 lbs to Alaska was rated";
        } catch (const RatingRefusal& refusal) {
            EXPECT_NE(refusal.text().find("32001 lbs"), std::string::npos) << refusal.text();
            EXPECT_NE(refusal.text().find("over 32,000 lbs"), std::string::npos);
        }
    }
}

TEST_F(OffshoreCharges, AnchorageMilitaryBaseAndTheQuoteWindowsHazardousChoice) {
    Alaska("ANCHORAGE, AK", true);
    OneLine("800", "70");
    rating.gQAccHazardous = true;
    // Hazardous: 4.50 / 100 x 800 = 36.00, raised to the 45.00 minimum.
    EXPECT_EQ(Write(0), (Rows{{"BEYOND CHARGES", "$295.78"},
                              {"MILITARY BASE CHARGE", "$45.00"},
                              {"HAZARDOUS MATERIALS OCEAN CHARGE", "$45.00"},
                              {"BUNKER SURCHARGE", "$41.41"},
                              {"", ""},
                              {"TOTAL CHARGES", "$427.19"}}));
}

TEST_F(OffshoreCharges, TheAlaskaBaseChargeFollowsTheWeight) {
    Alaska("ANCHORAGE, AK", true);
    const std::pair<const char*, const char*> kTiers[] = {
        {"1000", "$45.00"}, {"1001", "$75.00"}, {"2500", "$75.00"}, {"2501", "$125.00"}};
    for (const auto& [weight, charge] : kTiers) {
        OneLine(weight, "70");
        quote.Clear();
        quote.gQuoteLine = kLandLastLine;
        const Rows rows = Write(0);
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows[1], std::make_pair(std::string("MILITARY BASE CHARGE"), std::string(charge)))
            << weight;
    }
}

TEST_F(OffshoreCharges, AnAirOnlyPointPaysTheBeyondAsAnchorageAndTheAirLeg) {
    Alaska("BETHEL, AK");
    ASSERT_EQ(offshore.gOffshoreZone, 102);
    OneLine("500", "85");
    // Beyond at zone 1: 5 x 46.80 = 234.00, less 23.40 = 210.60; fuel 0.14 x 210.60 = 29.48.
    // Air: 5 x 80.00 = 400.00; air fuel 0.22 x 400.00 = 88.00.
    EXPECT_EQ(Write(300.00f), (Rows{{"BEYOND CHARGES", "$210.60"},
                                    {"AIR CHARGES", "$400.00"},
                                    {"BUNKER SURCHARGE", "$29.48"},
                                    {"BUNKER AIR SURCHARGE", "$88.00"},
                                    {"", ""},
                                    {"TOTAL CHARGES", "$1,028.08"}}));
    EXPECT_FLOAT_EQ(gAKAirFuel, 88.00f);
}

TEST_F(OffshoreCharges, TheAirRateFollowsTheClassAndEachLineHasTheMinimum) {
    Alaska("BETHEL, AK");
    SetLine(0, "50", "100");   // 0.5 x 98.00 = 49.00, raised to 75.00
    SetLine(1, "200", "125");  // 2 x 122.00 = 244.00
    SetLine(2, "100", "85");   // 1 x 80.00 = 80.00
    EXPECT_NEAR(AKAirCharge(102), 399.00, 0.001);
    EXPECT_FLOAT_EQ(AKAirCharge(5), 0.0f);
    SetLine(3, "100", "175");
    EXPECT_FLOAT_EQ(AKAirCharge(102), -10.0f);
}

TEST_F(OffshoreCharges, AnAirPointWithAClassThatCannotFlyIsToldAndQuotedWithoutAir) {
    Alaska("BETHEL, AK");
    OneLine("500", "175");
    // Beyond from class 100 x 1.75: 9100 a cwt, 5 x 91.00 = 455.00, less 45.50 = 409.50;
    // fuel 0.14 x 409.50 = 57.33.
    EXPECT_EQ(Write(0), (Rows{{"BEYOND CHARGES", "$409.50"},
                              {"BUNKER SURCHARGE", "$57.33"},
                              {"", ""},
                              {"TOTAL CHARGES", "$466.83"}}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Contact your NORVALE representative about outbound service to this point.");
    EXPECT_EQ(messages[0].title, "NORVALE Service");
    EXPECT_EQ(messages[0].style, 48);
}

TEST_F(OffshoreCharges, ThePanhandleCitiesHaveTheirOwnFuelFactor) {
    Alaska("SITKA, AK");
    EXPECT_NEAR(OffshoreFuelSurcharge(" ", 100.00f, 0), 18.00, 0.001);
    Alaska("JUNEAU, AK");
    EXPECT_NEAR(OffshoreFuelSurcharge(" ", 100.00f, 0), 14.00, 0.001);
}

TEST_F(OffshoreCharges, AMissingAirRateIsReportedBeforeTheQuote) {
    Alaska("BETHEL, AK");
    OneLine("500", "85");
    Exec("DELETE FROM \"AK Air Rates\" WHERE zone = 102");
    try {
        CheckOffshoreRating();
        ADD_FAILURE() << "an air point without air rates was rated";
    } catch (const TariffDataError& e) {
        EXPECT_NE(std::string(e.what()).find("AK Air Rates"), std::string::npos) << e.what();
    }
}

// ------------------------------------------------------------------ Hawaii

TEST_F(OffshoreCharges, HonoluluOceanWharfageAndZoneDelivery) {
    Hawaii("96813", "120");
    OneLine("1500", "100");
    // Ocean 3.25 x 120 = 390.00; fuel 0.16 x 390 = 62.40; wharfage 14.40 raised to 15.00;
    // zone 1 below 201 cubic feet: 0.60 x 120 = 72.00.
    EXPECT_EQ(Write(250.00f), (Rows{{"OCEAN CHARGES", "$390.00"},
                                    {"BUNKER SURCHARGE", "$62.40"},
                                    {"WHARFAGE CHARGE", "$15.00"},
                                    {"ZONE DLVY CHARGES", "$72.00"},
                                    {"", ""},
                                    {"TOTAL CHARGES", "$789.40"}}));
}

TEST_F(OffshoreCharges, HawaiiHazardousLinesFollowTheQuoteWindowsChoiceToo) {
    Hawaii("96813", "120");
    OneLine("1500", "100");
    rating.gQAccHazardous = true;
    // 0.85 x 120 = 102.00 above the 75.00 minimum; delivery 65.00.
    EXPECT_EQ(Write(0), (Rows{{"OCEAN CHARGES", "$390.00"},
                              {"BUNKER SURCHARGE", "$62.40"},
                              {"WHARFAGE CHARGE", "$15.00"},
                              {"ZONE DLVY CHARGES", "$72.00"},
                              {"HAZARDOUS MATERIALS OCEAN CHARGE", "$102.00"},
                              {"HAZARDOUS MATERIALS DELIVERY CHARGE", "$65.00"},
                              {"", ""},
                              {"TOTAL CHARGES", "$706.40"}}));
    // The economy total prices the same lines.
    EXPECT_NEAR(OffshoreChargesTotal(), 706.40, 0.001);
}

TEST_F(OffshoreCharges, ANeighbourIslandAboveFourHundredCubicFeet) {
    Hawaii("96766", "450");
    ASSERT_EQ(offshore.gOffshoreZone, 9);  // Lihue, Kauai
    OneLine("3000", "85");
    // Ocean 2.95 x 450 = 1327.50 (no minimum); fuel 212.40; wharfage 54.00;
    // zone 9 from 401 cubic feet: 0.75 x 450 = 337.50.
    EXPECT_EQ(Write(0), (Rows{{"OCEAN CHARGES", "$1,327.50"},
                              {"BUNKER SURCHARGE", "$212.40"},
                              {"WHARFAGE CHARGE", "$54.00"},
                              {"ZONE DLVY CHARGES", "$337.50"},
                              {"", ""},
                              {"TOTAL CHARGES", "$1,931.40"}}));
}

TEST_F(OffshoreCharges, TheHawaiiOceanRateByCubeBand) {
    Hawaii("96813", "0");
    EXPECT_NEAR(BeyondOceanCharges("20", 0), 95.00, 0.001);  // 65.00 below the minimum
    EXPECT_NEAR(BeyondOceanCharges("400", 0), 1300.00, 0.001);
    EXPECT_NEAR(BeyondOceanCharges("401", 0), 1182.95, 0.001);
    EXPECT_NEAR(BeyondOceanCharges("30", 0), 97.50, 0.001);
    EXPECT_NEAR(BeyondOceanCharges("801", 0), 2162.70, 0.001);
}

TEST_F(OffshoreCharges, AMilitaryBaseAnswerOutlivesWillCall) {
    militaryAnswerYes = true;
    Hawaii("96863", "80");
    ASSERT_EQ(offshore.gOffshoreZone, 2);  // Kaneohe Bay, Oahu
    OneLine("900", "100");
    const Rows delivered = {
        {"OCEAN CHARGES", "$260.00"},                                       // 3.25 x 80
        {"BUNKER SURCHARGE", "$41.60"},     {"WHARFAGE CHARGE", "$15.00"},  // 9.60 raised
        {"ZONE DLVY CHARGES", "$56.00"},                                    // 0.70 x 80
        {"MILITARY BASE CHARGE", "$55.00"}, {"", ""},
        {"TOTAL CHARGES", "$427.60"}};
    EXPECT_EQ(Write(0), delivered);

    commodityLines.chkHawaiiWillCall = true;
    quote.Clear();
    quote.gQuoteLine = kLandLastLine;
    // Oahu will call: 0.25 x 80 = 20.00, raised to 35.00; nothing goes to the base.
    EXPECT_EQ(Write(0), (Rows{{"OCEAN CHARGES", "$260.00"},
                              {"BUNKER SURCHARGE", "$41.60"},
                              {"WHARFAGE CHARGE", "$15.00"},
                              {"WILL CALL CHARGES", "$35.00"},
                              {"", ""},
                              {"TOTAL CHARGES", "$351.60"}}));
    EXPECT_TRUE(offshore.gMilitary);

    commodityLines.chkHawaiiWillCall = false;
    quote.Clear();
    quote.gQuoteLine = kLandLastLine;
    EXPECT_EQ(Write(0), delivered);
}

TEST_F(OffshoreCharges, WillCallUsesTheIslandOfTheZone) {
    commodityLines.chkHawaiiWillCall = true;
    SetConfigValue("HI_WILLCALL_KAUI_CFT", "0.50");
    Hawaii("96766", "100");  // zone 9, Kauai
    EXPECT_NEAR(WillCallZoneCharges("100", 0), 50.00, 0.001);
    Hawaii("96732", "200");  // zone 4, Maui
    EXPECT_NEAR(WillCallZoneCharges("200", 0), 60.00, 0.001);
    Hawaii("96720", "50");  // zone 12, Hawaii: 0.32 x 50 = 16.00, raised to 42.00
    EXPECT_NEAR(WillCallZoneCharges("50", 0), 42.00, 0.001);
}

TEST_F(OffshoreCharges, HawaiiInsideAndResidentialDeliveryAreOffshoreLines) {
    Hawaii("96813", "120");
    OneLine("1500", "100");
    commodityLines.gAccInside = true;
    rating.gQAccResidential = true;
    charges.gChargeBasis = 15;  // 6.50 x 15 = 97.50, above the 45.00 minimum
    const Rows rows = Write(0);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[4], std::make_pair(std::string("INSIDE PICKUP AND DELIVERY CHARGE"),
                                      std::string("$97.50")));
    EXPECT_EQ(rows[5],
              std::make_pair(std::string("RESIDENTIAL DELIVERY CHARGE"), std::string("$55.00")));
}

TEST_F(OffshoreCharges, AMissingSettingCountsAsNothing) {
    Hawaii("96813", "120");
    Exec("DELETE FROM tblConfig WHERE keyf = 'HI_FSC'");
    EXPECT_FLOAT_EQ(OffshoreFuelSurcharge(" ", 390.00f, 0), 0.0f);
}

// ------------------------------------------------------------------ Puerto Rico

TEST_F(OffshoreCharges, SanJuanThroughElizabeth) {
    SanJuan(true, "150");
    OneLine("2500", "100");
    // Ocean: 2.85 x 150 = 427.50 above 25 x 14.50 = 362.50; bunker: 0.30 x 150 = 45.00 above
    // 25 x 1.25; zone 1 below 3000 lbs: 25 x 5.40 = 135.00 above 0.35 x 150 = 52.50.
    EXPECT_EQ(tariff.gDestZip, "07072");
    EXPECT_EQ(Write(400.00f), (Rows{{"OCEAN CHARGES", "$427.50"},
                                    {"BUNKER SURCHARGE", "$45.00"},
                                    {"DOCUMENT CHARGE", "$35.00"},
                                    {"ZONE DLVY CHARGES", "$135.00"},
                                    {"", ""},
                                    {"TOTAL CHARGES", "$1,042.50"}}));
}

TEST_F(OffshoreCharges, SanJuanThroughJacksonville) {
    SanJuan(false, "150");
    OneLine("2500", "100");
    // Ocean: 2.65 x 150 = 397.50 above 25 x 13.75 = 343.75.
    EXPECT_EQ(tariff.gDestZip, "32254");
    EXPECT_EQ(Write(400.00f), (Rows{{"OCEAN CHARGES", "$397.50"},
                                    {"BUNKER SURCHARGE", "$45.00"},
                                    {"DOCUMENT CHARGE", "$35.00"},
                                    {"ZONE DLVY CHARGES", "$135.00"},
                                    {"", ""},
                                    {"TOTAL CHARGES", "$1,012.50"}}));
}

TEST_F(OffshoreCharges, PuertoRicoOceanHasItsFloorAndAnUnansweredPortSailsFromJacksonville) {
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));  // dialog closed without Done
    ASSERT_EQ(tariff.gDestZip, "32254");
    EXPECT_NEAR(BeyondOceanCharges("10", 500), 175.00, 0.001);  // 68.75 by weight, below the floor
}

TEST_F(OffshoreCharges, PuertoRicoZoneDeliveryByWeightBand) {
    SanJuan(true, "0");
    EXPECT_NEAR(WillCallZoneCharges("0", 2999), 161.946, 0.001);  // 29.99 x 5.40
    EXPECT_NEAR(WillCallZoneCharges("0", 3000), 141.00, 0.001);   // 30 x 4.70
    EXPECT_NEAR(WillCallZoneCharges("0", 6000), 246.00, 0.001);   // 60 x 4.10
    EXPECT_NEAR(WillCallZoneCharges("0", 500), 55.00, 0.001);     // 27.00 raised to Min
    EXPECT_NEAR(WillCallZoneCharges("0", 20000), 500.00, 0.001);  // 820.00 cut to Max
}

TEST_F(OffshoreCharges, PuertoRicoBunkerHasAMinimumAndAMaximum) {
    SanJuan(true, "0");
    EXPECT_NEAR(OffshoreFuelSurcharge("10", 500, 0), 12.00, 0.001);       // 6.25 raised
    EXPECT_NEAR(OffshoreFuelSurcharge("1000", 20000, 0), 150.00, 0.001);  // 300.00 cut
    EXPECT_NEAR(OffshoreFuelSurcharge("20", 3000, 0), 37.50, 0.001);      // by weight
}

TEST_F(OffshoreCharges, PuertoRicoHazardousMaterials) {
    SanJuan(false, "150");
    OneLine("2500", "100");
    commodityLines.gAccHazardous = true;
    const Rows rows = Write(0);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3], std::make_pair(std::string("HAZARDOUS MATERIALS OCEAN CHARGE"),
                                      std::string("$95.00")));
    EXPECT_EQ(rows[6].second, "$707.50");
}

// ------------------------------------------------------------------ both outputs

TEST_F(OffshoreCharges, TheEconomyTotalPricesTheSameLinesSilently) {
    Alaska("BETHEL, AK");
    OneLine("500", "85");
    EXPECT_NEAR(OffshoreChargesTotal(), 728.08, 0.001);  // bunker air surcharge included
    OneLine("500", "175");
    EXPECT_NEAR(OffshoreChargesTotal(), 466.83, 0.001);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(quote.gQuoteLine, kLandLastLine);
    EXPECT_EQ(quote.UsedLines(), 0);
}

TEST_F(OffshoreCharges, AMainlandQuoteHasNoOffshoreLines) {
    EnterDestZip("90001");
    ClearOffshoreValues();
    Single total = 0;
    EXPECT_TRUE(Write(321.50f, &total).empty());
    EXPECT_FLOAT_EQ(total, 321.50f);
    EXPECT_FLOAT_EQ(OffshoreChargesTotal(), 0.0f);
    EXPECT_NO_THROW(CheckOffshoreRating());
}

TEST_F(OffshoreCharges, NoRatingRunsOnAnotherDestinationsFlags) {
    Hawaii("96813", "120");
    // The destination entered since is in Alaska, but the Hawaii flags are still up.
    rating.gOffshoreDestZip = "99501";
    try {
        CheckOffshoreRating();
        ADD_FAILURE() << "Alaska was rated as Hawaii";
    } catch (const RatingRefusal& refusal) {
        EXPECT_EQ(refusal.text(), "Destination was not verified.  Please try again.");
    }
    EXPECT_THROW(OffshoreChargesTotal(), RatingRefusal);
}

}  // namespace
