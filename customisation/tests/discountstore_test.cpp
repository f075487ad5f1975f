// The rows a new location and a new region start with, the region of a state, and the
// percentage texts.

#include "discountstore.h"

#include <gtest/gtest.h>

#include <map>

#include "discounts.h"
#include "pricingfixture.h"
#include "tariffdb.h"

namespace {

using DiscountStore = PricingTest;

struct StoredRow {
    int region;
    int ibob;
    std::string floor;
    std::string pct;  // the 5C discount; the test checks the other ten equal it
};

std::vector<StoredRow> DiscountRowsOf(const std::string& location) {
    std::vector<StoredRow> out;
    Snapshot s = tariff.gDB->OpenSnapshot("SELECT * FROM discounts WHERE zip = ?1 ORDER BY rowid",
                                          {location});
    for (; !s.AtEOF(); s.MoveNext()) {
        for (const char* f : kBreakFields) EXPECT_EQ(s.Field(f).str(), s.Field("d5c").str()) << f;
        out.push_back({static_cast<int>(s.Field("region").toInt()),
                       static_cast<int>(s.Field("IBOB").toInt()), s.Field("Floor").str(),
                       s.Field("d5c").str()});
    }
    return out;
}

// The region each state of the list must start in, by its operating region.
void ExpectStateRegions(const std::string& location, const std::map<std::string, int>& byRegion) {
    ASSERT_EQ(tariff.gStateTable.size(), 60u);
    for (const StateRow& row : tariff.gStateTable) {
        Snapshot s = tariff.gDB->OpenSnapshot(
            "SELECT region FROM states WHERE zip = ?1 AND State = ?2", {location, row.code});
        ASSERT_EQ(s.RecordCount(), 1u) << row.code;
        EXPECT_EQ(s.Field("region").toInt(), byRegion.at(row.region)) << row.name;
    }
}

TEST_F(DiscountStore, AChicagoLocationGetsItsRegionsRowsAndDefaults) {
    // 606 lies in the central operating region, as Illinois does.
    AddShipLocStates("606");
    ExpectStateRegions("606", {{"QZA", 1}, {"QZB", 2}, {"QZD", 3}, {"QZF", 4}});
    EXPECT_EQ(MaxRegionOfShipLoc("606"), 4);
    AddShipLocDiscounts("606");
    AddShipLocProfiles("606");
    const std::vector<StoredRow> rows = DiscountRowsOf("606");
    ASSERT_EQ(rows.size(), 8u);
    const std::vector<std::tuple<int, int, std::string, std::string>> expected = {
        {1, 1, "11.11", "41.0"}, {1, 0, "11.11", "41.0"},  // own region: qzainter
        {2, 1, "44.44", "41.0"}, {2, 0, "44.44", "41.0"},  // joint lines
        {3, 1, "44.44", "41.0"}, {3, 0, "44.44", "41.0"},
        {4, 1, "55.55", "62.0"}, {4, 0, "55.55", "53.0"}};  // from Canada in, to Canada out
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].region, std::get<0>(expected[i])) << i;
        EXPECT_EQ(rows[i].ibob, std::get<1>(expected[i])) << i;
        EXPECT_EQ(rows[i].floor, std::get<2>(expected[i])) << i;
        EXPECT_EQ(rows[i].pct, std::get<3>(expected[i])) << i;
    }
    Snapshot fak = tariff.gDB->OpenSnapshot(
        "SELECT region, IBOB, profil FROM faktable WHERE zip = '606' ORDER BY rowid");
    ASSERT_EQ(fak.RecordCount(), 8u);
    for (int i = 0; !fak.AtEOF(); fak.MoveNext(), ++i) {
        EXPECT_EQ(fak.Field("region").toInt(), i / 2 + 1);
        EXPECT_EQ(fak.Field("IBOB").toInt(), i % 2 == 0 ? 1 : 0);
        EXPECT_EQ(fak.Field("profil").str(), "000102030405060708091011121314151617");
    }
}

TEST_F(DiscountStore, AnEasternLocationPutsTheCentralStatesInRegionTwo) {
    AddShipLocStates("100");  // New York City, eastern region
    ExpectStateRegions("100", {{"QZB", 1}, {"QZA", 2}, {"QZD", 3}, {"QZF", 4}});
    AddShipLocDiscounts("100");
    const auto rows = DiscountRowsOf("100");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].floor, "22.22");
    EXPECT_EQ(rows[2].floor, "44.44");
}

TEST_F(DiscountStore, AWesternLocationTakesTheWesternFloor) {
    AddShipLocStates("900");  // Los Angeles
    ExpectStateRegions("900", {{"QZD", 1}, {"QZA", 2}, {"QZB", 3}, {"QZF", 4}});
    AddShipLocDiscounts("900");
    const auto rows = DiscountRowsOf("900");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].floor, "33.33");
    EXPECT_EQ(rows[0].pct, "41.0");
    EXPECT_EQ(rows[4].floor, "44.44");
    EXPECT_EQ(rows[7].pct, "53.0");
}

TEST_F(DiscountStore, APostalLocationHasCanadaFirstAndCrossBorderDiscounts) {
    AddShipLocStates("K1A");
    ExpectStateRegions("K1A", {{"QZF", 1}, {"QZA", 2}, {"QZB", 3}, {"QZD", 4}});
    AddShipLocDiscounts("K1A");
    const auto rows = DiscountRowsOf("K1A");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].floor, "00.00");
    EXPECT_EQ(rows[0].pct, "24.0");
    EXPECT_EQ(rows[1].pct, "24.0");
    for (size_t i = 2; i < 8; ++i) {
        EXPECT_EQ(rows[i].floor, "55.55") << i;
        // Inbound to a Canadian location comes from the United States.
        EXPECT_EQ(rows[i].pct, rows[i].ibob == 1 ? "53.0" : "62.0") << i;
    }
}

TEST_F(DiscountStore, AnAddedRegionTakesTheOwnRegionDefaultsAndIsNotTiered) {
    AddRegionRows("900", 7);  // Los Angeles, western region
    const auto rows = DiscountRowsOf("900");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].ibob, 1);
    EXPECT_EQ(rows[0].floor, "33.33");
    EXPECT_EQ(rows[0].pct, "41.0");
    EXPECT_EQ(rows[1].ibob, 0);
    EXPECT_EQ(RowsOf("faktable", "900"), 2);
    ASSERT_TRUE(FindDiscountRow("900", 7, 0));
    EXPECT_FALSE(IsTieredRow());
    EXPECT_EQ(DiscountBoxText(), "41.0");
}

TEST_F(DiscountStore, ALocationWithoutStatesAddsNothing) {
    EXPECT_EQ(MaxRegionOfShipLoc("606"), 0);
    AddShipLocDiscounts("606");
    AddShipLocProfiles("606");
    EXPECT_EQ(RowsOf("discounts", "606"), 0);
    EXPECT_EQ(RowsOf("faktable", "606"), 0);
}

TEST_F(DiscountStore, EveryRowOfALongerStateListGetsItsStatesRow) {
    tariff.gStateTable.push_back({"Nunavut", "NU", "QZF"});
    AddShipLocStates("606");
    EXPECT_EQ(RowsOf("states", "606"), 61);
    EXPECT_EQ(FieldOf("SELECT region FROM states WHERE zip = '606' AND State = 'NU'", {}), "4");
}

TEST_F(DiscountStore, AStateMovesByNameAndOnlyInItsLocation) {
    AddShipLocStates("606");
    AddShipLocStates("100");
    SetStateRegion("Illinois", 10, "606");
    EXPECT_EQ(RegionOfStateName("Illinois", "606"), 10);
    EXPECT_EQ(RegionOfStateName("Illinois", "100"), 2);
    EXPECT_EQ(StateCodeOfName("Illinois"), "IL");
    const std::string before = PricingTables();
    SetStateRegion("Illinoi", 9, "606");   // not a name of the list
    SetStateRegion("Illinois", 9, "6'6");  // a quote is a value, not part of the statement
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(StateCodeOfName("Illinoi"), "");
    EXPECT_EQ(RegionOfStateName("Ontario", "999"), 0);
}

TEST_F(DiscountStore, TheStateOfALocationIsThatOfItsFirstZip) {
    EXPECT_EQ(StateOfZip("606"), "IL");
    EXPECT_EQ(StateOfZip("900"), "CA");
    EXPECT_EQ(StateOfZip("ALL"), "");
    EXPECT_EQ(StateOfZip("K1A"), "");
    EXPECT_EQ(StateOfZip("000"), "");  // no ZIP of the tariff begins so
}

TEST_F(DiscountStore, DiscountTextsTakeTheirTwoDigitsAndOneDecimal) {
    EXPECT_EQ(FormatPct1("5"), "05.0");
    EXPECT_EQ(FormatPct1("12"), "12.0");
    EXPECT_EQ(FormatPct1("12."), "12.0");
    EXPECT_EQ(FormatPct1("12.5"), "12.5");
    EXPECT_EQ(FormatPct1(" 30 "), "30.0");
    for (const char* bad : {"1.5", "123", "", ".5", "5.", "1.2.", "a1", "12.55"})
        EXPECT_EQ(FormatPct1(bad), "XX.X") << bad;
}

TEST_F(DiscountStore, FloorTextsTakeTwoDecimals) {
    EXPECT_EQ(FormatPct2("5"), "05.00");
    EXPECT_EQ(FormatPct2("12"), "12.00");
    EXPECT_EQ(FormatPct2("12."), "12.00");
    EXPECT_EQ(FormatPct2("12.5"), "12.50");
    EXPECT_EQ(FormatPct2("12.55"), "12.55");
    for (const char* bad : {"1.55", "12345", "", "12.555", "1,5"})
        EXPECT_EQ(FormatPct2(bad), "XX.XX") << bad;
}

TEST_F(DiscountStore, ARowIsTieredWhenAnyTwoBreaksDiffer) {
    ASSERT_TRUE(FindDiscountRow("ALL", 1, 0));
    Exec(
        "UPDATE discounts SET dmc='30.0', dL5C='30.0', d5c='30.0', d1m='30.0', d2m='30.0', "
        "d5m='30.0', d10m='30.0', d15m='30.0', d20m='30.0', d25m='30.0', d30m='30.0' "
        "WHERE zip='ALL' AND region=1");
    ASSERT_TRUE(FindDiscountRow("ALL", 1, 0));
    EXPECT_FALSE(IsTieredRow());
    EXPECT_EQ(DiscountBoxText(), "30.0");
    Exec("UPDATE discounts SET d10m='35.0' WHERE zip='ALL' AND region=1");
    ASSERT_TRUE(FindDiscountRow("ALL", 1, 0));
    EXPECT_TRUE(IsTieredRow());
    EXPECT_EQ(DiscountBoxText(), "tier");
    Exec("UPDATE discounts SET d10m='30.0', d30m='29.9' WHERE zip='ALL' AND region=1");
    ASSERT_TRUE(FindDiscountRow("ALL", 1, 0));
    EXPECT_TRUE(IsTieredRow());  // the last break counts too
}

}  // namespace
