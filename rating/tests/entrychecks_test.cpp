#include "entrychecks.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryChecks, APlainDecimalIsDigitsWithOnePointAtMost) {
    for (const char* good : {"450", " 450 ", "450.5", ".5", "5.", "0", "007"})
        EXPECT_TRUE(IsPlainDecimal(good)) << good;
    for (const char* bad : {"", "   ", ".", "1,000", "4.5.6", "&H10", "450abc", "-5", "+5", "1e3",
                            "$450", "4 50", "\t450", "450\n"})
        EXPECT_FALSE(IsPlainDecimal(bad)) << bad;
}

TEST(EntryChecks, DensitiesAndCubesAreAboveZeroAndWithinARealShipment) {
    for (const char* good : {"12", "0.5", "1000", " 1000 "})
        EXPECT_EQ(DensityRefusal(2, good), "") << good;
    const std::string notPlain =
        "The density on line  2 is not a plain number.  Type the density in pounds per cubic "
        "foot as digits, without commas (a point may mark decimals).";
    for (const char* bad : {"12,5", "twelve", "", "-3"})
        EXPECT_EQ(DensityRefusal(2, bad), notPlain);
    for (const char* none : {"0", "0.0"})
        EXPECT_EQ(DensityRefusal(2, none),
                  "The density on line  2 must be more than 0 lbs per cubic foot.");
    for (const char* heavy : {"1000.5", "5000"})
        EXPECT_EQ(DensityRefusal(2, heavy),
                  "The density on line  2 can be at most 1,000 lbs per cubic foot.");

    EXPECT_EQ(OceanCubeRefusal("120"), "");
    EXPECT_EQ(OceanCubeRefusal("20000"), "");
    EXPECT_EQ(OceanCubeRefusal("20000.1"), "The ocean cube can be at most 20,000 cubic feet.");
    EXPECT_EQ(OceanCubeRefusal("90150"), "The ocean cube can be at most 20,000 cubic feet.");
    EXPECT_EQ(OceanCubeRefusal("0"), "The ocean cube must be more than 0 cubic feet.");
    for (const char* bad : {"1,200", "&H10", "."})
        EXPECT_EQ(OceanCubeRefusal(bad),
                  "The ocean cube is not a plain number.  Type the cube in cubic feet as digits, "
                  "without commas (a point may mark decimals).");
}

TEST(EntryChecks, AWeightHasNoCeilingHereOnlyAForm) {
    EXPECT_EQ(WeightRefusal(1, "1200"), "");
    EXPECT_EQ(WeightRefusal(1, "250000"), "");  // the rating refuses 100,000 lbs itself
    EXPECT_EQ(WeightRefusal(3, "1,200"),
              "The weight on line  3 is not a plain number.  Type the weight in pounds as digits, "
              "without commas (a point may mark decimals).");
    EXPECT_EQ(WeightRefusal(1, "0"), "The weight on line  1 must be more than 0 lbs.");
}

}  // namespace
