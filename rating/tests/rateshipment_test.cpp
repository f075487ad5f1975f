// The rating driver end to end: from the ends, lane code and commodity lines to the rating
// state, and each refusal with its message and no quote.

#include <gtest/gtest.h>

#include <filesystem>

#include "charges.h"
#include "commodity.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

class RateShipmentTest : public RatingTest {
protected:
    void SetUp() override {
        RatingTest::SetUp();
        SetOrigin("53202", "532", "WI", 0);
        SetDest("43215", "432", "OH", 0);
        UseStandardLane();
        AddDiscountRow("ALL", 1, 0, "45.5");
        SetQuoteDisplayHook([this] { ++displayed; });
    }
    void ExpectRefused(const std::string& text, const std::string& title) {
        messages.clear();
        displayed = 0;
        EXPECT_FALSE(RateShipment());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].text.find(text), std::string::npos) << messages[0].text;
        EXPECT_EQ(messages[0].title, title);
        EXPECT_EQ(messages[0].style, 48);
        EXPECT_EQ(displayed, 0);
    }
    int displayed = 0;
};

TEST_F(RateShipmentTest, RatesTheWorkedCaseAndHandsOverToTheQuote) {
    SetLine(0, "450", "100");
    rating.gLineClass[0].clear();  // the driver takes the class from the main window
    rating.gCanTax.fill(3);
    EXPECT_TRUE(RateShipment());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(displayed, 1);
    EXPECT_EQ(rating.gLineClass[0], "100");
    EXPECT_EQ(rating.gLineClass[1], "0");  // an empty box, on a line that is not rated
    EXPECT_EQ(rating.gBreakDisc[2], "45.5");
    EXPECT_FLOAT_EQ(rating.gGridRow[0], 9500);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
    EXPECT_EQ(CheapestBreak(), 2);
    EXPECT_FLOAT_EQ(rating.gCanTax[5], 0);
}

TEST_F(RateShipmentTest, EachRatingStartsWithoutThriftlanePricing) {
    SetLine(0, "450", "100");
    // What an earlier Thriftlane quote left behind.
    rating.gPXSOn = true;
    rating.gPXSPct = 0.9f;
    EXPECT_TRUE(RateShipment());
    EXPECT_FALSE(rating.gPXSOn);
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 79.63f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
}

TEST_F(RateShipmentTest, TheFloorIsClearedBeforeEachRating) {
    SetLine(0, "450", "100");
    Exec("UPDATE discounts SET Floor = '100.00'");
    EXPECT_TRUE(RateShipment());
    EXPECT_TRUE(rating.gFloorApplied);
    EXPECT_EQ(CheapestBreak(), 0);
    Exec("UPDATE discounts SET Floor = '00.00'");
    EXPECT_TRUE(RateShipment());
    EXPECT_FALSE(rating.gFloorApplied);
}

TEST_F(RateShipmentTest, ALineWithAWeightAndNoKnownClassIsRefused) {
    SetLine(0, "450", "100");
    for (const char* bad : {"", "77", " 100", "abc"}) {
        SetLine(1, "100", bad);
        ExpectRefused("This is an illegal NMFC Class value.  Please correct", "Error");
        EXPECT_EQ(messages[0].text, "This is an illegal NMFC Class value.  Please correct");
    }
    SetLine(1, "100", "77.5");
    EXPECT_TRUE(RateShipment());
}

TEST_F(RateShipmentTest, WeightsOfZeroOrBelowAndTotalsOf100000LbsAreRefused) {
    SetLine(0, "450", "100");
    SetLine(1, "0", "100");
    ExpectRefused("line  2", "Data Entry Error");
    SetLine(1, "-5", "100");
    ExpectRefused("line  2", "Data Entry Error");
    SetLine(1, "", "100");
    SetLine(0, "60000", "100");
    SetLine(1, "40000", "100");
    ExpectRefused("100,000 lbs", "Data Entry Error");
    SetLine(1, "39999", "100");
    EXPECT_TRUE(RateShipment());
    EXPECT_EQ(rating.gTotalWeight, 99999);
    EXPECT_EQ(rating.gFirstBreak, 10);
}

TEST_F(RateShipmentTest, ALaneWithoutDiscountsIsRefusedWithoutAQuote) {
    SetLine(0, "450", "100");
    Exec("DELETE FROM discounts");
    ExpectRefused("ALL, region 1", "Discounts Missing");
}

TEST_F(RateShipmentTest, ALaneWithoutItsGridRowIsATariffDataError) {
    SetLine(0, "450", "100");
    rating.gLaneCode = 900002;  // the file holds one row
    ExpectRefused("row 2", "Tariff Data Error");
    rating.gLaneCode = 900000;
    ExpectRefused("900000", "Tariff Data Error");
}

TEST_F(RateShipmentTest, BetweenCanadianPointsDensitiesGiveTheClasses) {
    SetOrigin("T2P1A1", "T2P", "AB", 1);
    SetDest("H2X1Y4", "H2X", "QC", 1);
    AddDiscountRow("ALL", 254, 0, "00.0");
    SetLine(0, "450", "");  // the class boxes are hidden then
    SetLine(1, "100", "");
    commodityLines.txtDensity[0] = "40";
    commodityLines.txtDensity[1] = "7";
    EXPECT_TRUE(RateShipment());
    EXPECT_EQ(rating.gLineClass[0], "55");
    EXPECT_EQ(rating.gLineClass[1], "125");

    SetOrigin("H2X1Y4", "H2X", "QC", 1);
    SetDest("T2P1A1", "T2P", "AB", 1);
    EXPECT_TRUE(RateShipment());
    EXPECT_EQ(rating.gLineClass[0], "100");
    EXPECT_EQ(rating.gLineClass[1], "100");
    // 550 lbs falls in 5C: 35.00 × 4.5 + 35.00 × 1 at class 100.
    EXPECT_EQ(rating.gFirstBreak, 2);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[2], 192.50f);  // 5.5 × 35.00
}

TEST_F(RateShipmentTest, LaneFactorsAndMinimumsReachTheCharges) {
    Exec("INSERT INTO ziparbs (zip, bump) VALUES ('53202', 0.1)");
    Exec("INSERT INTO MKTLN (Olo, Ohi, Dlo, Dhi, push) VALUES ('530','539','430','439',1.05)");
    SetOrigin("53202", "532", "WI", 0);
    SetLine(0, "450", "100");
    Exec("UPDATE discounts SET dmc = '0', dL5C = '0', d5c = '0'");
    EXPECT_TRUE(RateShipment());
    EXPECT_FLOAT_EQ(rating.gLanePush, 1.05f);
    EXPECT_FLOAT_EQ(rating.gOrigFactor, 1.1f);
    // L5C: 40.00 × 1.05 = 42.00, × 1.1 = 46.20; × 4.5 = 207.90.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 46.20f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 207.90f);

    // From Minnesota every break gets at least 52 %.
    SetOrigin("55401", "554", "MN", 0);
    EXPECT_TRUE(RateShipment());
    EXPECT_EQ(rating.gBreakDisc[2], "52.0");
    EXPECT_EQ(rating.gBreakDisc2[2], "0");
    // 5C: 175.00 × 52 % = 91.00.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 91.00f);
}

}  // namespace
