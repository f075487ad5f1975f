// The accessorial rows priced for the quote: each at its minimum, per hundredweight and at its
// maximum, the refused single-shipment charge, C.O.D. on the amount collected, the high-cost
// delivery region surcharge and the two rows that switch pricing on. Net charge 200.00 on
// line 3 unless a test says otherwise.

#include <gtest/gtest.h>

#include "quotechargesfixture.h"

namespace {

class Accessorials : public QuoteChargesTest {
  protected:
    // Prices one row on its own and returns the line it ends on.
    int Price(const std::string& name) {
        charges.gQuoteTotal = rating.gNetCharge[rating.gBreak];
        return AccessorialCharge(name, quote.gQuoteLine, 0);
    }
};

// ------------------------------------------------------------------ priced rows

TEST_F(Accessorials, LiftgateChargesItsMinimumUntilTheRateOvertakesIt) {
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    // 10 cwt × 5.00 = 50.00, below the minimum of 111.00.
    EXPECT_EQ(Price("Liftgate service"), 4);
    EXPECT_EQ(Rate(4), "Liftgate service charge");
    EXPECT_EQ(Charge(4), "$111.00");
    EXPECT_EQ(Line(4).charge.color, kQuoteBlack);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 311.00f);

    // 40 cwt × 5.00 = 200.00.
    NetChargeLine(200.00f, 4000);
    Price("Liftgate service");
    EXPECT_EQ(Charge(4), "$200.00");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 400.00f);
}

TEST_F(Accessorials, ResidentialDeliveryRunsFromItsMinimumToItsMaximum) {
    ChooseInQuote("Residential delivery");
    // 5 cwt × 7.00 = 35.00: the minimum 69.50.
    NetChargeLine(200.00f, 500);
    Price("Residential delivery");
    EXPECT_EQ(Charge(4), "$69.50");
    // 20 cwt × 7.00 = 140.00.
    NetChargeLine(200.00f, 2000);
    Price("Residential delivery");
    EXPECT_EQ(Charge(4), "$140.00");
    // 60 cwt × 7.00 = 420.00, capped at 367.50.
    NetChargeLine(200.00f, 6000);
    Price("Residential delivery");
    EXPECT_EQ(Charge(4), "$367.50");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 567.50f);
}

TEST_F(Accessorials, InsideDeliveryAndAFlatChargeAreEachOneLine) {
    Choose("Inside pickup and delivery");
    Choose("Hazardous materials");
    // 4 cwt × 6.50 = 26.00: the minimum 39.00.
    NetChargeLine(200.00f, 400);
    Price("Inside pickup and delivery");
    EXPECT_EQ(Charge(4), "$39.00");
    // 12 cwt × 6.50 = 78.00; hazardous materials 19.00 flat at any weight.
    NetChargeLine(200.00f, 1200);
    int line = Price("Inside pickup and delivery");
    line = AccessorialCharge("Hazardous materials", line, 0);
    EXPECT_EQ(line, 5);
    EXPECT_EQ(Charge(4), "$78.00");
    EXPECT_EQ(Rate(5), "Hazardous materials charge");
    EXPECT_EQ(Charge(5), "$19.00");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 297.00f);
}

TEST_F(Accessorials, ARowChosenOnNeitherWindowChargesNothing) {
    NetChargeLine(200.00f, 1000);
    EXPECT_EQ(Price("Liftgate service"), 3);
    EXPECT_EQ(Rate(4), " ");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

// ------------------------------------------------------------------ single shipment

TEST_F(Accessorials, SingleShipmentIsChargedUpTo500Lbs) {
    ChooseInQuote("Single shipment");
    NetChargeLine(200.00f, 500);
    EXPECT_EQ(Price("Single shipment"), 4);
    EXPECT_EQ(Charge(4), "$24.00");
    EXPECT_TRUE(messages.empty());
}

TEST_F(Accessorials, SingleShipmentAbove500LbsIsRefusedAndUnmarked) {
    ChooseInQuote("Single shipment");
    NetChargeLine(200.00f, 501);
    EXPECT_EQ(Price("Single shipment"), 3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Single shipment charge does not apply to shipments of more than 500 lbs.");
    EXPECT_EQ(messages[0].style, 48);
    EXPECT_EQ(messages[0].title, "Charge Error");
    EXPECT_EQ(TempOn("Single shipment"), 0);
    EXPECT_EQ(Rate(4), " ");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

TEST_F(Accessorials, TheSilentTwinNeverShowsTheRefusalASecondTime) {
    Choose("Single shipment");  // on the main window: refused again at every rating
    NetChargeLine(200.00f, 800);
    DisplayCharges();
    EXPECT_FLOAT_EQ(SilentTotal(), 200.00f);
    EXPECT_EQ(messages.size(), 1u);
}

// ------------------------------------------------------------------ C.O.D.

TEST_F(Accessorials, CODIsPricedOnTheAmountTyped) {
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 5000;
    NetChargeLine(200.00f, 1000);
    Price("C.O.D.");
    // 3 % of 5,000.00.
    EXPECT_EQ(codPrompts, 1);
    EXPECT_FALSE(commodityLines.gAskCODAmount);
    EXPECT_EQ(Rate(4), "C.O.D. charge");
    EXPECT_EQ(Charge(4), "$150.00");

    // 3 % of 1,000.00 is 30.00: the minimum 52.00.
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 1000;
    NetChargeLine(200.00f, 1000);
    Price("C.O.D.");
    EXPECT_EQ(Charge(4), "$52.00");
}

TEST_F(Accessorials, LaterPricingsOfTheSameCODUseTheAmountTyped) {
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 5000;
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    // A discount change rates again: no second question, the same 150.00.
    NetChargeLine(180.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Charge(4), "$150.00");
    // The economy total prices it alike, silently.
    EXPECT_FLOAT_EQ(SilentTotal(), 330.00f);
    EXPECT_EQ(codPrompts, 1);
}

TEST_F(Accessorials, CODNeverAskedIsPricedOnTheWeight) {
    Choose("C.O.D.");
    NetChargeLine(200.00f, 2000);
    Price("C.O.D.");
    // 20 cwt × 0.03 = 0.60: the minimum 52.00.
    EXPECT_EQ(Charge(4), "$52.00");
    EXPECT_EQ(codPrompts, 0);
}

TEST_F(Accessorials, TheSilentTwinNeverAsksForTheCODAmount) {
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    NetChargeLine(200.00f, 2000);
    EXPECT_FLOAT_EQ(SilentTotal(), 252.00f);
    EXPECT_EQ(codPrompts, 0);
    EXPECT_TRUE(commodityLines.gAskCODAmount);
}

// ------------------------------------------------------------------ high-cost delivery region

TEST_F(Accessorials, HighCostDeliveryRegionSurchargeNeedsNoChoice) {
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('53202')");
    // 10 cwt × 3.00 = 30.00.
    NetChargeLine(200.00f, 1000);
    EXPECT_EQ(Price("HCDR"), 4);
    EXPECT_EQ(Rate(4), "High Cost Delivery Regions Surcharge");
    EXPECT_EQ(Charge(4), "$30.00");
    // 3 cwt × 3.00 = 9.00: the minimum 14.50; 30 cwt: 90.00, capped at 61.00.
    NetChargeLine(200.00f, 300);
    Price("HCDR");
    EXPECT_EQ(Charge(4), "$14.50");
    NetChargeLine(200.00f, 3000);
    Price("HCDR");
    EXPECT_EQ(Charge(4), "$61.00");
}

TEST_F(Accessorials, ASurchargeRowWithoutAMaximumChargesNothing) {
    // The surcharge is the smaller of its maximum and the priced amount: a maximum of 0 is no
    // surcharge, not an open one.
    Exec("UPDATE accessorials SET maximum = 0 WHERE Name = 'HCDR'");
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('53202')");
    NetChargeLine(200.00f, 1000);
    EXPECT_EQ(Price("HCDR"), 3);
    EXPECT_EQ(Rate(4), " ");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

TEST_F(Accessorials, NoSurchargeOutsideTheHighCostRegions) {
    NetChargeLine(200.00f, 1000);
    EXPECT_EQ(Price("HCDR"), 3);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

// ------------------------------------------------------------------ Hawaii

TEST_F(Accessorials, HawaiiLeavesInsideAndResidentialToTheHawaiiLinesOnly) {
    rating.gOffshoreDestZip = "96813";
    offshore.gIsHI = true;
    rating.gQAccResidential = true;
    ChooseInQuote("Residential delivery");
    Choose("Liftgate service");
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('53202')");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    // In name order: the surcharge 10 cwt × 3.00 = 30.00, liftgate 111.00; residential
    // delivery (10 cwt × 7.00 = 70.00) is left to the Hawaii delivery line.
    EXPECT_EQ(Rate(4), "High Cost Delivery Regions Surcharge");
    EXPECT_EQ(Charge(4), "$30.00");
    EXPECT_EQ(Rate(5), "Liftgate service charge");
    EXPECT_EQ(Charge(5), "$111.00");
    EXPECT_EQ(Rate(6), "TOTAL LAND CHARGES");
    EXPECT_EQ(Charge(6), "$341.00");
    EXPECT_EQ(quote.gQuoteLine, 6);
}

TEST_F(Accessorials, ResidentialDeliveryToTheMainlandIsChargedHere) {
    offshore.gIsHI = true;  // left from an earlier Hawaii quote
    ChooseInQuote("Residential delivery");
    NetChargeLine(200.00f, 1000);
    Price("Residential delivery");
    EXPECT_EQ(Charge(4), "$70.00");
}

// ------------------------------------------------------------------ guaranteed and Thriftlane

TEST_F(Accessorials, GuaranteedRowPricesTheServiceBetweenDirectPointsOnly) {
    Choose("Norvale GUARANTEED!");
    NetChargeLine(200.00f, 1000);
    EXPECT_EQ(Price("Norvale GUARANTEED!"), 3);
    EXPECT_FALSE(rating.gGuaranteedOn);

    DirectPoint("55401");
    DirectPoint("53202");
    EXPECT_EQ(Price("Norvale GUARANTEED!"), 3);
    EXPECT_TRUE(rating.gGuaranteedOn);
    // 20 % of the net charge 200.00.
    EXPECT_FLOAT_EQ(rating.gGuaranteedCharge, 40.00f);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

TEST_F(Accessorials, ThriftlaneRowSwitchesEconomyPricingOnWithItsSaving) {
    Choose("Thriftlane");
    NetChargeLine(200.00f, 1000);
    Price("Thriftlane");
    EXPECT_FALSE(rating.gPXSOn);  // no economy service on the lane

    EconomyLane("55401", "53202", 6);
    EXPECT_EQ(Price("Thriftlane"), 3);
    EXPECT_TRUE(rating.gPXSOn);
    EXPECT_EQ(rating.gPXSDays, 6);
    EXPECT_FLOAT_EQ(rating.gPXSPct, 0.20f);
    // 20 % of 200.00.
    EXPECT_FLOAT_EQ(rating.gPXSSaving, 40.00f);
}

TEST_F(Accessorials, ThriftlaneSavingStopsAtTheLaneFloor) {
    Choose("Thriftlane");
    EconomyLane("55401", "53202", 6);
    NetChargeLine(200.00f, 1000);
    // 200.00 − 40.00 = 160.00 would be below the floor of 170.00: the saving is 30.00.
    rating.gLaneFloor = "170.00";
    Price("Thriftlane");
    EXPECT_FLOAT_EQ(rating.gPXSSaving, 30.00f);
    // A floor equal to what remains leaves the saving whole.
    rating.gLaneFloor = "160.00";
    Price("Thriftlane");
    EXPECT_FLOAT_EQ(rating.gPXSSaving, 40.00f);
}

}  // namespace
