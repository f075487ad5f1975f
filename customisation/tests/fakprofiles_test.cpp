// Changing and resetting FAK profiles, and what a damaged or missing profile shows.

#include "fakprofiles.h"

#include <gtest/gtest.h>

#include "discountstore.h"
#include "pricingfixture.h"
#include "regioncolours.h"

namespace {

constexpr const char* kIdentity = "000102030405060708091011121314151617";

class FAKProfiles : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        AddRegionRows("606", 2);
        AddRegionRows("607", 2);
        AddRegionRows("607", 3);
    }
    std::string Profile(const std::string& zip, int region, int ibob) {
        return FieldOf("SELECT profil FROM faktable WHERE zip = ?1 AND region = ?2 AND IBOB = ?3",
                       {zip, region, ibob});
    }
    static FAKPair Choice(std::initializer_list<int> classes, int picked) {
        FAKPair p;
        for (int c : classes) p.selected[static_cast<size_t>(c)] = true;
        p.picked = picked;
        return p;
    }
};

TEST_F(FAKProfiles, ANewProfileShowsEveryClassAsItself) {
    const FAKPair pair = FillFAKLists("606", 1, 2);
    ASSERT_EQ(pair.fakLines.size(), 18u);
    EXPECT_EQ(pair.fakLines.front(), "50");
    EXPECT_EQ(pair.fakLines[5], "77.5");
    EXPECT_EQ(pair.fakLines.back(), "500");
    EXPECT_EQ(pair.picked, -1);
}

TEST_F(FAKProfiles, ClassesPickedTogetherTakeTheClassOfTheLinePicked) {
    // 77.5 (index 5) and 85 (index 6) rated as 70 (index 4), inbound only.
    FAKPair in = Choice({5, 6}, 4), out;
    StoreFAKProfile("606", 2, {{1, &in}, {0, &out}});
    EXPECT_EQ(Profile("606", 2, 1), "000102030404040708091011121314151617");
    EXPECT_EQ(Profile("606", 2, 0), kIdentity);
    EXPECT_EQ(in.fakLines[5], "70");
    EXPECT_EQ(in.fakLines[6], "70");
    EXPECT_EQ(in.fakLines[7], "92.5");
    EXPECT_EQ(in.picked, -1);  // reloaded: the choice is gone
    // The line of 85 now shows 70: picking it for class 100 stores 70 there too.
    in = Choice({8}, 6);
    StoreFAKProfile("606", 2, {{1, &in}});
    EXPECT_EQ(Profile("606", 2, 1), "000102030404040704091011121314151617");
    // Nobody else's profile moved.
    EXPECT_EQ(Profile("607", 2, 1), kIdentity);
}

TEST_F(FAKProfiles, ApplyWithoutAPickChangesNothing) {
    const std::string before = PricingTables();
    FAKPair in = Choice({5, 6}, -1);
    StoreFAKProfile("606", 2, {{1, &in}});
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(FAKProfiles, TheResetWritesTheIdentityAtOnce) {
    Exec("UPDATE faktable SET profil = '000102030404040708091011121314151617' WHERE zip = '606'");
    const FAKPair pair = ResetFAKProfile("606", 0, 2);
    EXPECT_EQ(Profile("606", 2, 0), kIdentity);
    EXPECT_EQ(Profile("606", 2, 1), "000102030404040708091011121314151617");
    EXPECT_EQ(pair.fakLines[5], "77.5");
    EXPECT_FALSE(customisation.gFAKReset);
}

TEST_F(FAKProfiles, AMissingRowIsNamedAndNeverAnotherLocationsRow) {
    // 606 has no region 3; 607, right after it in the index, has one.
    const std::string before = PricingTables();
    FAKPair in = Choice({0}, 17);
    try {
        StoreFAKProfile("606", 3, {{1, &in}});
        FAIL() << "stored without the row";
    } catch (const MissingPricingRow& e) {
        EXPECT_NE(std::string(e.what()).find("the inbound row of 606, region 3"),
                  std::string::npos);
    }
    EXPECT_THROW(ResetFAKProfile("606", 0, 3), MissingPricingRow);
    EXPECT_FALSE(customisation.gFAKReset);
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(FAKProfiles, APairOutsideTheClassesIsShownWithAWarning) {
    Exec(
        "UPDATE faktable SET profil = '000102990405060708091011121314151617' "
        "WHERE zip = '606' AND IBOB = 1");
    const FAKPair pair = FillFAKLists("606", 1, 2);
    EXPECT_EQ(pair.fakLines[2], "60");
    EXPECT_EQ(pair.fakLines[3], "??");  // the pair of class 65 reads 99
    const auto shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("class 65"), std::string::npos);
    // A choice mends the profile: the damaged pair is read as the class itself.
    FAKPair in = Choice({0}, 4);
    StoreFAKProfile("606", 2, {{1, &in}});
    EXPECT_EQ(Profile("606", 2, 1), "040102030405060708091011121314151617");
    // Picking the damaged line gives nothing to store.
    Exec("UPDATE faktable SET profil = '0001029904' WHERE zip = '606' AND IBOB = 0");
    FAKPair bad = Choice({0}, 3);
    EXPECT_EQ(ChosenProfile("0001029904", bad), "0001029904");
}

TEST(RegionColours, ThirteenColoursAndNoneBeyond) {
    ASSERT_TRUE(RegionColourOf(1));
    EXPECT_EQ(*RegionColourOf(1), (RegionRGB{255, 38, 9}));
    EXPECT_EQ(*RegionColourOf(7), (RegionRGB{255, 51, 153}));
    EXPECT_EQ(*RegionColourOf(13), (RegionRGB{255, 255, 0}));
    EXPECT_FALSE(RegionColourOf(0));
    EXPECT_FALSE(RegionColourOf(14));
    customisation.Reset();
    RegionColour(2);
    EXPECT_EQ(customisation.gRegionRGB, (RegionRGB{0, 150, 72}));
    RegionColour(254);  // no colour: the current one stays
    EXPECT_EQ(customisation.gRegionRGB, (RegionRGB{0, 150, 72}));
}

}  // namespace
