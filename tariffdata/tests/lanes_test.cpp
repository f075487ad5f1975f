#include "lanes.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fileerror.h"
#include "geography.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kLaneSide = 1053;
constexpr size_t kSvcSide = 572;


// A square byte matrix, row-major, with the given bytes at 1-based (row, column) cells.
void WriteMatrix(const fs::path& path, size_t side,
                 const std::map<std::pair<size_t, size_t>, uint8_t>& cells) {
    std::string bytes(side * side, '\0');
    for (const auto& [rc, b] : cells)
        bytes[(rc.first - 1) * side + rc.second - 1] = static_cast<char>(b);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
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

class Lanes : public ::testing::Test {
  protected:
    bool guaranteedInMain = false;
    bool guaranteedInQuote = false;
    void SetUp() override {
        InitClassTables();
        OpenTariffDatabase();
        SetGuaranteedChosenQuery([this] { return guaranteedInMain || guaranteedInQuote; });
    }
    void TearDown() override {
        SetGuaranteedChosenQuery(nullptr);
        tariff.gOrigZip.clear();
        tariff.gDestZip.clear();
    }
    // Lane files with three bytes per cell, one from each file; opened afresh.
    void WriteLaneFiles(const std::map<std::pair<size_t, size_t>, std::array<uint8_t, 3>>& cells) {
        const char* names[] = {"data/cxgrd.dat", "data/cxlns.dat", "data/cxmap.dat"};
        for (int f = 0; f < 3; ++f) {
            std::map<std::pair<size_t, size_t>, uint8_t> one;
            for (const auto& [rc, b] : cells) one[rc] = b[f];
            WriteMatrix(app.file(names[f]), kLaneSide, one);
        }
        CloseAll();
        OpenTariffDatabase();
    }
    // Service centres and their svcctrs subscripts, with the ZIPs that Fullzip gives them.
    void ServiceCentres() {
        Put("svcctrs", {"SIC", "subscript"}, {"XAA", 1});
        Put("svcctrs", {"SIC", "subscript"}, {"XBB", 572});
        Put("svcctrs", {"SIC", "subscript"}, {"UCC", 300});
        Exec("DELETE FROM svcctrs WHERE SIC = ?", {"QQQ"});
        Put("Fullzip", {"zip", "SIC"}, {"55998", "XAA"});
        Put("Fullzip", {"zip", "SIC"}, {"55997", "XBB"});
        Put("Fullzip", {"zip", "SIC"}, {"55996", "UCC"});
        Put("Fullzip", {"zip", "SIC"}, {"55995", "BVC"});
        Put("Fullzip", {"zip", "SIC"}, {"55994", "QQQ"});
        Put("Fullzip", {"zip", "SIC"}, {"55993", "BMN"});
        Exec("DELETE FROM Fullzip WHERE zip = ?", {"55992"});
    }
    ScratchAppFolder app;
};

TEST(LaneCells, PositionsRunRowByRow) {
    EXPECT_EQ(GridCellNumber(1, 1), 1);
    EXPECT_EQ(GridCellNumber(1, 1053), 1053);
    EXPECT_EQ(GridCellNumber(2, 1), 1054);
    EXPECT_EQ(GridCellNumber(1053, 1053), 1108809);
}

TEST_F(Lanes, LaneCodeTakesTwoDigitsFromEachFileInOrder) {
    WriteLaneFiles({{{1, 1}, {1, 2, 3}},
                    {{1053, 1053}, {9, 90, 99}},
                    {{1, 2}, {10, 20, 30}},
                    {{2, 1}, {0, 5, 12}}});
    EXPECT_EQ(GetLaneCode(GridCellNumber(1, 1)), "010203");
    EXPECT_EQ(GetLaneCode(GridCellNumber(1053, 1053)), "099099");  // no service
    EXPECT_EQ(GetLaneCode(GridCellNumber(1, 2)), "102030");
    EXPECT_EQ(GetLaneCode(GridCellNumber(2, 1)), "000512");
    EXPECT_EQ(GetLaneCode(GridCellNumber(2, 2)), "000000");
}

TEST_F(Lanes, ThreeDigitLaneByteIsADataErrorNamingFileAndCell) {
    WriteLaneFiles({{{1, 5}, {1, 100, 3}}, {{3, 7}, {255, 0, 0}}, {{4, 4}, {99, 99, 99}}});
    std::string m = ErrorText([] { GetLaneCode(5); });
    EXPECT_NE(m.find("cxlns.dat"), std::string::npos) << m;
    EXPECT_NE(m.find("cell 5"), std::string::npos) << m;
    m = ErrorText([] { GetLaneCode(GridCellNumber(3, 7)); });
    EXPECT_NE(m.find("cxgrd.dat"), std::string::npos) << m;
    EXPECT_NE(m.find("row 3, destination column 7"), std::string::npos) << m;
    EXPECT_EQ(GetLaneCode(GridCellNumber(4, 4)), "999999");

    EXPECT_THROW(GetLaneCode(0), TariffDataError);
    EXPECT_THROW(GetLaneCode(1108810), TariffDataError);
    EXPECT_THROW(GetLaneCode(GridCellNumber(0, 5)), TariffDataError);
}

TEST_F(Lanes, ServiceCentreByZipOrByFiveThenFourCharacters) {
    ServiceCentres();
    Put("Fullzip", {"zip", "SIC"}, {"Q9Q 1", "CQA"});
    Put("Fullzip", {"zip", "SIC"}, {"Q9R ", "CQB"});
    Exec("DELETE FROM Fullzip WHERE zip IN ('Q9R 7', 'Q9S 1', 'Q9S ')");
    EXPECT_EQ(ServiceCenterOfZip("55998"), "XAA");
    EXPECT_EQ(ServiceCenterOfZip("55992"), "BZC");
    EXPECT_EQ(ServiceCenterOfZip("Q9Q 1A1"), "CQA");
    EXPECT_EQ(ServiceCenterOfZip("Q9R 7B7"), "CQB");
    EXPECT_EQ(ServiceCenterOfZip("Q9S 1A1"), "BZC");
}

TEST_F(Lanes, TransitDaysComeFromTheCellOfBothServiceCentres) {
    ServiceCentres();
    WriteMatrix(app.file("data/svc.dat"), kSvcSide,
                {{{1, 572}, 4}, {{572, 1}, 6}, {{572, 572}, 3}, {{300, 1}, 2}, {{1, 1}, 1}});
    EXPECT_EQ(GetServiceDays("55998", "55997"), 4);
    EXPECT_EQ(GetServiceDays("55997", "55998"), 6);
    EXPECT_EQ(GetServiceDays("55997", "55997"), 3);  // the last byte
    EXPECT_EQ(GetServiceDays("55998", "55998"), 1);  // the first
    EXPECT_EQ(GetServiceDays("55996", "55998"), 2);

    // The file is read at each call, so a replaced file counts at once.
    WriteMatrix(app.file("data/svc.dat"), kSvcSide, {{{1, 572}, 5}});
    EXPECT_EQ(GetServiceDays("55998", "55997"), 5);

    // A pair the file must answer shows that a missing file is noticed ...
    fs::remove(app.file("data/svc.dat"));
    try {
        GetServiceDays("55998", "55997");
        ADD_FAILURE() << "read days without svc.dat";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("svc.dat"), std::string::npos) << e.what();
    }
    // ... and these have no days without ever reading it, even were the unknown-centre
    // codes listed as centres.
    Put("svcctrs", {"SIC", "subscript"}, {"BZC", 2});
    Put("svcctrs", {"SIC", "subscript"}, {"BVC", 3});
    EXPECT_EQ(GetServiceDays("55998", "55992"), 0);  // destination not in Fullzip
    EXPECT_EQ(GetServiceDays("55992", "55998"), 0);  // origin not in Fullzip either
    EXPECT_EQ(GetServiceDays("55995", "55998"), 0);
    EXPECT_EQ(GetServiceDays("55998", "55995"), 0);
    EXPECT_EQ(GetServiceDays("55994", "55998"), 0);  // centre svcctrs does not list
    EXPECT_EQ(GetServiceDays("55998", "55994"), 0);
}

// The shipped tariff answers these look-ups from covering indexes; a database without them
// (or one that loses them while open) gives the same answers from its plain indexes.
TEST_F(Lanes, LookUpsAnswerAlikeWithAndWithoutTheCoveringIndexes) {
    ServiceCentres();
    WriteMatrix(app.file("data/svc.dat"), kSvcSide, {{{1, 572}, 4}, {{300, 1}, 2}});
    Put("ziplist", {"key", "subscript"}, {"559", 17});
    const auto answers = [] {
        return std::vector<std::string>{ServiceCenterOfZip("55998"),
                                         ServiceCenterOfZip("55992"),
                                         std::to_string(GetServiceDays("55998", "55997")),
                                         std::to_string(GetServiceDays("55996", "55998")),
                                         std::to_string(GetServiceDays("55994", "55998")),
                                         std::to_string(ZipSubscript("559"))};
    };
    const std::vector<std::string> expected = {"XAA", "BZC", "4", "2", "0", "17"};
    EXPECT_EQ(answers(), expected);
    for (const char* index :
         {"Fullzip.byzipcentre", "svcctrs.bysicsubscript", "ziplist.bykeysubscript"})
        Exec(std::string("DROP INDEX \"") + index + "\"");
    EXPECT_EQ(answers(), expected);
    CloseAll();
    OpenTariffDatabase();
    EXPECT_EQ(answers(), expected);
    EXPECT_THROW(ZipSubscript("55X"), TariffDataError);
}

TEST_F(Lanes, ServiceCentreSubscriptOutsideTheFileIsADataError) {
    ServiceCentres();
    Put("svcctrs", {"SIC", "subscript"}, {"UCC", 573});
    std::string m = ErrorText([] { GetServiceDays("55996", "55998"); });
    EXPECT_NE(m.find("UCC"), std::string::npos) << m;
    EXPECT_NE(m.find("svcctrs"), std::string::npos) << m;
}

TEST_F(Lanes, EconomyServiceOnlyOnTypeTwoPairsAndNeverBesideGuaranteed) {
    ServiceCentres();
    Put("ServInd", {"key", "Type", "Ddays"}, {"XAAXBB", 2, 3});
    Put("ServInd", {"key", "Type", "Ddays"}, {"XBBXAA", 1, 9});
    Exec("DELETE FROM ServInd WHERE \"key\" = ?", {"XAAUCC"});

    uint8_t days = 77;
    EXPECT_TRUE(GetPXSStandard("55998", "55997", days));
    EXPECT_EQ(days, 3);
    days = 77;
    EXPECT_FALSE(GetPXSStandard("55997", "55998", days));
    EXPECT_EQ(days, 77);
    EXPECT_FALSE(GetPXSStandard("55998", "55996", days));
    EXPECT_EQ(days, 77);

    guaranteedInMain = true;
    EXPECT_FALSE(GetPXSStandard("55998", "55997", days));
    EXPECT_EQ(days, 3);
    guaranteedInMain = false;
    guaranteedInQuote = true;
    days = 77;
    EXPECT_FALSE(GetPXSStandard("55998", "55997", days));
    EXPECT_EQ(days, 3);
}

TEST_F(Lanes, OperatingRegionFromTheServiceCentre) {
    ServiceCentres();
    Exec("DELETE FROM us_cities WHERE zip LIKE '559%'");
    for (const char* z : {"55996", "55998"})
        Put("us_cities", {"zip", "City", "State"}, {z, "Quillfeather", "MN"});
    EXPECT_EQ(RegionOfZip("55998"), "QZA");
    EXPECT_EQ(RegionOfZip("55996"), "QZD");
    EXPECT_EQ(RegionOfZip("55993"), "QZB");
    EXPECT_EQ(RegionOfZip("55992"), "QZB");  // BZC
    EXPECT_EQ(RegionOfZip("X9Z 1A1"), "QZF");
    EXPECT_EQ(RegionOfZip("559"), "QZD");  // a prefix stands for its first ZIP
    Exec("DELETE FROM us_cities WHERE zip LIKE '559%'");
    EXPECT_THROW(RegionOfZip("559"), TariffDataError);
}

TEST_F(Lanes, DirectPointsNeedBothEnds) {
    Put("IndPts", {"zip"}, {"55998"});
    Put("IndPts", {"zip"}, {"X9Z 1A"});
    Exec("DELETE FROM IndPts WHERE zip IN ('55997', 'X9Z 1B')");
    EXPECT_TRUE(IsDirectPoint("55998", "X9Z 1A1"));
    EXPECT_TRUE(IsDirectPoint("X9Z 1A9", "55998"));
    EXPECT_FALSE(IsDirectPoint("55998", "55997"));
    EXPECT_FALSE(IsDirectPoint("55997", "55998"));
    EXPECT_FALSE(IsDirectPoint("X9Z 1B1", "55998"));
}

TEST_F(Lanes, ShippingLocationKeyOfACanadianEndIsItsPostalArea) {
    Exec("DELETE FROM shipzips");
    Put("shipzips", {"zip"}, {"559"});
    Put("shipzips", {"zip"}, {"X9Z"});
    tariff.gOrigZip = "Y1Y 1Y1";
    tariff.gDestZip = "X9Z 1A1";

    std::string key = "559";
    EXPECT_TRUE(IsShipLocationZip(key, 0));
    EXPECT_EQ(key, "559");
    key = "Z71";  // a base zone
    EXPECT_TRUE(IsShipLocationZip(key, 1));
    EXPECT_EQ(key, "X9Z");
    key = "Z71";
    EXPECT_FALSE(IsShipLocationZip(key, 0));
    EXPECT_EQ(key, "Y1Y");
    key = "558";
    EXPECT_FALSE(IsShipLocationZip(key, 0));
}

TEST_F(Lanes, ShippingLocationInABaseZone) {
    Exec("DELETE FROM shipzips");
    EXPECT_FALSE(ShipLocInBaseZone("Z71"));
    Put("can3", {"postcode", "basezone"}, {"X9Z", "Z71"});
    Exec("DELETE FROM can3 WHERE postcode = ?", {"Q7Q"});
    for (const char* z : {"559", "ALL", "Q7Q", "X9Z"}) Put("shipzips", {"zip"}, {z});
    EXPECT_TRUE(ShipLocInBaseZone("Z71"));
    EXPECT_FALSE(ShipLocInBaseZone("Z72"));
}

TEST_F(Lanes, AlaskaZone99) {
    Put("AK Zones", {"zip", "zone"}, {"99598", 99});
    Put("AK Zones", {"zip", "zone"}, {"99597", 3});
    Exec("DELETE FROM \"AK Zones\" WHERE zip = ?", {"99596"});
    EXPECT_TRUE(IsAKZone99("99598"));
    EXPECT_FALSE(IsAKZone99("99597"));
    EXPECT_FALSE(IsAKZone99("99596"));
}

TEST(FixedLists, MatchWholeEntriesOnly) {
    InitClassTables();
    EXPECT_TRUE(IsPrefix498or499("498"));
    EXPECT_TRUE(IsPrefix498or499("499"));
    EXPECT_FALSE(IsPrefix498or499("497"));
    EXPECT_TRUE(IsDCZipPrefix("569"));
    EXPECT_FALSE(IsDCZipPrefix("201"));
    EXPECT_FALSE(IsDCZipPrefix(""));
    EXPECT_TRUE(IsEasternProvince("PE"));
    EXPECT_FALSE(IsEasternProvince("NL"));
    EXPECT_TRUE(IsWesternProvince("YT"));
    EXPECT_FALSE(IsWesternProvince("ON"));
    EXPECT_TRUE(IsFloridaKeysZip("33037"));
    EXPECT_TRUE(IsFloridaKeysZip("33001"));
    EXPECT_FALSE(IsFloridaKeysZip("33038"));
    EXPECT_FALSE(IsFloridaKeysZip("33137"));
    EXPECT_TRUE(IsBCMetroPostal("V6B 1A1"));
    EXPECT_TRUE(IsBCMetroPostal("V0M 1A0"));
    EXPECT_FALSE(IsBCMetroPostal("V8V 1A1"));
    EXPECT_FALSE(IsBCMetroPostal("V6"));
    EXPECT_FALSE(IsBCMetroPostal("K6B 1A1"));
}

}  // namespace

namespace {

// A tariff update writes the lane files anew while the program holds them open: a cell past
// the new end is the "too short" error naming the file, never a fault.
TEST_F(Lanes, ALaneFileShortenedUnderTheOpenTariffIsTooShort) {
    const int32_t lastCell = GridCellNumber(1053, 1053);
    EXPECT_EQ(GetLaneCode(lastCell).size(), 6u);  // the files are open and read
    for (const char* name : {"data/cxgrd.dat", "data/cxlns.dat", "data/cxmap.dat"}) {
        const auto full = fs::file_size(app.file(name));
        fs::resize_file(app.file(name), 1000);
        EXPECT_EQ(GetLaneCode(1000).size(), 6u);  // what is left still reads
        try {
            GetLaneCode(lastCell);
            ADD_FAILURE() << "read past the end of the shortened " << name;
        } catch (const FileError& e) {
            const std::string m = e.what();
            EXPECT_EQ(e.number(), FileError::kInputPastEnd);
            EXPECT_NE(m.find(app.file(name).string() + " is too short"), std::string::npos) << m;
        }
        fs::resize_file(app.file(name), full);  // the update done: read again
        EXPECT_EQ(GetLaneCode(lastCell).size(), 6u);
    }
}

TEST_F(Lanes, AShortenedTransitDayFileIsTooShort) {
    ServiceCentres();
    WriteMatrix(app.file("data/svc.dat"), kSvcSide, {{{1, 572}, 4}});
    EXPECT_EQ(GetServiceDays("55998", "55997"), 4);
    fs::resize_file(app.file("data/svc.dat"), 100);
    try {
        GetServiceDays("55998", "55997");
        ADD_FAILURE() << "read past the end of the shortened svc.dat";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("svc.dat is too short"), std::string::npos)
            << e.what();
    }
}

}  // namespace
