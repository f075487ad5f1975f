// The charges after the net-charge line: the running TOTAL lines, the Homeland Security and
// Island Delivery fees, the fuel surcharge, the guaranteed charge and the economy standard,
// and the silent economy total that must come to the same amounts. The net charge stands on
// line 3.

#include <gtest/gtest.h>

#include "quotechargesfixture.h"

namespace {

using QuoteCharges = QuoteChargesTest;

// ------------------------------------------------------------------ nothing charged

TEST_F(QuoteCharges, NothingChargedWritesNoLineAndTheTotalIsTheNetCharge) {
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(quote.gQuoteLine, 3);
    EXPECT_EQ(quote.UsedLines(), 4);
    EXPECT_EQ(Rate(3), "Net Charges");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
    EXPECT_EQ(quote.mlblDefServ, "");
}

// ------------------------------------------------------------------ fuel surcharge

TEST_F(QuoteCharges, FuelSurchargeIsAPercentageOfTheNetCharge) {
    SetConfigValue("FSC_fsc", "22.5");
    NetChargeLine(333.33f, 19999);
    DisplayCharges();
    // 22.5 % of 333.33 = 74.99925.
    EXPECT_EQ(Rate(4), "Fuel Surcharge 22.5%");
    EXPECT_EQ(Charge(4), "$75.00");
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Charge(5), "$408.33");
    EXPECT_EQ(quote.gQuoteLine, 5);
    EXPECT_NEAR(charges.gQuoteTotal, 408.33, 1e-4);
}

TEST_F(QuoteCharges, FuelSurchargeDoublesFrom20000Lbs) {
    SetConfigValue("FSC_fsc", "22.5");
    NetChargeLine(333.33f, 20000);
    DisplayCharges();
    // 45 % of 333.33 = 149.9985.
    EXPECT_EQ(Rate(4), "Fuel Surcharge 45%");
    EXPECT_EQ(Charge(4), "$150.00");
    EXPECT_EQ(Charge(5), "$483.33");
}

TEST_F(QuoteCharges, FuelSurchargeIsItsPercentageOfTheNetShownRoundedOnce) {
    SetConfigValue("FSC_fsc", "12.5");
    NetChargeLine(5324.36f, 1000);
    DisplayCharges();
    // 12.5 % of 5,324.36 is 665.545: a half cent, up. The net held as a Single (5324.3599)
    // would give 665.54.
    EXPECT_EQ(Charge(4), "$665.55");
    EXPECT_EQ(Charge(5), "$5,989.91");
    EXPECT_EQ(Format(SilentTotal(), "#0.00"), "5989.91");
}

TEST_F(QuoteCharges, ALargeFuelSurchargeIsItsPercentageOfTheNetToTheCent) {
    SetConfigValue("FSC_fsc", "89.6");
    NetChargeLine(117198.00f, 40000);
    DisplayCharges();
    // 179.2 % of 117,198.00 is 210,018.816. Held as a Single, which keeps no more than 1/64 of
    // a dollar above $131,072, it would show 210018.81.
    EXPECT_EQ(Rate(4), "Fuel Surcharge 179.2%");
    EXPECT_EQ(Charge(4), "$210,018.82");
    EXPECT_EQ(Charge(5), "$327,216.82");
    // The silent total, which the offers take, adds the same amount.
    SilentTotal();
    EXPECT_EQ(Format(charges.totalShown, "#0.00"), "327216.82");
}

TEST_F(QuoteCharges, FuelCaptionShowsTheStoredPercentageWithOneDecimalAtMost) {
    struct Case {
        const char* stored;
        int32_t weight;
        const char* caption;
    };
    // Single-precision products would read 7.900001, 64.60001, 72.39999 and 89.60001.
    for (const Case& c :
         {Case{"07.9", 1000, "Fuel Surcharge 7.9%"}, Case{"07.9", 20000, "Fuel Surcharge 15.8%"},
          Case{"32.3", 20000, "Fuel Surcharge 64.6%"}, Case{"36.2", 25000, "Fuel Surcharge 72.4%"},
          Case{"44.8", 30000, "Fuel Surcharge 89.6%"}, Case{"05.0", 1000, "Fuel Surcharge 5%"}}) {
        SetConfigValue("FSC_fsc", c.stored);
        NetChargeLine(1000.00f, c.weight);
        DisplayCharges();
        EXPECT_EQ(Rate(4), c.caption) << c.stored << " at " << c.weight << " lbs";
    }
    // The amount is the percentage the caption shows: 7.9 % of 1,000.00.
    SetConfigValue("FSC_fsc", "07.9");
    NetChargeLine(1000.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Charge(4), "$79.00");
}

TEST_F(QuoteCharges, FuelSurchargeLeavesAccessorialsAlone) {
    SetConfigValue("FSC_fsc", "10");
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    // Liftgate 111.00, TOTAL 311.00; fuel 10 % of 200.00, not of 311.00.
    EXPECT_EQ(Charge(4), "$111.00");
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Rate(6), "Fuel Surcharge 10%");
    EXPECT_EQ(Charge(6), "$20.00");
    EXPECT_EQ(Charge(7), "$331.00");
}

TEST_F(QuoteCharges, NoFuelLineAtZero) {
    SetConfigValue("FSC_fsc", "00.0");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(quote.gQuoteLine, 3);
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

// Read as zero, a damaged figure would drop the surcharge from the quote without a word; read
// as the platform reads numbers, "7,5" would be 75 %, "&H10" 16 %, "&O17" 15 %, "1e1" and
// "1d1" 10 %, and "-5" would drop the fuel line.
TEST_F(QuoteCharges, ADamagedFuelSurchargeStopsTheQuoteNamingTheSetting) {
    for (const char* bad : {"abc", "1e308", "7,5", "&H10", "&O17", "1e1", "1d1", "-5"}) {
        SCOPED_TRACE(bad);
        SetConfigValue("FSC_fsc", bad);
        NetChargeLine(200.00f, 1000);
        try {
            DisplayCharges();
            FAIL() << "quoted with a damaged fuel surcharge";
        } catch (const SettingError& e) {
            EXPECT_EQ(e.key(), "FSC_fsc");
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}

// ------------------------------------------------------------------ fees

TEST_F(QuoteCharges, HomelandSecurityFeeAcrossTheBorderTakesALineBelowTheNetCharge) {
    SetDest("M5V1A1", "M5V", "ON", 1);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(3), "Net Charges");
    EXPECT_EQ(Charge(3), "$200.00");
    EXPECT_EQ(Rate(4), "Homeland Security Fee");
    EXPECT_EQ(Charge(4), "$11.50");
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Charge(5), "$211.50");
    EXPECT_FLOAT_EQ(charges.gHomelandFee, 11.50f);

    // Canada to the United States alike; between two Canadian points no fee.
    SetOrigin("M5V1A1", "M5V", "ON", 1);
    SetDest("53202", "532", "WI", 0);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 211.50f);
    SetDest("T2P1A1", "T2P", "AB", 1);
    NetChargeLine(200.00f, 1000);
    EXPECT_FLOAT_EQ(SilentTotal(), 200.00f);
}

TEST_F(QuoteCharges, CrossBorderFeeReplacesTheTotalUnderAnAccessorial) {
    SetConfigValue("FSC_fsc", "10");
    SetDest("M5V1A1", "M5V", "ON", 1);
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Liftgate service charge");
    EXPECT_EQ(Rate(5), "Homeland Security Fee");
    EXPECT_EQ(Rate(6), "TOTAL CHARGES");
    EXPECT_EQ(Charge(6), "$322.50");
    EXPECT_EQ(Rate(7), "Fuel Surcharge 10%");
    EXPECT_EQ(Charge(7), "$20.00");
    EXPECT_EQ(Rate(8), "TOTAL CHARGES");
    EXPECT_EQ(Charge(8), "$342.50");
    EXPECT_EQ(quote.gQuoteLine, 8);
}

TEST_F(QuoteCharges, IslandDeliveryFeeIsTheSameOnScreenAndInTheEconomyTotal) {
    for (const char* zip : {"98243", "98245", "98110", "11965"}) {
        SetDest(zip, std::string(zip).substr(0, 3), "WA", 0);
        NetChargeLine(200.00f, 1000);
        DisplayCharges();
        EXPECT_EQ(Rate(4), "Island Delivery Fee") << zip;
        EXPECT_EQ(Charge(4), "$87.50") << zip;
        EXPECT_EQ(Charge(5), "$287.50") << zip;
        EXPECT_FLOAT_EQ(SilentTotal(), 287.50f) << zip;
    }
    SetDest("98244", "982", "WA", 0);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 200.00f);
}

// ------------------------------------------------------------------ guaranteed charge

TEST_F(QuoteCharges, GuaranteedChargeFollowsTheFuelLineInBlue) {
    SetConfigValue("FSC_fsc", "10");
    DirectPoint("55401");
    DirectPoint("53202");
    Choose("Norvale GUARANTEED!");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Fuel Surcharge 10%");
    EXPECT_EQ(Charge(5), "$220.00");
    EXPECT_EQ(Rate(6), "Norvale GUARANTEED! Service");
    EXPECT_EQ(Charge(6), "$40.00");
    EXPECT_EQ(Line(6).rate.color, kQuoteBlue);
    EXPECT_EQ(Line(6).charge.color, kQuoteBlue);
    EXPECT_EQ(Rate(7), "TOTAL CHARGES");
    EXPECT_EQ(Charge(7), "$260.00");
    EXPECT_EQ(Line(7).charge.color, kQuoteBlack);
}

TEST_F(QuoteCharges, AFeeNeverCoversTheLastAccessorialLine) {
    // Guaranteed pricing writes no subtotal under the accessorials.
    DirectPoint("55401");
    DirectPoint("M5V1A1");
    SetDest("M5V1A1", "M5V", "ON", 1);
    Choose("Norvale GUARANTEED!");
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Liftgate service charge");
    EXPECT_EQ(Charge(4), "$111.00");
    EXPECT_EQ(Rate(5), "Homeland Security Fee");
    EXPECT_EQ(Charge(6), "$322.50");
    EXPECT_EQ(Rate(7), "Norvale GUARANTEED! Service");
    EXPECT_EQ(Charge(8), "$362.50");
}

// ------------------------------------------------------------------ economy pricing

TEST_F(QuoteCharges, EconomyPricingShowsItsStandardAndATotalUnderTheNetCharge) {
    Choose("Thriftlane");
    EconomyLane("55401", "53202", 7);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(quote.mlblDefServ, "Thriftlane      Service Standard: \n7 Days");
    EXPECT_EQ(Rate(3), "Net Charges");
    EXPECT_EQ(Rate(4), "TOTAL CHARGES");
    EXPECT_EQ(Charge(4), "$200.00");
    EXPECT_EQ(quote.gQuoteLine, 4);
}

TEST_F(QuoteCharges, EconomyTotalLeavesTheAccessorialLineVisible) {
    Choose("Thriftlane");
    Choose("Liftgate service");
    EconomyLane("55401", "53202", 7);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Liftgate service charge");
    EXPECT_EQ(Rate(5), "TOTAL CHARGES");
    EXPECT_EQ(Charge(5), "$311.00");
}

TEST_F(QuoteCharges, EconomyTotalRewritesTheRunningTotalInPlace) {
    SetConfigValue("FSC_fsc", "10");
    Choose("Thriftlane");
    EconomyLane("55401", "53202", 7);
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(4), "Fuel Surcharge 10%");
    EXPECT_EQ(Charge(5), "$220.00");
    EXPECT_EQ(quote.gQuoteLine, 5);
    EXPECT_EQ(quote.UsedLines(), 6);
}

TEST_F(QuoteCharges, OffshoreLandChargesAreTotalledAsSuch) {
    rating.gOffshoreDestZip = "96813";
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    EXPECT_EQ(Rate(5), "TOTAL LAND CHARGES");
}

// ------------------------------------------------------------------ the silent twin

TEST_F(QuoteCharges, SilentTotalMatchesTheDisplayAndWritesNothing) {
    SetConfigValue("FSC_fsc", "22.5");
    SetDest("98243", "982", "WA", 0);
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('98243')");
    for (const char* name : {"C.O.D.", "Liftgate service", "Hazardous materials"}) Choose(name);
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 5000;
    NetChargeLine(200.00f, 1000);
    DisplayCharges();
    // C.O.D. 150.00, surcharge 30.00, hazardous 19.00, liftgate 111.00, island fee 87.50,
    // fuel 45.00.
    EXPECT_EQ(Charge(quote.gQuoteLine), "$642.50");
    const Single shown = charges.gQuoteTotal;

    const QuoteSheet before = quote;
    EXPECT_FLOAT_EQ(SilentTotal(), shown);
    for (int n = 0; n < kQuoteDesignLines; ++n) {
        EXPECT_EQ(quote.Line(n).rate.text, before.Lines()[static_cast<size_t>(n)].rate.text);
        EXPECT_EQ(quote.Line(n).charge.text, before.Lines()[static_cast<size_t>(n)].charge.text);
    }
    EXPECT_EQ(quote.gQuoteLine, before.gQuoteLine);
    EXPECT_EQ(codPrompts, 1);
}

TEST_F(QuoteCharges, SilentAccessorialAdvancesTheLineAsTheDisplayedOne) {
    Choose("Liftgate service");
    NetChargeLine(200.00f, 1000);
    charges.gQuoteTotal = 200.00f;
    EXPECT_EQ(AccessorialChargeSilent("Liftgate service", 3, 0), 4);
    EXPECT_EQ(Rate(4), " ");
    EXPECT_FLOAT_EQ(charges.gQuoteTotal, 311.00f);
}

// ------------------------------------------------------------------ Canadian taxes

TEST_F(QuoteCharges, CanadianTaxesAreThoseOfTheTotalShown) {
    SetOrigin("M5V1A1", "M5V", "ON", 1);
    SetDest("K1P4A4", "K1P", "ON", 1);
    SetConfigValue("FSC_fsc", "12.5");
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    codAmountTyped = 1735.13f;
    NetChargeLine(700.03f, 1000);
    DisplayCharges();
    // C.O.D. 3 % of 1,735.13 = 52.0539, fuel 12.5 % of 700.03 = 87.50375: the lines show
    // 52.05 and 87.50 and add to 839.58, whose GST is 50.3748. Unrounded they come to
    // 839.5877, whose GST would be 50.38.
    EXPECT_EQ(Charge(4), "$52.05");
    EXPECT_EQ(Charge(6), "$87.50");
    EXPECT_EQ(Rate(7), "TOTAL CHARGES");
    EXPECT_EQ(Charge(7), "$839.58");
    EXPECT_EQ(Rate(8), "Canadian GST");
    EXPECT_EQ(Charge(8), "$50.37");
    EXPECT_EQ(Rate(9), "TOTAL CHARGES IN CN FUNDS");
    EXPECT_EQ(Charge(9), "$889.95");
}

}  // namespace
