// A rating after an upgrade prices with the discounts copied from the earlier edition.

#include <gtest/gtest.h>

#include "earlieredition.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "tariffdb.h"
#include "upgrade.h"

namespace {

class UpgradeRatingTest : public RatingTest {};

TEST_F(UpgradeRatingTest, TheNextRatingUsesTheCopiedDiscounts) {
    // Milwaukee to Columbus, 450 lbs of class 100: the cheapest break is 5C, 500 lbs at
    // $35.00 a hundredweight, $175.00 before the discount.
    SetOrigin("53202", "532", "WI", 0);
    SetDest("43215", "432", "OH", 0);
    UseStandardLane();
    SetLine(0, "450", "100");
    AddDiscountRow("ALL", 1, 0, "45.5");
    ASSERT_TRUE(RateShipment());
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 95.37f);  // 175.00 less 45.5 %

    // The earlier edition gave lanes within the United States 60 % off.
    EarlierEdition earlier(std::filesystem::path(FRETLYN_APP_DIR) / "data/x2007.mdb",
                           "Fretlyn2005/data", "x2005.mdb");
    earlier.Exec(
        {"UPDATE discounts SET dmc = '60.0', dL5C = '60.0', d5c = '60.0', d1m = '60.0', "
         "d2m = '60.0', d5m = '60.0', d10m = '60.0', d15m = '60.0', d20m = '60.0', "
         "d25m = '60.0', d30m = '60.0', Floor = '00.00' "
         "WHERE zip = 'ALL' AND region = 1 AND IBOB = 0"});
    UpgradeReport report;
    {
        UpgradeSource source(*tariff.gDB);
        ASSERT_EQ(source.Open(earlier.path(), DiscountTables()), 0) << source.Problem();
        ASSERT_TRUE(UpgradeGroup(*tariff.gDB, DiscountTables(), {}, "Discounts", report))
            << report.skips.at(0);
    }

    ASSERT_TRUE(RateShipment());
    EXPECT_EQ(rating.gBreakDisc2[2], "60.0");
    EXPECT_FLOAT_EQ(rating.gNetCharge[2], 70.00f);  // 175.00 less 60 %
}

}  // namespace
