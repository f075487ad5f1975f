// The weight-break arithmetic, pinned with cases worked by hand: lane factors 1 unless a test
// says otherwise, grid row MC 9500 and L5C..30M 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000,
// 900, 800 cents.

#include <gtest/gtest.h>

#include "charges.h"
#include "commodity.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

class Charges : public RatingTest {
protected:
    void SetUp() override {
        RatingTest::SetUp();
        SetOrigin("55401", "554", "MN", 0);
        SetDest("53202", "532", "WI", 0);
        rating.gGridRow = {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800};
    }
    void Discount(const std::string& pct) {
        for (auto& d : rating.gBreakDisc) d = pct;
    }
};

TEST_F(Charges, OneLineOf450LbsAtClass100ChargesEachBreakWithItsDeficit) {
    SetLine(0, "450", "100");
    ComputeCharges(0);

    EXPECT_EQ(rating.gLineCount, 1);
    EXPECT_EQ(rating.gTotalWeight, 450);
    EXPECT_EQ(rating.gFirstBreak, 1);
    EXPECT_EQ(rating.gLastBreak, 6);
    // MC: 9500 cents.
    EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 95.00f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 95.00f);
    // L5C: 40.00 × 4.5.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 40.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 180.00f);
    // 5C: rated as 500 lbs: 35.00 × 4.5 = 157.50 plus 50 lbs deficit at 35.00 = 17.50.
    EXPECT_FLOAT_EQ(rating.gLineRate[2][0], 35.00f);
    EXPECT_FLOAT_EQ(rating.gRatedAsWeight[2], 500);
    EXPECT_FLOAT_EQ(rating.gDefWeight[2], 50);
    EXPECT_FLOAT_EQ(rating.gLineCharge[2][0], 157.50f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[2], 17.50f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[2], 175.00f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 175.00f);
    // 1M: 30.00 × 4.5 = 135.00 plus 550 lbs at 30.00 = 165.00.
    EXPECT_FLOAT_EQ(rating.gRatedAsWeight[3], 1000);
    EXPECT_FLOAT_EQ(rating.gDefCharge[3], 165.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[3], 300.00f);
    // 10M: 15.00 × 4.5 = 67.50 plus 9550 lbs at 15.00 = 1432.50.
    EXPECT_FLOAT_EQ(rating.gRatedAsWeight[6], 10000);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[6], 1500.00f);
    EXPECT_EQ(CheapestBreak(), 2);
}

TEST_F(Charges, DiscountOf45Point5TakesEachBreakToItsNet) {
    Discount("45.5");
    SetLine(0, "450", "100");
    ComputeCharges(0);
    // 5C: 175.00 × 45.5 % = 79.625, rounded half up to 79.63.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 79.63f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
    // L5C: 180.00 × 45.5 % = 81.90.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[1], 81.90f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[1], 98.10f);
    // MC: 95.00 × 45.5 % = 43.225 → 43.23, net 51.77.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[0], 43.23f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 51.77f);
    EXPECT_FALSE(rating.gFloorApplied);
    EXPECT_EQ(CheapestBreak(), 2);
}

TEST_F(Charges, FloorAboveTheCheapestNetRaisesOnlyTheMinimumCharge) {
    Discount("45.5");
    rating.gLaneFloor = "100.00";
    SetLine(0, "450", "100");
    ComputeCharges(0);
    EXPECT_TRUE(rating.gFloorApplied);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 100.00f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[1], 98.10f);
    EXPECT_EQ(CheapestBreak(), 0);
}

TEST_F(Charges, FloorBelowTheNetMinimumChargeOrEmptyChangesNothing) {
    rating.gLaneFloor = "50.00";
    SetLine(0, "450", "100");
    ComputeCharges(0);
    EXPECT_FALSE(rating.gFloorApplied);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 95.00f);

    rating.gLaneFloor = "";
    ComputeCharges(0);
    EXPECT_FALSE(rating.gFloorApplied);
    EXPECT_FLOAT_EQ(rating.gNetCharge[0], 95.00f);
}

TEST_F(Charges, SeveralLinesRateTheDeficitAtTheLowestLineClass) {
    SetLine(0, "300", "100");
    SetLine(1, "150", "70");
    ComputeCharges(0);
    EXPECT_EQ(rating.gLineCount, 2);
    EXPECT_EQ(rating.gTotalWeight, 450);
    // L5C: 40.00 × 3 = 120.00; class 70: 28.00 × 1.5 = 42.00.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][1], 28.00f);
    EXPECT_FLOAT_EQ(rating.gLineCharge[1][0], 120.00f);
    EXPECT_FLOAT_EQ(rating.gLineCharge[1][1], 42.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 162.00f);
    // 5C: 105.00 + 36.75 and 50 lbs of deficit at the class-70 rate 24.50 = 12.25.
    EXPECT_FLOAT_EQ(rating.gLineCharge[2][0], 105.00f);
    EXPECT_FLOAT_EQ(rating.gLineCharge[2][1], 36.75f);
    EXPECT_FLOAT_EQ(rating.gDefRate[2], 24.50f);
    EXPECT_FLOAT_EQ(rating.gDefWeight[2], 50);
    EXPECT_FLOAT_EQ(rating.gDefCharge[2], 12.25f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[2], 154.00f);
    // 1M: 90.00 + 31.50 and 550 lbs at 21.00 = 115.50.
    EXPECT_FLOAT_EQ(rating.gDefRate[3], 21.00f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[3], 115.50f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[3], 237.00f);
    // Several lines record no rated-as weight.
    EXPECT_FLOAT_EQ(rating.gRatedAsWeight[2], 0);
    EXPECT_EQ(CheapestBreak(), 2);
}

TEST_F(Charges, ClassesOf77Point5And92Point5ScaleTheRateAndRoundToTheNearestCent) {
    SetLine(0, "450", "77.5");
    ComputeCharges(0);
    // 40.00 × 0.775 = 31.00; 35.00 × 0.775 = 27.125 → 27.13.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 31.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 139.50f);
    EXPECT_FLOAT_EQ(rating.gLineRate[2][0], 27.13f);
    // 27.13 × 4.5 = 122.085 → 122.09. The one-line deficit charge is held as a Single before
    // its rounding and takes no nudge: 50 lbs × 27.13 = 13.565 is 13.5649996 as a Single → 13.56.
    EXPECT_FLOAT_EQ(rating.gLineCharge[2][0], 122.09f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[2], 13.56f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[2], 135.65f);

    SetLine(0, "450", "92.5");
    ComputeCharges(0);
    // 40.00 × 0.925 = 37.00; 35.00 × 0.925 = 32.375 → 32.38; 30.00 × 0.925 = 27.75.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 37.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 166.50f);
    EXPECT_FLOAT_EQ(rating.gLineRate[2][0], 32.38f);
    EXPECT_FLOAT_EQ(rating.gLineCharge[2][0], 145.71f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[2], 16.19f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[2], 161.90f);
    // 1M: 27.75 × 4.5 = 124.875 → 124.88; 550 lbs × 27.75 = 152.625 → 152.63.
    EXPECT_FLOAT_EQ(rating.gLineCharge[3][0], 124.88f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[3], 152.63f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[3], 277.51f);
    // 2M: 25.00 × 0.925 = 23.125 → 23.13; × 4.5 = 104.085 → 104.09; 1550 lbs = 358.515, which
    // as a Single is 358.514984 → 358.51.
    EXPECT_FLOAT_EQ(rating.gLineRate[4][0], 23.13f);
    EXPECT_FLOAT_EQ(rating.gLineCharge[4][0], 104.09f);
    EXPECT_FLOAT_EQ(rating.gDefCharge[4], 358.51f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[4], 462.60f);
}

TEST_F(Charges, ClassFiftyIsHalfTheClass100Rate) {
    SetLine(0, "450", "50");
    ComputeCharges(0);
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 20.00f);
    EXPECT_FLOAT_EQ(rating.gLineRate[2][0], 17.50f);
    EXPECT_FLOAT_EQ(rating.gLineRate[6][0], 7.50f);  // 10M: 1500 cents
}

TEST_F(Charges, HighRatesAndLargeMinimumChargesKeepTheirCents) {
    rating.gGridRow = {1234567, 40000, 35000, 30000, 25000, 20000, 15000, 12000, 10000, 9000,
                       8000};
    SetLine(0, "450", "500");
    ComputeCharges(0);
    // 400.00 × 5 = 2000.00 a hundredweight; × 4.5 = 9000.00.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 2000.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 9000.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 12345.67f);
    rating.gDestFactor = 1.1f;
    ComputeCharges(0);
    // 2000.00 × 1.1 = 2200.00; 1234567 × 1.1 = 1358023.7 cents, which a Single holds to
    // seven digits: 1358024 cents.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 2200.00f);
    EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 13580.24f);
}

TEST_F(Charges, LaneFactorsMultiplyIntoRatesAndTheMinimumChargeInOrder) {
    rating.gLanePush = 1.05f;
    rating.gOrigFactor = 1.1f;
    rating.gDestFactor = 1.12f;
    SetLine(0, "450", "100");
    ComputeCharges(0);
    // 40.00 × 1.05 = 42.00, × 1.1 = 46.20, × 1.12 = 51.744 → 51.74.
    EXPECT_FLOAT_EQ(rating.gLineRate[1][0], 51.74f);
    // 51.74 × 4.5 = 232.83.
    EXPECT_FLOAT_EQ(rating.gGrossCharge[1], 232.83f);
    // 9500 × 1.05 = 9975, × 1.1 = 10972.5, × 1.12 = 12289.2 cents → 122.89.
    EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 122.89f);
}

struct Bracket {
    const char* weight;
    int first, last;
    bool minimumSlot;
};

void PrintTo(const Bracket& b, std::ostream* os) { *os << b.weight << " lbs"; }

class Brackets : public Charges, public ::testing::WithParamInterface<Bracket> {};

TEST_P(Brackets, TotalFallsInItsBreakWithUpToFiveAbove) {
    const Bracket& c = GetParam();
    rating.gGrossCharge[0] = -1;
    SetLine(0, c.weight, "100");
    ComputeCharges(0);
    EXPECT_EQ(rating.gFirstBreak, c.first);
    EXPECT_EQ(rating.gLastBreak, c.last);
    // Under 2000 lbs the minimum charge is computed and wins when above every break; from
    // 2000 lbs it is neither computed nor considered.
    rating.gNetCharge[0] = 1e9f;
    if (c.minimumSlot) {
        EXPECT_FLOAT_EQ(rating.gGrossCharge[0], 95.00f);
        EXPECT_EQ(CheapestBreak(), 0);
    } else {
        EXPECT_FLOAT_EQ(rating.gGrossCharge[0], -1);
        EXPECT_NE(CheapestBreak(), 0);
    }
    // A break above the bracket is rated as its own lowest weight.
    for (int b = c.first + 1; b <= c.last; ++b)
        EXPECT_FLOAT_EQ(rating.gRatedAsWeight[static_cast<size_t>(b)], kBreakBounds[b - 2]) << b;
}

INSTANTIATE_TEST_SUITE_P(Weights, Brackets,
                         ::testing::Values(Bracket{"499", 1, 6, true}, Bracket{"500", 2, 7, true},
                                           Bracket{"999", 2, 7, true},
                                           Bracket{"1000", 3, 8, true},
                                           Bracket{"1999", 3, 8, true},
                                           Bracket{"2000", 4, 9, false},
                                           Bracket{"25000", 9, 10, false},
                                           Bracket{"29999", 9, 10, false},
                                           Bracket{"30000", 10, 10, false},
                                           Bracket{"99999", 10, 10, false}),
                         [](const ::testing::TestParamInfo<Bracket>& info) {
                             return std::string("lbs") + info.param.weight;
                         });

TEST_F(Charges, WeightsRoundToWholePoundsHalvesToEven) {
    SetLine(0, "450.5", "100");
    ComputeCharges(0);
    EXPECT_EQ(rating.gTotalWeight, 450);
    SetLine(0, "451.5", "100");
    ComputeCharges(0);
    EXPECT_EQ(rating.gTotalWeight, 452);
    // A blank weight ends the lines: line 3 is not rated.
    SetLine(0, "100", "100");
    SetLine(1, "  ", "100");
    SetLine(2, "300", "100");
    ComputeCharges(0);
    EXPECT_EQ(rating.gLineCount, 1);
    EXPECT_EQ(rating.gTotalWeight, 100);
}

TEST_F(Charges, RefusedWeightsLeaveTheRatingStateUntouched) {
    auto expectRefused = [&](const std::string& fragment) {
        rating.gTotalWeight = -7;
        try {
            ComputeCharges(0);
            ADD_FAILURE() << "rated";
        } catch (const RatingRefusal& r) {
            EXPECT_NE(r.text().find(fragment), std::string::npos) << r.text();
            EXPECT_EQ(r.title(), "Data Entry Error");
        }
        EXPECT_EQ(rating.gTotalWeight, -7);
    };
    SetLine(0, "100", "100");
    SetLine(1, "0", "100");
    expectRefused("line  2");
    SetLine(1, "-40", "100");
    expectRefused("line  2");
    SetLine(1, "0.4", "100");  // rounds to no weight at all
    expectRefused("line  2");
    SetLine(1, "", "100");
    SetLine(0, "", "100");
    expectRefused("No commodity weight entered.");
    SetLine(0, "50000", "100");
    SetLine(1, "50000", "100");
    expectRefused("100,000 lbs");
    SetLine(1, "", "100");
    SetLine(0, "100000", "100");
    expectRefused("100,000 lbs");
    // Texts a lenient reading would take as another number than the one the quote shows.
    for (const char* text : {"1e12", "1,000", "4.5.6", "&H10", "450abc", "-5", "$450"}) {
        SetLine(0, text, "100");
        expectRefused(
            "The weight on line  1 is not a plain number.  Type the weight in pounds as "
            "digits, without commas");
    }
}

TEST_F(Charges, ARatedLineOfNoKnownClassIsRefusedNotRatedAsClassZero) {
    SetLine(0, "450", "100");
    SetLine(1, "100", "0");
    EXPECT_THROW(ComputeCharges(0), RatingRefusal);
    SetLine(1, "100", "77");
    try {
        ComputeCharges(0);
        ADD_FAILURE() << "rated";
    } catch (const RatingRefusal& r) {
        EXPECT_EQ(r.text(), "This is an illegal NMFC Class value.  Please correct");
        EXPECT_EQ(r.title(), "Error");
    }
    // A line that is not rated may hold anything.
    SetLine(1, "", "0");
    EXPECT_NO_THROW(ComputeCharges(0));
}

TEST_F(Charges, CheapestBreakPrefersTheLowerOfEqualNetsAndTheMinimumWhenAbove) {
    rating.gTotalWeight = 900;
    rating.gFirstBreak = 2;
    rating.gLastBreak = 7;
    rating.gNetCharge = {100, 0, 140, 110, 110, 200, 300, 400, 0, 0, 0, 0};
    EXPECT_EQ(CheapestBreak(), 3);
    rating.gNetCharge[0] = 120;  // the net minimum charge is above the cheapest break
    EXPECT_EQ(CheapestBreak(), 0);
    rating.gNetCharge[0] = 110;  // equal: the break stays
    EXPECT_EQ(CheapestBreak(), 3);
}

class Thriftlane : public Charges {
protected:
    void SetUp() override {
        Charges::SetUp();
        AddFullzip("55401", "MSP");
        AddFullzip("53202", "MKE");
        Exec("INSERT INTO ServInd (key, Type, Ddays) VALUES ('MSPMKE', 2, 4)");
        Discount("45.5");
        SetLine(0, "450", "100");
    }
};

TEST_F(Thriftlane, ChosenOnItsLaneEveryBreakTakesTheTablePercentage) {
    commodityLines.gAccThriftlane = true;
    ComputeCharges(0);
    EXPECT_TRUE(rating.gPXSOn);
    EXPECT_FLOAT_EQ(rating.gPXSPct, 0.2f);
    EXPECT_EQ(rating.gPXSDays, 4);
    // 20 % of each gross, whatever gBreakDisc holds.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[0], 19.00f);
    EXPECT_FLOAT_EQ(rating.gDiscAmount[1], 36.00f);
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 35.00f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 140.00f);
}

TEST_F(Thriftlane, APercentageTypedInTheQuoteWindowReplacesTheTables) {
    rating.gQAccThriftlane = true;
    rating.gPXSEnteredPct = 35;
    ComputeCharges(0);
    // 175.00 × 35 % = 61.25.
    EXPECT_FLOAT_EQ(rating.gDiscAmount[2], 61.25f);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 113.75f);
}

TEST_F(Thriftlane, NotChosenTheCustomerDiscountAppliesButTheDaysAreKept) {
    ComputeCharges(0);
    EXPECT_FALSE(rating.gPXSOn);
    EXPECT_EQ(rating.gPXSDays, 4);
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);
}

TEST_F(Charges, DiscountedChargeTakesTheBreaksDiscountOff) {
    rating.gBreakDisc[2] = "45.5";
    // 175.00 less 79.625 (and the nudge) = 95.37499.
    EXPECT_EQ(DiscountedCharge(175.00f, 2), "95.37");
    EXPECT_EQ(DiscountedCharge2(175.00f, 2), "95.37");
    rating.gBreakDisc[3] = "";
    EXPECT_EQ(DiscountedCharge(175.00f, 3), "175.00");
}

TEST_F(Charges, LowestLineClassLooksOnlyAtTheCountedLines) {
    rating.gLineClass = {"100", "77.5", "150", "50", "", ""};
    EXPECT_FLOAT_EQ(LowestLineClass(3), 77.5f);
    EXPECT_FLOAT_EQ(LowestLineClass(4), 50.0f);
    EXPECT_FLOAT_EQ(LowestLineClass(1), 100.0f);
    EXPECT_FLOAT_EQ(LowestLineClass(0), 100.0f);
}

}  // namespace
