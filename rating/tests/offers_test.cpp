// The guaranteed and Thriftlane offers under a rated quote. One line of 450 lbs, class 100,
// class-100 rates 4000 (L5C) and 3500 (5C) cents, minimum charge 9500 cents, discount 45.5 %:
// the quote charges 5C, gross 175.00, discount 79.63, net 95.37. The economy percent is 20.

#include <gtest/gtest.h>

#include "charges.h"
#include "displayquote.h"
#include "offshorecharges.h"
#include "quotechargesfixture.h"
#include "settings.h"

namespace {

class Offers : public QuoteChargesTest {
  protected:
    void SetUp() override {
        QuoteChargesTest::SetUp();
        rating.gGridRow = {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800};
        for (auto& d : rating.gBreakDisc) d = "45.5";
        SetLine(0, "450", "100");
    }
    void TearDown() override {
        quoteDisplay.Reset();
        QuoteChargesTest::TearDown();
    }
    void RateAndDisplay() {
        ComputeCharges(0);
        DisplayQuote(0);
    }
    void BothDirect() {
        DirectPoint(tariff.gOrigZip);
        DirectPoint(tariff.gDestZip);
    }
};

// ------------------------------------------------------------------ guaranteed

TEST_F(Offers, GuaranteedOfferAddsTheGuaranteedShareOfTheNetCharge) {
    SetConfigValue("FSC_fsc", "10");
    BothDirect();
    RateAndDisplay();
    ASSERT_EQ(rating.gBreak, 2);
    // Total 95.37 + fuel 9.537 = 104.907; plus 20 % of 95.37 = 19.074: 123.981.
    EXPECT_EQ(quote.qmrqQPO1,
              "This  shipment  is  warranted  to  be  on-time  for  no  extra  charge");
    EXPECT_EQ(quote.qmrqQPO2, "Guaranteed Rate Quote $123.98");
    EXPECT_EQ(quote.qmrqQPO3, "");
    EXPECT_TRUE(quote.marqueeVisible);
}

TEST_F(Offers, GuaranteedOfferBetweenCanadianPointsIncludesTheirTaxes) {
    SetOrigin("T2P1A1", "T2P", "AB", 1);
    SetDest("T5J1A1", "T5J", "AB", 1);
    BothDirect();
    RateAndDisplay();
    // 95.37 + 19.074 = 114.444, to cents 114.44; GST 6.8664 → 6.87: 121.31.
    EXPECT_EQ(quote.qmrqQPO2, "Guaranteed Rate Quote $121.31");
    // The quote keeps its own tax: 95.37 × 6 % = 5.7222 → 5.72.
    EXPECT_FLOAT_EQ(rating.gCanTax[0], 5.72f);
}

// The offer is what the quote shows once the service is chosen: 95.37, fuel 10.5 % = 10.01385
// shown 10.01, guaranteed 19.074 shown 19.07: $124.45. Added unrounded they came to $124.46.
TEST_F(Offers, GuaranteedOfferIsTheTotalShownWithTheServiceChosen) {
    SetConfigValue("FSC_fsc", "10.5");
    BothDirect();
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO2, "Guaranteed Rate Quote $124.45");

    Choose("Norvale GUARANTEED!");
    commodityLines.gAccGuaranteed = true;
    RateAndDisplay();
    EXPECT_EQ(Charge(quote.gQuoteLine - 1), "$19.07");
    EXPECT_EQ(Charge(quote.gQuoteLine), "$124.45");
}

// Between Canadian points too, whatever fuel surcharge takes the amounts off whole cents: the
// taxes are those of the quote with the service chosen, worked out on its unrounded total.
TEST_F(Offers, GuaranteedOfferBetweenCanadianPointsIsTheTotalShownWithTheServiceChosen) {
    SetOrigin("T2P1A1", "T2P", "AB", 1);
    SetDest("T5J1A1", "T5J", "AB", 1);
    BothDirect();
    for (int tenths = 10; tenths < 400; tenths += 7) {
        const std::string fsc = Format(tenths / 10.0, "0.0");
        SCOPED_TRACE(fsc);
        SetConfigValue("FSC_fsc", fsc);
        Exec("UPDATE accessorials SET apply = 0 WHERE Name = 'Norvale GUARANTEED!'");
        commodityLines.gAccGuaranteed = false;
        RateAndDisplay();
        const std::string offer = quote.qmrqQPO2;

        Choose("Norvale GUARANTEED!");
        commodityLines.gAccGuaranteed = true;
        RateAndDisplay();
        ASSERT_EQ(Rate(quote.gQuoteLine), "TOTAL CHARGES IN CN FUNDS");
        EXPECT_EQ(offer, "Guaranteed Rate Quote " + Charge(quote.gQuoteLine));
    }
}

TEST_F(Offers, GuaranteedOfferIsNotMadeBesideCertainServices) {
    BothDirect();
    const std::vector<std::pair<const char*, bool*>> flags = {
        {"main liftgate", &commodityLines.gAccLiftgate},
        {"main guaranteed", &commodityLines.gAccGuaranteed},
        {"main hazardous", &commodityLines.gAccHazardous},
        {"quote liftgate", &rating.gQAccLiftgate},
        {"quote guaranteed", &rating.gQAccGuaranteed},
        {"quote hazardous", &rating.gQAccHazardous}};
    for (const auto& [what, flag] : flags) {
        *flag = true;
        RateAndDisplay();
        EXPECT_EQ(quote.qmrqQPO2, "") << what;
        *flag = false;
    }
    RateAndDisplay();
    EXPECT_NE(quote.qmrqQPO2, "");
}

TEST_F(Offers, GuaranteedOfferNeedsTwoDirectPointsOnTheMainland) {
    DirectPoint("55401");
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO2, "");

    DirectPoint("53202");
    rating.gOffshoreDestZip = "96813";
    ComputeCharges(0);
    rating.gBreak = CheapestBreak();
    NetChargeLine(rating.gNetCharge[2], 450);
    DisplayCharges();
    OfferGuaranteedAndThriftlane();
    EXPECT_EQ(quote.qmrqQPO2, "");
}

// ------------------------------------------------------------------ Thriftlane

TEST_F(Offers, ThriftlaneOfferIsASilentEconomyRating) {
    EconomyLane("55401", "53202", 7);
    RateAndDisplay();
    // Economy: 5C 175.00 less 20 % = 140.00; L5C 180.00 → 144.00; the minimum charge
    // 95.00 → 76.00 is below the cheapest break, which stays.
    EXPECT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $140.00");
    EXPECT_EQ(quote.mlblDefServ, "Thriftlane          Service Standard: \n7 Days");
    EXPECT_FLOAT_EQ(rating.gPXSSaving, 140.00f);
}

TEST_F(Offers, AfterTheOffersTheStateDescribesTheQuoteOnScreen) {
    EconomyLane("55401", "53202", 7);
    SetConfigValue("FSC_fsc", "10");
    RateAndDisplay();
    // Economy 140.00 + fuel 14.00.
    EXPECT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $154.00");
    EXPECT_EQ(rating.gBreak, 2);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 79.63f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 51.77f);
    for (size_t i = 0; i <= 10; ++i) EXPECT_EQ(rating.gBreakDisc[i], "45.5") << i;
    // 95.37 + 9.54 (10 % of 95.37, to the cent).
    EXPECT_NEAR(charges.gQuoteTotal, 104.91, 1e-4);
    EXPECT_FALSE(rating.gPXSPass);
    EXPECT_FALSE(rating.gPXSOn);
    EXPECT_EQ(Charge(quote.gQuoteLine), "$104.91");
}

TEST_F(Offers, TheEditorsTypedPercentIsTheEconomyPercent) {
    EconomyLane("55401", "53202", 7);
    SetEconomyPercentSource([] { return std::optional<std::string>("30.0"); });
    RateAndDisplay();
    // 175.00 less 30 % = 122.50.
    EXPECT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $122.50");
    EXPECT_EQ(EconomyServicePercent(), "30.0");
    SetEconomyPercentSource([] { return std::optional<std::string>(); });
    EXPECT_EQ(Val(EconomyServicePercent()), 20);
}

// Read as the platform reads numbers, NULL, "abc" and "" offered the quote without any discount,
// -50 a dearer one, 150 a negative discount, and 1e308 an overflow that named nothing.
TEST_F(Offers, ADamagedThriftlanePercentageIsNamedAndNotOffered) {
    EconomyLane("55401", "53202", 7);
    const std::vector<std::pair<Value, std::string>> damaged = {
        {Value(), "holds no value"}, {Value("abc"), "\"abc\""}, {Value(""), "\"\""},
        {Value("-50"), "\"-50\""},   {Value("150"), "\"150\""}, {Value("1e308"), "1E+308"},
        {Value("7,5"), "\"7,5\""}};
    for (const auto& [value, shown] : damaged) {
        SCOPED_TRACE(shown);
        Exec("UPDATE Thriftlane SET PXSpct = ?", {value});
        tariff.rsThriftlane->MoveFirst();
        quote.Reset();
        try {
            RateAndDisplay();
            FAIL() << "offered: " << quote.qmrqQPO3;
        } catch (const StoredValueError& e) {
            const std::string said = e.what();
            EXPECT_NE(said.find("PXSpct of the table Thriftlane"), std::string::npos) << said;
            EXPECT_NE(said.find(shown), std::string::npos) << said;
            EXPECT_NE(said.find(TariffDatabasePath()), std::string::npos) << said;
            EXPECT_NE(said.find("Discounts/F.A.K.s..."), std::string::npos) << said;
        }
        EXPECT_EQ(quote.qmrqQPO3, "");
        // Chosen as the service, the economy pricing reads it too.
        commodityLines.gAccThriftlane = true;
        Choose("Thriftlane");
        EXPECT_THROW(ComputeCharges(0), StoredValueError);
        commodityLines.gAccThriftlane = false;
        Exec("UPDATE accessorials SET apply = 0 WHERE Name = 'Thriftlane'");
    }
    // As the editor stores it, and as older copies hold it.
    for (const auto& [written, value] : std::vector<std::pair<Value, double>>{
             {Value("20.0"), 20}, {Value(20.0), 20}, {Value("07.5"), 7.5}}) {
        Exec("UPDATE Thriftlane SET PXSpct = ?", {written});
        tariff.rsThriftlane->MoveFirst();
        EXPECT_EQ(StoredNumber(StoredEconomyPercent()), value) << written.str();
    }
    // 175.00 less 7.5 % (13.13) = 161.87.
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $161.87");
}

TEST_F(Offers, ThriftlaneOfferIsNotMadeBesideHazardousMaterialsGuaranteedOrEconomyPricing) {
    EconomyLane("55401", "53202", 7);
    commodityLines.gAccHazardous = true;
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO3, "");
    commodityLines.gAccHazardous = false;
    rating.gQAccHazardous = true;
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO3, "");
    rating.gQAccHazardous = false;

    // Guaranteed service leaves the lane without economy service.
    SetGuaranteedChosenQuery([] { return true; });
    RateAndDisplay();
    SetGuaranteedChosenQuery(nullptr);
    EXPECT_EQ(quote.qmrqQPO3, "");

    Choose("Thriftlane");
    commodityLines.gAccThriftlane = true;
    RateAndDisplay();
    EXPECT_TRUE(rating.gPXSOn);
    EXPECT_EQ(quote.qmrqQPO3, "");
}

TEST_F(Offers, NoThriftlaneOfferOffItsLanes) {
    RateAndDisplay();
    EXPECT_EQ(quote.qmrqQPO3, "");
    EXPECT_EQ(quote.mlblDefServ, "");
}

TEST_F(Offers, TheSilentEconomyTotalEqualsADisplayedEconomyRating) {
    SetDest("98243", "982", "WA", 0);
    EconomyLane("55401", "98243", 7);
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('98243')");
    SetConfigValue("FSC_fsc", "22.5");
    Choose("Liftgate service");
    Choose("C.O.D.");
    commodityLines.gAccLiftgate = true;
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 5000;
    RateAndDisplay();
    // Economy net 140.00; C.O.D. 150.00; surcharge 4.5 cwt × 3.00 = 13.50 → 14.50; liftgate
    // 22.50 → 111.00; island fee 87.50; fuel 22.5 % of 140.00 = 31.50.
    EXPECT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $534.50");
    const Single offered = rating.gPXSSaving;

    Choose("Thriftlane");
    commodityLines.gAccThriftlane = true;
    RateAndDisplay();
    EXPECT_TRUE(rating.gPXSOn);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, offered);
    EXPECT_EQ(Charge(quote.gQuoteLine), "$534.50");
    EXPECT_EQ(codPrompts, 1);
}

// Amounts that each fall short of a cent or pass one (a C.O.D. charge of 3 % of the amount, a
// fuel surcharge) add up in the offer as their lines show them once the service is chosen.
TEST_F(Offers, ThriftlaneOfferIsTheTotalShownWithTheServiceChosen) {
    EconomyLane("55401", "53202", 7);
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    for (const char* fsc : {"10.005", "10.015", "10.025", "10.035", "11.005", "12.345"}) {
        for (const Single cod : {1999.90f, 1999.85f, 2000.10f, 2000.15f}) {
            SCOPED_TRACE(std::string(fsc) + " " + Format(cod, "0.00"));
            SetConfigValue("FSC_fsc", fsc);
            codAmountTyped = cod;
            Exec("UPDATE accessorials SET apply = 0 WHERE Name = 'Thriftlane'");
            commodityLines.gAccThriftlane = false;
            RateAndDisplay();
            const std::string offer = quote.qmrqQPO3;

            Choose("Thriftlane");
            commodityLines.gAccThriftlane = true;
            RateAndDisplay();
            ASSERT_TRUE(rating.gPXSOn);
            EXPECT_EQ(offer, "Thriftlane Rate Quote " + Charge(quote.gQuoteLine));
        }
    }
}

TEST_F(Offers, OffshoreThriftlaneOfferTotalsTheOffshoreCharges) {
    // Honolulu, rated through a west-coast port.
    offshore.gIsHI = true;
    offshore.gOffshoreName = "Hawaii";
    rating.gOffshoreDestZip = "96813";
    offshore.gOffshoreZone = 1;
    commodityLines.txtOceanDensity = "40";
    EconomyLane("55401", "96813", 9);
    ComputeCharges(0);
    rating.gBreak = CheapestBreak();
    NetChargeLine(rating.gNetCharge[2], 450);
    DisplayCharges();
    OfferGuaranteedAndThriftlane();
    EXPECT_EQ(quote.mlblDefServ, "Thriftlane       Service Standard: \n9 Days");
    // The economy land total 140.00 and the island's charges, which do not depend on the
    // discount.
    const Single offshoreCharges = OffshoreChargesTotal();
    EXPECT_GT(offshoreCharges, 0);
    EXPECT_FLOAT_EQ(charges.gPXSOffshoreTotal, 140.00f + offshoreCharges);
    EXPECT_EQ(quote.qmrqQPO3,
              "Thriftlane Rate Quote " + Format(140.00f + offshoreCharges, "$##,##0.00"));
    // No guaranteed offer to an island; the break discounts are the quote's own again.
    EXPECT_EQ(quote.qmrqQPO2, "");
    for (size_t i = 0; i <= 10; ++i) EXPECT_EQ(rating.gBreakDisc[i], "45.5") << i;
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 95.37f);
}

}  // namespace
