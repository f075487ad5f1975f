#include "geography.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace {

// Records what point verification asks of the main window.
struct FakeView : PointEntryView {
    int hourglass = 0;
    std::vector<std::string> list;
    bool listShown = false;
    bool locked = false;
    std::string zipText[2], caption[2];
    int focusDestZip = 0, focusWeight = 0;
    bool military = false;

    void ShowHourglass() override { ++hourglass; }
    void ClearCityList() override {
        list.clear();
        listShown = false;
    }
    void AddCity(const std::string& e) override { list.push_back(e); }
    std::vector<std::string> CityEntries() const override { return list; }
    void RemoveCity(int i) override { list.erase(list.begin() + i); }
    void ShowCityList() override { listShown = true; }
    void SetZipText(bool d, const std::string& t) override { zipText[d] = t; }
    void SetCityCaption(bool d, const std::string& c) override { caption[d] = c; }
    void FocusDestZip() override { ++focusDestZip; }
    void FocusFirstWeight() override { ++focusWeight; }
    bool MilitaryQuestionPending() const override { return military; }
    void SetLocked(bool l) override { locked = l; }
};


void ForgetCity(const std::string& city) {
    for (const char* t : {"us_cities", "can_cities", "can_rural"})
        Exec(std::string("DELETE FROM ") + t + " WHERE city = ? COLLATE NOCASE", {city});
}

void UsCity(const std::string& zip, const std::string& city, const std::string& st) {
    Put("us_cities", {"zip", "City", "State"}, {zip, city, st});
}
void CanCity(const char* table, const std::string& zip, const std::string& city,
             const std::string& prov) {
    Put(table, {"zip", "City", "Province"}, {zip, city, prov});
}
void ZipKey(const std::string& key, int subscript) {
    Put("ziplist", {"key", "subscript"}, {key, subscript});
}
void Can3(const std::string& area, const std::string& zone) {
    Put("can3", {"postcode", "basezone"}, {area, zone});
}

template <class F>
std::string ErrorText(F&& f) {
    try {
        f();
    } catch (const TariffDataError& e) {
        return e.what();
    }
    return "(no error)";
}

class Geography : public ::testing::Test {
  protected:
    void SetUp() override {
        InitClassTables();
        OpenTariffDatabase();
        tariff.gOrigCountry = tariff.gDestCountry = 99;
        SetPointEntryView(&view);
    }
    void TearDown() override {
        SetPointEntryView(nullptr);
        tariff.gOrigZip = tariff.gOrigZip3 = tariff.gOrigState = tariff.gOrigCityState = "";
        tariff.gDestZip = tariff.gDestZip3 = tariff.gDestState = tariff.gDestCityState = "";
        tariff.gPickForDest = 0;
        tariff.gOffshoreState.clear();
    }
    ScratchAppFolder app;
    FakeView view;
};

TEST(PointText, NumbersAndCityCaptions) {
    EXPECT_TRUE(ReadsAsNumber("55401"));
    EXPECT_FALSE(ReadsAsNumber("K1A 0B1"));
    EXPECT_FALSE(ReadsAsNumber(""));
    EXPECT_EQ(CityOfCityState("St. John's, NL"), "St. John's");
    EXPECT_EQ(CityOfCityState("Winston-Salem, NC, extra"), "Winston-Salem");
    EXPECT_EQ(CityOfCityState("Nowhere"), "Nowhere");
    EXPECT_EQ(OtherIfDifferent("a", "b"), "b");
}

TEST_F(Geography, UsZipFillsTheChosenEndOnly) {
    UsCity("55998", "  Quillfeather  ", "MN");
    ZipKey("559", 412);
    tariff.gDestZip = "55998";
    ASSERT_TRUE(LookupCityState("55998", 1));
    EXPECT_EQ(tariff.gDestCityState, "Quillfeather, MN");
    EXPECT_EQ(tariff.gDestState, "MN");
    EXPECT_EQ(tariff.gDestZip3, "559");
    EXPECT_EQ(tariff.gDestSubscript, 412);
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_EQ(tariff.gOrigCityState, "");
    EXPECT_EQ(view.hourglass, 0);

    ASSERT_TRUE(LookupCityState("55998", 0));
    EXPECT_EQ(tariff.gOrigCityState, "Quillfeather, MN");
    EXPECT_EQ(tariff.gOrigSubscript, 412);
}

TEST_F(Geography, UnknownCodeLeavesTheEndNotVerifiedButKeepsItsOtherFields) {
    UsCity("55998", "Quillfeather", "MN");
    ZipKey("559", 412);
    ASSERT_TRUE(LookupCityState("55998", 0));
    view.caption[0] = "Quillfeather, MN";
    Exec("DELETE FROM us_cities WHERE zip = ?", {"55997"});

    EXPECT_FALSE(LookupCityState("55997", 0));
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_EQ(tariff.gOrigCityState, "");
    EXPECT_EQ(view.caption[0], "");
    EXPECT_EQ(tariff.gOrigState, "MN");
    EXPECT_EQ(tariff.gOrigSubscript, 412);

    Exec("DELETE FROM can_rural WHERE zip = ?", {"Q9Q 9Q9"});
    Exec("DELETE FROM can_cities WHERE zip = ?", {"Q9Q "});
    EXPECT_FALSE(LookupCityState("Q9Q 9Q9", 1));
    EXPECT_EQ(tariff.gDestCountry, 99);
}

TEST_F(Geography, CanadianCodeFromRuralTableFirstThenCityTableByFourCharacters) {
    Can3("X9Z", "Z71");
    ZipKey("Z71", 1001);
    CanCity("can_rural", "X9Z 1A1", "Larchgrove", "SK");
    CanCity("can_cities", "X9Z ", "Big Larch", "SK");

    // The rural row wins and the city table is never needed: no hourglass.
    ASSERT_TRUE(LookupCityState("X9Z 1A1", 0));
    EXPECT_EQ(tariff.gOrigCityState, "Larchgrove, SK");
    EXPECT_EQ(tariff.gOrigState, "SK");
    EXPECT_EQ(tariff.gOrigZip3, "Z71");
    EXPECT_EQ(tariff.gOrigSubscript, 1001);
    EXPECT_EQ(tariff.gOrigCountry, 1);
    EXPECT_EQ(view.hourglass, 0);

    // A code the rural table lacks is found by its first four characters.
    Exec("DELETE FROM can_rural WHERE zip = ?", {"X9Z 2B2"});
    ASSERT_TRUE(LookupCityState("X9Z 2B2", 1));
    EXPECT_EQ(tariff.gDestCityState, "Big Larch, SK");
    EXPECT_EQ(tariff.gDestZip3, "Z71");
    EXPECT_EQ(tariff.gDestCountry, 1);
    EXPECT_EQ(view.hourglass, 1);
}

TEST_F(Geography, DataGapsAreNamedAndNeverLeaveAHalfVerifiedEnd) {
    UsCity("55998", "Quillfeather", "MN");
    ZipKey("559", 412);
    ASSERT_TRUE(LookupCityState("55998", 0));

    // A postal area can3 does not know.
    Exec("DELETE FROM can3 WHERE postcode = ?", {"X8Y"});
    CanCity("can_rural", "X8Y 1A1", "Gapton", "MB");
    std::string m = ErrorText([] { LookupCityState("X8Y 1A1", 0); });
    EXPECT_NE(m.find("X8Y"), std::string::npos) << m;
    EXPECT_NE(m.find("can3"), std::string::npos) << m;
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_EQ(tariff.gOrigCityState, "");
    EXPECT_EQ(tariff.gOrigState, "MN");  // nothing of the failed point was stored

    // A ZIP-list key that is missing, and one whose subscript lies outside the lane files.
    UsCity("55998", "Quillfeather", "MN");
    Exec("DELETE FROM ziplist WHERE \"key\" = ?", {"559"});
    m = ErrorText([] { LookupCityState("55998", 1); });
    EXPECT_NE(m.find("\"559\""), std::string::npos) << m;
    EXPECT_NE(m.find("ziplist"), std::string::npos) << m;
    EXPECT_EQ(tariff.gDestCountry, 99);
    ZipKey("559", 1054);
    EXPECT_THROW(LookupCityState("55998", 1), TariffDataError);
    EXPECT_THROW(ZipSubscript("559"), TariffDataError);
    EXPECT_EQ(tariff.gDestCountry, 99);
}

TEST_F(Geography, SearchListsEachCityOnceAcrossTablesAndLocksForAChoice) {
    ForgetCity("Quill");
    UsCity("55991", "Quill", "MN");
    UsCity("54991", "Quill", "WI");
    CanCity("can_cities", "Y9Y ", "Quill", "ON");
    CanCity("can_cities", "Y9W ", "Quill", "QC");
    CanCity("can_rural", "Y9Y 1A1", "Quill", "ON");  // same place, not next to its twin
    tariff.gOrigCityState = "Somewhere, MN";

    ASSERT_TRUE(SearchCities("quill", 1));
    EXPECT_EQ(view.list,
              (std::vector<std::string>{"Quill, MN", "Quill, WI", "Quill, ON", "Quill, QC"}));
    EXPECT_TRUE(view.listShown);
    EXPECT_TRUE(view.locked);
    EXPECT_EQ(tariff.gPickForDest, 1);
    EXPECT_EQ(tariff.gDestCountry, 99);  // nothing chosen yet
    EXPECT_EQ(tariff.gOrigCityState, "Somewhere, MN");
}

TEST_F(Geography, SingleHitCompletesTheEndAtOnceEvenWithAnApostrophe) {
    ForgetCity("Coeur d'Quill");
    UsCity("83998", "Coeur d'Quill", "ID");
    ZipKey("839", 640);

    ASSERT_TRUE(SearchCities("Coeur d'Quill", 0));
    EXPECT_FALSE(view.listShown);
    EXPECT_FALSE(view.locked);
    EXPECT_EQ(view.zipText[0], "Coeur d'Quill, ID");
    EXPECT_EQ(view.caption[0], "Coeur d'Quill, ID");
    EXPECT_EQ(tariff.gOrigZip, "83998");
    EXPECT_EQ(tariff.gOrigZip3, "839");
    EXPECT_EQ(tariff.gOrigSubscript, 640);
    EXPECT_EQ(tariff.gOrigCountry, 0);
    EXPECT_EQ(tariff.gPickForDest, 0);
    EXPECT_EQ(view.focusDestZip, 1);
}

TEST_F(Geography, SearchWithoutHitsUnlocksAndTextNeverBecomesSql) {
    tariff.gDestCityState = "Kept, MN";
    tariff.gDestCountry = 0;
    view.list = {"stale, XX"};
    EXPECT_FALSE(SearchCities("Nocity' OR '1'='1", 1));
    EXPECT_FALSE(view.locked);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(tariff.gDestCityState, "Kept, MN");
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_FALSE(SearchCities("", 1));
}

TEST_F(Geography, SearchThatHitsADataGapUnlocksClearsAndReports) {
    ForgetCity("Gapville");
    UsCity("55996", "Gapville", "MN");
    Exec("DELETE FROM ziplist WHERE \"key\" = ?", {"559"});
    view.caption[1] = "Old, MN";
    EXPECT_THROW(SearchCities("Gapville", 1), TariffDataError);
    EXPECT_FALSE(view.locked);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(view.caption[1], "");
    EXPECT_EQ(tariff.gDestCountry, 99);
}

TEST_F(Geography, SearchThatFailsInTheDatabaseUnlocksAndClears) {
    tariff.gDB->Close();  // every query now fails
    view.list = {"stale, XX"};
    EXPECT_THROW(SearchCities("Quill", 1), DbError);
    EXPECT_FALSE(view.locked);
    EXPECT_TRUE(view.list.empty());
}

TEST_F(Geography, PickCityTakesTheRowOfTheChosenStateOnly) {
    ForgetCity("Quill");
    ForgetCity("Quillan");
    UsCity("55991", "Quill", "MN");
    UsCity("54991", "Quill", "WI");
    UsCity("75991", "Quillan", "TX");  // next city in name order, in another state
    ZipKey("549", 300);
    ZipKey("759", 700);

    tariff.gPickForDest = 1;
    PickCity("Quill, WI");
    EXPECT_EQ(tariff.gDestZip, "54991");
    EXPECT_EQ(tariff.gDestZip3, "549");
    EXPECT_EQ(tariff.gDestState, "WI");
    EXPECT_EQ(tariff.gDestSubscript, 300);
    EXPECT_EQ(tariff.gDestCityState, "Quill, WI");
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(view.zipText[1], "Quill, WI");
    EXPECT_EQ(view.caption[1], "Quill, WI");
    EXPECT_EQ(view.focusWeight, 1);
    // Seeks by ZIP elsewhere still work on the shared recordset.
    EXPECT_EQ(tariff.rsUSCities->Index(), "byzip");

    // Quill is not in Texas: no walking on into Quillan.
    PickCity("Quill, TX");
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_EQ(tariff.gDestCityState, "");
    EXPECT_EQ(view.caption[1], "");
    EXPECT_EQ(tariff.gDestZip, "54991");

    // The military-base question keeps the focus where it is.
    view.military = true;
    PickCity("Quill, MN");
    EXPECT_EQ(tariff.gDestZip, "55991");
    EXPECT_EQ(view.focusWeight, 1);
}

TEST_F(Geography, PickCityFindsACanadianNameInTheRuralTableForItsProvince) {
    ForgetCity("Birchmere");
    CanCity("can_cities", "Y8Y ", "Birchmere", "ON");
    CanCity("can_rural", "Y8X 2C2", "Birchmere", "SK");
    Can3("Y8X", "Z72");
    Can3("Y8Y", "Z73");
    ZipKey("Z72", 1002);
    ZipKey("Z73", 1003);

    tariff.gPickForDest = 0;
    PickCity("Birchmere, SK");
    EXPECT_EQ(tariff.gOrigZip, "Y8X 2C2");
    EXPECT_EQ(tariff.gOrigZip3, "Z72");
    EXPECT_EQ(tariff.gOrigSubscript, 1002);
    EXPECT_EQ(tariff.gOrigState, "SK");
    EXPECT_EQ(tariff.gOrigCountry, 1);
    EXPECT_EQ(view.focusDestZip, 1);

    PickCity("Birchmere, ON");
    EXPECT_EQ(tariff.gOrigZip3, "Z73");

    PickCity("Birchmere, BC");
    EXPECT_EQ(tariff.gOrigCountry, 99);
}

TEST_F(Geography, PickCityDataGapReleasesTheList) {
    ForgetCity("Gapville");
    UsCity("55996", "Gapville", "MN");
    Exec("DELETE FROM ziplist WHERE \"key\" = ?", {"559"});
    view.list = {"Gapville, MN", "Gapville, WI"};
    view.locked = true;
    tariff.gPickForDest = 0;
    EXPECT_THROW(PickCity("Gapville, MN"), TariffDataError);
    EXPECT_FALSE(view.locked);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(tariff.gOrigCountry, 99);
}

TEST_F(Geography, WithoutAWindowVerificationStillWorks) {
    SetPointEntryView(nullptr);
    ForgetCity("Quill");
    UsCity("55991", "Quill", "MN");
    ZipKey("559", 412);
    ASSERT_TRUE(SearchCities("Quill", 1));
    EXPECT_EQ(tariff.gDestZip, "55991");
    EXPECT_EQ(tariff.gDestCountry, 0);
}

TEST_F(Geography, ShippedTariffVerifiesRealPoints) {
    ASSERT_TRUE(LookupCityState("55401", 0));
    EXPECT_EQ(tariff.gOrigCityState, "MINNEAPOLIS, MN");
    EXPECT_EQ(tariff.gOrigZip3, "554");
    EXPECT_GE(tariff.gOrigSubscript, 1);
    ASSERT_TRUE(LookupCityState("K1A 0B1", 1));
    EXPECT_EQ(tariff.gDestState, "ON");
    EXPECT_EQ(tariff.gDestCountry, 1);
    EXPECT_EQ(tariff.gDestZip3, CanadaBaseZone("K1A"));
    EXPECT_NE(tariff.gOrigSubscript, tariff.gDestSubscript);
}

TEST_F(Geography, OffshoreZips) {
    UsCity("99598", "Quillnak", "AK");
    UsCity("55998", "Quillfeather", "MN");
    Exec("DELETE FROM us_cities WHERE zip = ?", {"99597"});

    EXPECT_TRUE(IsOffshoreZip("99598"));
    EXPECT_EQ(tariff.gOffshoreState, "AK");
    EXPECT_FALSE(IsOffshoreZip("55998"));
    EXPECT_FALSE(IsOffshoreZip("99597"));
    EXPECT_FALSE(IsOffshoreZip(""));
    EXPECT_FALSE(IsOffshoreZip("V6B 1A1"));
    EXPECT_EQ(tariff.gOffshoreState, "AK");
}

TEST_F(Geography, IntraCanadaNeedsBothEndsVerifiedCanadian) {
    auto intra = [](int o, int d) {
        tariff.gOrigCountry = static_cast<uint8_t>(o);
        tariff.gDestCountry = static_cast<uint8_t>(d);
        return IsIntraCanada();
    };
    EXPECT_TRUE(intra(1, 1));
    EXPECT_FALSE(intra(1, 0));
    EXPECT_FALSE(intra(0, 1));
    EXPECT_FALSE(intra(1, 99));
    EXPECT_FALSE(intra(99, 1));
}

TEST_F(Geography, FirstZipOfPrefixIsTheLowestOfThatPrefix) {
    Exec("DELETE FROM us_cities WHERE zip LIKE '558%'");
    UsCity("55877", "Quillfeather", "MN");
    UsCity("55803", "Quillfeather", "MN");
    UsCity("55899", "Quillfeather", "MN");
    EXPECT_EQ(FirstZipOfPrefix("558"), "55803");

    std::string m = ErrorText([] { FirstZipOfPrefix("558'x"); });
    EXPECT_NE(m.find("558'x"), std::string::npos) << m;
    Exec("DELETE FROM us_cities WHERE zip LIKE '558%'");
    m = ErrorText([] { FirstZipOfPrefix("558"); });
    EXPECT_NE(m.find("\"558\""), std::string::npos) << m;
    EXPECT_NE(m.find("us_cities"), std::string::npos) << m;
}

}  // namespace
