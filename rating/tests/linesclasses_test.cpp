// Density bands and FAK profiles.

#include <gtest/gtest.h>

#include "commodity.h"
#include "linesclasses.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

// An identity profile with one class slot changed.
std::string ProfileMapping(int fromIndex, const char* toIndex) {
    std::string p = kIdentityFAKProfile;
    p.replace(static_cast<size_t>(2 * fromIndex), 2, toIndex);
    return p;
}

class Densities : public RatingTest {};

TEST_F(Densities, EachBandFromItsLowerBound) {
    SetOrigin("T2P1A1", "T2P", "AB", 1);
    const std::pair<const char*, const char*> cases[] = {
        {"60", "50"},   {"50", "50"},    {"49.99", "55"}, {"35", "55"},   {"34.9", "60"},
        {"30", "60"},   {"22.5", "65"},  {"22.49", "100"}, {"10", "100"},  {"9.99", "110"},
        {"8", "110"},   {"6", "125"},    {"4", "150"},    {"2", "250"},   {"1", "300"},
        {"0.99", "400"}, {"0.5", "400"}, {"abc", "400"}};
    for (const auto& [density, cls] : cases) EXPECT_EQ(ClassForDensity(density, 0), cls) << density;
}

TEST_F(Densities, FromQuebecOrOntarioEveryDensityIsClass100) {
    SetOrigin("H2X1Y4", "H2X", "QC", 1);
    EXPECT_EQ(ClassForDensity("40", 0), "100");
    EXPECT_EQ(ClassForDensity("7", 0), "100");
    SetOrigin("M5V2T6", "M5V", "ON", 1);
    EXPECT_EQ(ClassForDensity("0.5", 0), "100");
    SetOrigin("T2P1A1", "T2P", "AB", 1);
    EXPECT_EQ(ClassForDensity("40", 0), "55");
    EXPECT_EQ(ClassForDensity("7", 0), "125");
}

TEST(MaxDensity, OnlyTheBandClassesHaveOne) {
    EXPECT_EQ(MaxDensityForClass("50"), "99.99");
    EXPECT_EQ(MaxDensityForClass("65"), "29.99");
    EXPECT_EQ(MaxDensityForClass("100"), "22.49");
    EXPECT_EQ(MaxDensityForClass("400"), ".99");
    EXPECT_EQ(MaxDensityForClass("70"), "");
    EXPECT_EQ(MaxDensityForClass("77.5"), "");
    EXPECT_EQ(MaxDensityForClass(""), "");
}

class Fak : public RatingTest {
protected:
    void SetUp() override {
        RatingTest::SetUp();
        SetOrigin("53202", "532", "WI", 0);
        SetDest("43215", "432", "OH", 0);
        SetLine(0, "300", "50");
        SetLine(1, "200", "100");
    }
};

TEST_F(Fak, WithoutProfilesTheClassesStayAsSet) {
    ApplyFAKProfile();
    EXPECT_FALSE(rating.gFAKActive);
    EXPECT_EQ(rating.gLineClass[0], "50");
    EXPECT_EQ(rating.gLineClass[1], "100");
    EXPECT_EQ(rating.gFAKRegionIn, 1);
}

TEST_F(Fak, TheAllProfileRatesClass50AsClass55AndLeavesTheOthers) {
    AddFakRow("ALL", 0, 1, ProfileMapping(0, "01"));
    ApplyFAKProfile();
    EXPECT_TRUE(rating.gFAKActive);
    EXPECT_EQ(rating.gLineClass[0], "55");
    EXPECT_EQ(rating.gLineClass[1], "100");
    EXPECT_EQ(rating.gLineClassActual[0], "50");
    EXPECT_EQ(rating.gLineClassActual[1], "100");
}

TEST_F(Fak, TheFlagTellsWhetherAnyRatedLineChanged) {
    // Only the first line changes; the last line with a weight does not.
    AddFakRow("ALL", 0, 1, ProfileMapping(0, "01"));
    ApplyFAKProfile();
    EXPECT_TRUE(rating.gFAKActive);
    // A profile that moves no class of this shipment leaves the flag clear.
    SetLine(0, "300", "100");
    ApplyFAKProfile();
    EXPECT_FALSE(rating.gFAKActive);
}

TEST_F(Fak, ALineWithoutWeightKeepsItsClass) {
    AddFakRow("ALL", 0, 1, ProfileMapping(8, "04"));  // 100 rates as 70
    SetLine(2, "", "100");
    ApplyFAKProfile();
    EXPECT_EQ(rating.gLineClass[1], "70");
    EXPECT_EQ(rating.gLineClass[2], "100");
}

TEST_F(Fak, TheAllProfileWinsOverTheLocationsOwn) {
    rating.gOutbound = true;
    AddStateRegion("OH", "532", 2);
    AddFakRow("ALL", 0, 1, ProfileMapping(0, "01"));
    AddFakRow("532", 0, 2, ProfileMapping(0, "17"));
    ApplyFAKProfile();
    EXPECT_EQ(rating.gLineClass[0], "55");
}

TEST_F(Fak, OriginLocationFirstThenDestinationLocation) {
    rating.gOutbound = true;
    rating.gInbound = true;
    AddFakRow("ALL", 0, 1, kIdentityFAKProfile);
    AddStateRegion("OH", "532", 2);
    AddStateRegion("WI", "432", 3);
    AddFakRow("532", 0, 2, ProfileMapping(0, "02"));
    AddFakRow("432", 1, 3, ProfileMapping(0, "03"));
    ApplyFAKProfile();
    EXPECT_EQ(rating.gFAKRegionOut, 2);
    EXPECT_EQ(rating.gLineClass[0], "60");

    rating.gOutbound = false;
    ApplyFAKProfile();
    EXPECT_EQ(rating.gFAKRegionIn, 3);
    EXPECT_EQ(rating.gLineClass[0], "65");
}

TEST_F(Fak, AMissingRowMeansNoFakAndTheNextLocationIsNeverRead) {
    rating.gOutbound = true;
    AddStateRegion("OH", "532", 2);
    AddFakRow("532", 0, 1, kIdentityFAKProfile);
    AddFakRow("533", 0, 2, ProfileMapping(0, "17"));
    EXPECT_FALSE(FindFAKRow("532", 0, 2));
    EXPECT_EQ(rating.gFAKProfile, kIdentityFAKProfile);
    ApplyFAKProfile();
    EXPECT_FALSE(rating.gFAKActive);
    EXPECT_EQ(rating.gLineClass[0], "50");
    EXPECT_TRUE(FindFAKRow("533", 0, 2));
    EXPECT_EQ(tariff.rsFaktable->Field("zip").str(), "533");
    EXPECT_EQ(rating.gFAKProfile, ProfileMapping(0, "17"));
    // A miss leaves no row current.
    EXPECT_FALSE(FindFAKRow("532", 0, 2));
    EXPECT_THROW(tariff.rsFaktable->Field("profil"), DbError);
}

TEST_F(Fak, CrossBorderAndCanadianLanesLookUpTheirAllRows) {
    AddFakRow("ALL", 1, 4, ProfileMapping(0, "05"));
    AddFakRow("ALL", 0, 254, ProfileMapping(0, "06"));
    SetOrigin("M5V2T6", "M5V", "ON", 1);
    ApplyFAKProfile();
    EXPECT_EQ(rating.gFAKRegionIn, 4);
    EXPECT_EQ(rating.gLineClass[0], "77.5");
    SetDest("H2X1Y4", "H2X", "QC", 1);
    SetLine(0, "300", "50");
    ApplyFAKProfile();
    EXPECT_EQ(rating.gFAKRegionIn, 254);
    EXPECT_EQ(rating.gLineClass[0], "85");
}

TEST_F(Fak, AnUnknownClassOrADamagedProfileIsRefused) {
    AddFakRow("ALL", 0, 1, ProfileMapping(0, "01"));
    SetLine(1, "200", "");
    try {
        ApplyFAKProfile();
        ADD_FAILURE() << "mapped an empty class";
    } catch (const RatingRefusal& r) {
        EXPECT_EQ(r.text(), "This is an illegal NMFC Class value.  Please correct");
        EXPECT_EQ(r.title(), "Error");
    }
    SetLine(1, "200", "77");
    EXPECT_THROW(ApplyFAKProfile(), RatingRefusal);

    SetLine(1, "200", "100");
    Exec("UPDATE faktable SET profil = ?", {ProfileMapping(8, "18")});
    EXPECT_THROW(ApplyFAKProfile(), RatingRefusal);
}

}  // namespace
