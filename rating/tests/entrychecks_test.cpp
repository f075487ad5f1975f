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
    EXPECT_TRUE(IsDensityValue("12"));
    EXPECT_TRUE(IsDensityValue("0.5"));
    EXPECT_TRUE(IsDensityValue("1000"));
    for (const char* bad : {"0", "0.0", "1000.5", "5000", "12,5", "twelve", ""})
        EXPECT_FALSE(IsDensityValue(bad)) << bad;

    EXPECT_TRUE(IsOceanCubeValue("120"));
    EXPECT_TRUE(IsOceanCubeValue("20000"));
    for (const char* bad : {"0", "20000.1", "1,200", "&H10", "."})
        EXPECT_FALSE(IsOceanCubeValue(bad)) << bad;
}

}  // namespace
