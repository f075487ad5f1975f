// Choosing the discount row of a lane, the carrier's minimum discounts and the lane floor.

#include <gtest/gtest.h>

#include "discounts.h"
#include "settings.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

class Discounts : public RatingTest {
protected:
    void SetUp() override {
        RatingTest::SetUp();
        SetOrigin("53202", "532", "WI", 0);
        SetDest("43215", "432", "OH", 0);
    }
    void Load() {
        SetLaneFlags(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState, tariff.gDestState, 0,
                     tariff.gDestZip);
        LoadBreakDiscounts(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState,
                           tariff.gDestState);
    }
    static std::array<std::string, 11> Row(std::initializer_list<const char*> values) {
        std::array<std::string, 11> row;
        size_t i = 0;
        for (const char* v : values) row[i++] = v;
        return row;
    }
};

TEST_F(Discounts, WithoutLocationsTheAllRowOfTheLanesKindApplies) {
    AddDiscountRow("ALL", 1, 0, "40.0");
    AddDiscountRow("ALL", 4, 0, "41.0");
    AddDiscountRow("ALL", 4, 1, "42.0");
    AddDiscountRow("ALL", 254, 0, "43.0");
    AddDiscountRow("ALL", 1, 1, "44.0");
    Load();
    EXPECT_EQ(rating.gBreakDisc[0], "40.0");
    EXPECT_EQ(rating.gBreakDisc[10], "40.0");
    EXPECT_EQ(rating.gBreakDisc2[5], "40.0");

    SetDest("M5V2T6", "M5V", "ON", 1);  // United States to Canada
    Load();
    EXPECT_EQ(rating.gBreakDisc[3], "41.0");
    SetOrigin("M5V2T6", "M5V", "ON", 1);  // within Canada
    Load();
    EXPECT_EQ(rating.gBreakDisc[3], "43.0");
    SetDest("43215", "432", "OH", 0);  // Canada to the United States: inbound
    Load();
    EXPECT_EQ(rating.gBreakDisc[3], "42.0");
}

TEST_F(Discounts, TheOriginLocationsOutboundRowWinsOverTheDestinations) {
    rating.gOutbound = true;
    rating.gInbound = true;
    AddStateRegion("OH", "532", 3);
    AddStateRegion("WI", "432", 2);
    AddDiscountRow("532", 3, 1, "10.0", "11.00");
    AddDiscountRow("532", 3, 0, "30.0", "33.00");
    AddDiscountRow("432", 2, 1, "20.0", "22.00");
    Load();
    EXPECT_EQ(rating.gBreakDisc[4], "30.0");
    EXPECT_EQ(rating.gLaneFloor, "33.00");

    rating.gOutbound = false;
    Load();
    EXPECT_EQ(rating.gBreakDisc[4], "20.0");
    EXPECT_EQ(rating.gLaneFloor, "22.00");
}

TEST_F(Discounts, ALaneWithoutItsRowIsRefusedNamingLocationRegionAndDirection) {
    rating.gOutbound = true;
    AddStateRegion("OH", "532", 3);
    AddDiscountRow("532", 2, 0, "30.0");
    try {
        Load();
        ADD_FAILURE() << "loaded";
    } catch (const RatingRefusal& r) {
        EXPECT_NE(r.text().find("532"), std::string::npos) << r.text();
        EXPECT_NE(r.text().find("region 3"), std::string::npos) << r.text();
        EXPECT_NE(r.text().find("outbound"), std::string::npos) << r.text();
    }
    // A state the location has no region for is region 0.
    rating.gOutbound = false;
    rating.gInbound = true;
    try {
        Load();
        ADD_FAILURE() << "loaded";
    } catch (const RatingRefusal& r) {
        EXPECT_NE(r.text().find("432, region 0"), std::string::npos) << r.text();
        EXPECT_NE(r.text().find("inbound"), std::string::npos) << r.text();
    }
}

// A discount or floor the editors never store is named with its row and field: read as the
// platform reads numbers, "abc" was no discount, "7,5" 75 % and "&H10" 16 %.
TEST_F(Discounts, ADamagedDiscountOrFloorIsNamedWithItsRow) {
    struct Case {
        const char* field;
        Value value;
        const char* shown;
    };
    for (const Case& c :
         {Case{"d5c", Value("abc"), "\"abc\""}, Case{"d1m", Value("7,5"), "\"7,5\""},
          Case{"dmc", Value("&H10"), "\"&H10\""}, Case{"d30m", Value("-5"), "\"-5\""},
          Case{"d2m", Value("150"), "\"150\""}, Case{"d5m", Value(), "no value"},
          Case{"Floor", Value("1e308"), "\"1e308\""}, Case{"Floor", Value("12,50"), "\"12,50\""}}) {
        SCOPED_TRACE(c.field);
        Exec("DELETE FROM discounts");
        AddDiscountRow("ALL", 1, 0, "40.0", "42.00");
        Exec("UPDATE discounts SET \"" + std::string(c.field) + "\" = ?", {c.value});
        try {
            Load();
            ADD_FAILURE() << "loaded";
        } catch (const StoredValueError& e) {
            const std::string said = e.what();
            EXPECT_NE(said.find("The field " + std::string(c.field) +
                                " of the outbound discounts of shipping location ALL, region 1"),
                      std::string::npos)
                << said;
            EXPECT_NE(said.find(c.shown), std::string::npos) << said;
            EXPECT_NE(said.find(TariffDatabasePath()), std::string::npos) << said;
            EXPECT_NE(said.find("Discounts/F.A.K.s..."), std::string::npos) << said;
        }
    }
    // As the editors store them, and as older copies hold them.
    Exec("DELETE FROM discounts");
    AddDiscountRow(
        "ALL", 1, 0,
        Row({"00.0", "7.5", "07.5", "45", "99.9", "52.0", "52.0", "52.0", "52.0", "52.0", "52.0"}),
        "42.5");
    Load();
    EXPECT_EQ(rating.gBreakDisc[1], "7.5");
    EXPECT_EQ(rating.gBreakDisc[4], "99.9");
}

TEST_F(Discounts, FindDiscountRowNeverLeavesTheLocationsRows) {
    AddDiscountRow("551", 1, 0, "10.0");
    AddDiscountRow("552", 2, 0, "20.0");
    EXPECT_FALSE(FindDiscountRow("551", 2, 0));
    EXPECT_TRUE(FindDiscountRow("552", 2, 0));
    EXPECT_EQ(tariff.rsDiscounts->Field("dmc").str(), "20.0");
    EXPECT_FALSE(FindDiscountRow("550", 2, 0));
    EXPECT_FALSE(FindDiscountRow("552", 2, 1));
    // A miss leaves no row current, so an editor cannot change another location's row.
    EXPECT_FALSE(FindDiscountRow("551", 2, 0));
    try {
        tariff.rsDiscounts->Edit();
        ADD_FAILURE() << "edited " << tariff.rsDiscounts->Field("zip").str();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrNoCurrentRecord);
    }
}

TEST_F(Discounts, UpperMidwestOriginsGetFiftyTwoPercentOnEveryBreak) {
    SetOrigin("55401", "554", "MN", 0);
    AddDiscountRow(
        "ALL", 1, 0,
        Row({"10.0", "52.0", "60.0", "00.0", "0.5", "40.0", "51.9", "52.1", "0", "70", "1"}),
        "00.00");
    Load();
    EXPECT_TRUE(rating.gUpperMidwest);
    const std::array<std::string, 11> expected = {"52.0", "52.0", "60.0", "52.0", "52.0", "52.0",
                                                  "52.0", "52.1", "52.0", "70",   "52.0"};
    for (size_t b = 0; b < 11; ++b) EXPECT_EQ(rating.gBreakDisc[b], expected[b]) << b;
    // The row as loaded stays for the bill of lading.
    EXPECT_EQ(rating.gBreakDisc2[5], "40.0");
    EXPECT_EQ(rating.gBreakDisc2[3], "00.0");
}

TEST_F(Discounts, ChicagoAtlantaAndEastWestMinimums) {
    AddDiscountRow("ALL", 1, 0, "10.0");
    SetDest("60601", "606", "IL", 0);
    Load();
    EXPECT_TRUE(rating.gChicagoZip);
    const std::array<std::string, 11> chicago = {"10.0", "10.0", "10.0", "10.0", "30.0", "30.0",
                                                 "30.0", "65.0", "65.0", "65.0", "65.0"};
    for (size_t b = 0; b < 11; ++b) EXPECT_EQ(rating.gBreakDisc[b], chicago[b]) << b;

    Exec("INSERT INTO AtlantaDiscZips (zip) VALUES ('30301')");
    SetDest("30301", "303", "GA", 0);
    Load();
    EXPECT_FALSE(rating.gChicagoZip);
    EXPECT_TRUE(rating.gAtlantaDiscZip);
    const std::array<std::string, 11> atlanta = {"10.0", "30.0", "30.0", "52.0", "52.0", "52.0",
                                                 "52.0", "65.0", "65.0", "65.0", "65.0"};
    for (size_t b = 0; b < 11; ++b) EXPECT_EQ(rating.gBreakDisc[b], atlanta[b]) << b;

    AddDiscountRow("ALL", 254, 0, "35");
    SetOrigin("H2X1Y4", "H2X", "QC", 1);
    SetDest("V6B1A1", "V6B", "BC", 1);
    Load();
    EXPECT_TRUE(rating.gEastWestCanada);
    const std::array<std::string, 11> eastWest = {"35", "35", "35", "35",   "35",  "35",
                                                  "40.0", "50.0", "50.0", "50.0", "50.0"};
    for (size_t b = 0; b < 11; ++b) EXPECT_EQ(rating.gBreakDisc[b], eastWest[b]) << b;
    SetOrigin("M5V2T6", "M5V", "ON", 1);
    SetDest("H2X1Y4", "H2X", "QC", 1);
    Load();
    EXPECT_FALSE(rating.gEastWestCanada);
    EXPECT_EQ(rating.gBreakDisc[6], "35");
}

TEST_F(Discounts, ALaterFlagOnlyRaisesFurther) {
    SetOrigin("55401", "554", "MN", 0);
    SetDest("60601", "606", "IL", 0);
    AddDiscountRow("ALL", 1, 0, "10.0");
    Load();
    EXPECT_EQ(rating.gBreakDisc[4], "52.0");  // Chicago's 30.0 does not lower it
    EXPECT_EQ(rating.gBreakDisc[7], "65.0");
}

TEST_F(Discounts, LaneFlags) {
    auto flags = [&](const std::string& oz3, const std::string& dz3, const std::string& os,
                     const std::string& ds, const std::string& dz) {
        SetLaneFlags(oz3, dz3, os, ds, 0, dz);
    };
    flags("532", "600", "WI", "IL", "60001");
    EXPECT_TRUE(rating.gChicagoZip);
    flags("532", "608", "WI", "IL", "60801");
    EXPECT_TRUE(rating.gChicagoZip);
    flags("532", "609", "WI", "IL", "60901");
    EXPECT_FALSE(rating.gChicagoZip);
    flags("532", "599", "WI", "MT", "59901");
    EXPECT_FALSE(rating.gChicagoZip);
    for (const char* st : {"MN", "ND", "NE", "SD"}) {
        flags("550", "532", st, "WI", "53202");
        EXPECT_TRUE(rating.gUpperMidwest) << st;
    }
    flags("532", "550", "WI", "MN", "55401");
    EXPECT_FALSE(rating.gUpperMidwest);
    flags("T2P", "V6B", "AB", "NB", "E1C1A1");
    EXPECT_TRUE(rating.gEastWestCanada);
    flags("T2P", "V6B", "AB", "BC", "V6B1A1");
    EXPECT_FALSE(rating.gEastWestCanada);
}

TEST_F(Discounts, PuertoRicoFromTheCentralRegionCountsAsUpperMidwest) {
    // Every ZIP of prefix 532 is served from a QZA centre here.
    Exec("INSERT INTO Fullzip (zip, SIC) SELECT zip, 'XMK' FROM us_cities WHERE zip LIKE '532%'");
    tariff.gOffshoreState = "PR";
    SetLaneFlags("532", "009", "WI", "PR", 0, "00901");
    EXPECT_TRUE(rating.gUpperMidwest);
    tariff.gOffshoreState = "HI";
    SetLaneFlags("532", "967", "WI", "HI", 0, "96701");
    EXPECT_FALSE(rating.gUpperMidwest);
}

TEST_F(Discounts, RegionOfStateZip) {
    AddStateRegion("OH", "532", 3);
    EXPECT_EQ(RegionOfStateZip("OH", "532"), 3);
    EXPECT_EQ(RegionOfStateZip("IN", "532"), 0);
    EXPECT_EQ(RegionOfStateZip("OH", "533"), 0);
}

class LaneFloor : public Discounts {
protected:
    void SetUp() override {
        Discounts::SetUp();
        const char* values[] = {"11.00", "12.00", "13.00", "14.00", "15.00", "16.00", "17.00",
                                "18.00", "19.00", "20.00", "21.00", "22.00", "23.00"};
        // FLOOR_qzainter … FLOOR_jointline, in the order start-up reads them.
        for (size_t i = 0; i < 13; ++i) tariff.startupValues[kFloorKeys[i]] = values[i];
        // Service centres: X… central (QZA), U… western (QZD), anything else eastern (QZB).
        for (const char* z : {"55401", "53202"}) AddFullzip(z, "XMK");
        for (const char* z : {"43215", "15222", "33037", "33040"}) AddFullzip(z, "CMH");
        for (const char* z : {"90001", "94105", "89501", "89101"}) AddFullzip(z, "ULA");
    }
    std::string Floor(const std::string& oz, const std::string& os, const std::string& dz,
                      const std::string& ds) {
        const bool oUS = oz[0] >= '0' && oz[0] <= '9';
        const bool dUS = dz[0] >= '0' && dz[0] <= '9';
        SetOrigin(oz, oz.substr(0, 3), os, oUS ? 0 : 1);
        SetDest(dz, dz.substr(0, 3), ds, dUS ? 0 : 1);
        return GetLaneFloorKey(os, ds);
    }
};

TEST_F(LaneFloor, EachRegionPairTakesItsSetting) {
    EXPECT_EQ(Floor("55401", "MN", "53202", "WI"), "11.00");  // qzainter
    EXPECT_EQ(rating.gOrigRegion, "QZA");
    EXPECT_EQ(rating.gDestRegion, "QZA");
    EXPECT_EQ(Floor("55401", "MN", "55401", "MN"), "12.00");  // qzaintra
    EXPECT_EQ(Floor("43215", "OH", "15222", "PA"), "13.00");  // qzbinter
    EXPECT_EQ(Floor("43215", "OH", "43215", "OH"), "14.00");  // qzbintra
    EXPECT_EQ(Floor("90001", "CA", "94105", "CA"), "15.00");  // qzdcalif
    EXPECT_EQ(Floor("94105", "CA", "89501", "NV"), "16.00");  // qzdinter
    EXPECT_EQ(Floor("89501", "NV", "89101", "NV"), "17.00");  // qzdintra
    EXPECT_EQ(Floor("55401", "MN", "90001", "CA"), "23.00");  // jointline
    EXPECT_EQ(Floor("90001", "CA", "43215", "OH"), "23.00");
    EXPECT_EQ(Floor("43215", "OH", "55401", "MN"), "23.00");
    EXPECT_EQ(Floor("T2P1A1", "AB", "V6B1A1", "BC"), "21.00");  // qzfintra
    EXPECT_EQ(rating.gOrigRegion, "QZF");
}

TEST_F(LaneFloor, CrossBorderLanesJudgeTheCanadianEnd) {
    EXPECT_EQ(Floor("T2P1A1", "AB", "55401", "MN"), "18.00");  // canadaus
    EXPECT_EQ(Floor("Y1A1A1", "YT", "43215", "OH"), "20.00");  // YTNT_us
    EXPECT_EQ(Floor("X1A1A1", "NT", "90001", "CA"), "20.00");
    EXPECT_EQ(Floor("V6B1A1", "BC", "55401", "MN"), "19.00");  // bcus
    EXPECT_EQ(Floor("V8V1A1", "BC", "55401", "MN"), "18.00");  // Victoria is not metro
    EXPECT_EQ(Floor("43215", "OH", "M5V2T6", "ON"), "18.00");
    EXPECT_EQ(Floor("55401", "MN", "X1A1A1", "NT"), "20.00");
    EXPECT_EQ(Floor("90001", "CA", "V5K1A1", "BC"), "19.00");
}

TEST_F(LaneFloor, FloridaKeysAndTheAllRowsFloor) {
    EXPECT_EQ(Floor("43215", "OH", "33037", "FL"), "22.00");
    // 330 and 38 is no Keys ZIP: the eastern lane's own floor.
    EXPECT_EQ(Floor("43215", "OH", "33038", "FL"), "13.00");
}

TEST_F(LaneFloor, AnAllRowFloorAboveZeroReplacesTheSetting) {
    AddDiscountRow("ALL", 1, 0, "10", "60.00");
    AddDiscountRow("ALL", 4, 0, "10", "0");
    AddDiscountRow("ALL", 4, 1, "10", "64.00");
    AddDiscountRow("ALL", 254, 0, "10", "70.00");
    EXPECT_EQ(Floor("43215", "OH", "33037", "FL"), "60.00");
    EXPECT_EQ(Floor("55401", "MN", "53202", "WI"), "60.00");
    EXPECT_EQ(Floor("55401", "MN", "T2P1A1", "AB"), "18.00");  // its Floor is 0
    EXPECT_EQ(Floor("T2P1A1", "AB", "55401", "MN"), "64.00");
    EXPECT_EQ(Floor("T2P1A1", "AB", "V6B1A1", "BC"), "21.00");  // none between Canadian points
}

TEST_F(LaneFloor, ALocationsOwnFloorIsFinal) {
    rating.gInbound = true;
    AddStateRegion("MN", "532", 2);
    AddDiscountRow("532", 2, 1, "10", "00.00");
    AddDiscountRow("ALL", 1, 0, "10", "60.00");
    EXPECT_EQ(Floor("55401", "MN", "53202", "WI"), "00.00");  // even none: no "ALL" floor
}

TEST_F(Discounts, HighCostDeliveryZips) {
    Exec("INSERT INTO HCDRS235 (zip) VALUES ('59901')");
    EXPECT_TRUE(IsHCDRZip("59901"));
    EXPECT_FALSE(IsHCDRZip("55401"));
    EXPECT_TRUE(IsHCDRZip("12401"));
    EXPECT_TRUE(IsHCDRZip("12701"));
    EXPECT_TRUE(IsHCDRZip("94105"));
    EXPECT_TRUE(IsHCDRZip("V6B1A1"));
    EXPECT_FALSE(IsHCDRZip("T2P1A1"));
}

}  // namespace
