// Checks the generated sample tariff against the rules the program's readers rely on: the
// tables, fields and indexes it opens, the byte layouts of the lane, transit-day and grid files,
// and the links between them (every lane code names a grid row, every point has a service
// centre, every point the rating can reach is in the state list).
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kApp = FRETLYN_APP_DIR;
const std::string kSource = std::string(FRETLYN_SOURCE_DIR) + "/tools/sampletariff/source";
constexpr int kKeys = 1053;
constexpr int kCenters = 572;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

using Row = std::vector<std::string>;

class Tariff : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(sqlite3_open_v2((kApp + "/data/x2007.mdb").c_str(), &db_, SQLITE_OPEN_READONLY,
                                  nullptr),
                  SQLITE_OK);
        grd_ = ReadFile(kApp + "/data/cxgrd.dat");
        lns_ = ReadFile(kApp + "/data/cxlns.dat");
        map_ = ReadFile(kApp + "/data/cxmap.dat");
        svc_ = ReadFile(kApp + "/data/svc.dat");
    }
    static void TearDownTestSuite() {
        sqlite3_close(db_);
        db_ = nullptr;
    }

    static std::vector<Row> Query(const std::string& sql,
                                  const std::vector<std::string>& args = {}) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(db_);
        std::vector<Row> rows;
        if (!st) return rows;
        for (size_t i = 0; i < args.size(); ++i)
            sqlite3_bind_text(st, static_cast<int>(i) + 1, args[i].c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                auto* t = sqlite3_column_text(st, c);
                row.push_back(t ? reinterpret_cast<const char*>(t) : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        return rows;
    }
    static std::string One(const std::string& sql, const std::vector<std::string>& args = {}) {
        auto rows = Query(sql, args);
        return rows.empty() || rows[0].empty() ? "" : rows[0][0];
    }

    // The lane code of a pair of ZIP-list subscripts, as the program builds it.
    static std::string LaneCode(int o, int d) {
        size_t cell = static_cast<size_t>(o - 1) * kKeys + static_cast<size_t>(d - 1);
        char code[16];
        std::snprintf(code, sizeof code, "%02u%02u%02u", static_cast<unsigned char>(grd_[cell]),
                      static_cast<unsigned char>(lns_[cell]),
                      static_cast<unsigned char>(map_[cell]));
        return code;
    }
    // The same as a number: 99099 for no service, else file * 1000 + row.
    static int LaneNumber(int o, int d) {
        size_t cell = static_cast<size_t>(o - 1) * kKeys + static_cast<size_t>(d - 1);
        return static_cast<unsigned char>(grd_[cell]) * 10000 +
               static_cast<unsigned char>(lns_[cell]) * 100 +
               static_cast<unsigned char>(map_[cell]);
    }
    static constexpr int kNoService = 99099;
    static int Days(int o, int d) {
        return static_cast<unsigned char>(
            svc_[static_cast<size_t>(o - 1) * kCenters + static_cast<size_t>(d - 1)]);
    }
    static std::map<std::string, int> Subscripts() {
        std::map<std::string, int> out;
        for (auto& r : Query("SELECT key, subscript FROM ziplist")) out[r[0]] = std::stoi(r[1]);
        return out;
    }

    static sqlite3* db_;
    static std::string grd_, lns_, map_, svc_;
};
sqlite3* Tariff::db_ = nullptr;
std::string Tariff::grd_, Tariff::lns_, Tariff::map_, Tariff::svc_;

// ------------------------------------------------------------------ schema

struct TableUse {
    std::string table;
    std::vector<std::string> fields;
    std::map<std::string, std::vector<std::string>> indexes;  // index -> leading columns
};

const std::vector<TableUse> kTables = {
    {"accessorials",
     {"Name", "apply", "temp on", "Minimum", "maximum", "per cwt"},
     {{"byname", {"Name"}}}},
    {"shipzips", {"zip"}, {{"byzip", {"zip"}}}},
    {"states", {"State", "zip", "region"}, {{"bystateandzip", {"State", "zip"}}}},
    {"discounts",
     {"zip", "region", "IBOB", "Floor", "dmc", "dL5C", "d5c", "d1m", "d2m", "d5m", "d10m", "d15m",
      "d20m", "d25m", "d30m"},
     {{"byzipandregion", {"zip", "region"}}}},
    {"Thriftlane", {"PXSpct"}, {{"PXSpct", {"PXSpct"}}}},
    {"tariff", {"Title", "Item"}, {{"bytitle", {"Title"}}}},
    {"basezone00", {"City", "State", "zip"}, {{"bycityname", {"City"}}, {"bypostcode", {"zip"}}}},
    {"can3", {"postcode", "basezone"}, {{"can3post", {"postcode"}}}},
    {"faktable", {"zip", "region", "IBOB", "profil"}, {{"fakzip", {"zip"}}}},
    {"Fullzip", {"zip", "SIC"}, {{"byzip", {"zip"}}, {"byzipcentre", {"zip", "SIC"}}}},
    {"ServInd", {"key", "Type", "Ddays"}, {{"sicpair", {"key"}}}},
    {"us_cities", {"zip", "City", "State"}, {{"byzip", {"zip"}}, {"bycity", {"City"}}}},
    {"can_cities", {"zip", "City", "Province"}, {{"byzip", {"zip"}}, {"bycity", {"City"}}}},
    {"can_rural", {"zip", "City", "Province"}, {{"byzip", {"zip"}}, {"bycity", {"City"}}}},
    {"ziplist", {"key", "subscript"}, {{"byzip", {"key"}}, {"bykeysubscript", {"key", "subscript"}}}},
    {"svcctrs",
     {"SIC", "subscript", "Name", "Address", "citystatezip", "Phone", "FAX", "tollfree"},
     {{"bysic", {"SIC"}}, {"bysicsubscript", {"SIC", "subscript"}}}},
    {"ziparbs", {"zip", "bump"}, {{"byzip", {"zip"}}, {"byzipbump", {"zip", "bump"}}}},
    {"PR Delvy zones", {"zip", "zone"}, {{"byzip", {"zip"}}}},
    {"PR charges", {"zone", "CFT", "Min", "Max"}, {{"byzone", {"zone"}}}},
    {"AK Zones", {"zip", "zone"}, {{"byzip", {"zip"}}}},
    {"AK Zones2", {"city", "zone"}, {{"city", {"city"}}}},
    {"AK Rates", {}, {{"byzone", {}}}},
    {"AK Air Rates", {"zone", "minchg", "CL50-925", "CL100", "Cl110-150"}, {{"byzone", {"zone"}}}},
    {"HI Zones", {"zip", "zone"}, {{"byzip", {"zip"}}}},
    {"HI Rates", {"zone", "minchg"}, {{"byzone", {"zone"}}}},
    {"BL parties",
     {"Party ID", "Name", "Address", "City", "zip", "State", "role"},
     {{"bypartyid", {"Party ID"}}}},
    {"Commodity",
     {"commodity ID", "Description", "Weight", "nmfc", "Class", "HAZMAT"},
     {{"byid", {"commodity ID"}}}},
    {"Bills",
     {"BL ID", "BL number", "Date", "PRO Number", "PONbr", "Shipper ID", "Consignee ID",
      "Bill To ID"},
     {{"byblid", {"BL ID"}}}},
    {"BL Notes", {"BL ID", "Instructions"}, {{"byblid", {"BL ID"}}}},
    {"BLdetail", {"BL ID", "commodity ID", "Quantity", "Weight"}, {{"BL number", {"BL ID"}}}},
    {"HCDRS235", {}, {{"byzip", {}}}},
    {"tblConfig", {"keyf", "valuef"}, {{"bykeyf", {"keyf"}}}},
    {"AtlantaDiscZips", {}, {{"Zip Code", {}}}},
    {"IndPts", {}, {{"zip", {}}}},
    {"MKTLN", {"Olo", "Ohi", "Dlo", "Dhi", "push"}, {}},
    {"canada rate sheet",
     {"origin city", "dest city", "orig", "DEST", "minchg", "L5C", "r5c", "r1m", "r2m", "r5m",
      "r10m", "r15m", "r20m", "r25m"},
     {}},
    {"ponyout",
     {"ORIGIN", "DEST", "Class", "minchg", "L5C", "r5c", "r1m", "r2m", "r5m", "r10m", "r15m",
      "r20m", "r25m", "r30m"},
     {}},
};

TEST_F(Tariff, EveryTableHasTheFieldsAndIndexesItsReadersUse) {
    for (const auto& use : kTables) {
        SCOPED_TRACE(use.table);
        std::vector<std::string> columns;
        for (auto& r : Query("SELECT name FROM pragma_table_info(?)", {use.table}))
            columns.push_back(r[0]);
        ASSERT_FALSE(columns.empty()) << "missing table";
        for (const auto& f : use.fields)
            EXPECT_NE(std::find(columns.begin(), columns.end(), f), columns.end()) << f;
        for (const auto& [index, leading] : use.indexes) {
            const std::string full = use.table + "." + index;
            EXPECT_EQ(
                One("SELECT tbl_name FROM sqlite_master WHERE type='index' AND name=?", {full}),
                use.table)
                << full;
            auto cols = Query("SELECT name FROM pragma_index_info(?) ORDER BY seqno", {full});
            ASSERT_GE(cols.size(), leading.size()) << full;
            for (size_t i = 0; i < leading.size(); ++i) EXPECT_EQ(cols[i][0], leading[i]) << full;
        }
    }
}

// Some readers address fields by their position in the row.
TEST_F(Tariff, FieldsReadByPositionStandWhereTheyAreRead) {
    auto at = [&](const std::string& table, int position) {
        return One("SELECT name FROM pragma_table_info(?) WHERE cid = CAST(? AS INTEGER)",
                   {table, std::to_string(position)});
    };
    const char* breaks[] = {"dmc",  "dL5C", "d5c",  "d1m",  "d2m", "d5m",
                            "d10m", "d15m", "d20m", "d25m", "d30m"};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(at("discounts", 4 + i), breaks[i]);
    EXPECT_EQ(at("AK Rates", 3), "minchg");
    EXPECT_EQ(One("SELECT count(*) FROM pragma_table_info('AK Rates') WHERE cid BETWEEN 3 AND 8 "
                  "AND type='INTEGER'"),
              "6");
    for (int p = 2; p <= 6; ++p)
        EXPECT_EQ(
            One("SELECT type FROM pragma_table_info('HI Rates') WHERE cid = CAST(? AS INTEGER)",
                {std::to_string(p)}),
            "REAL");
    for (int p = 3; p <= 5; ++p) {
        std::string name = at("PR charges", p);
        EXPECT_TRUE(name != "zone" && name != "CFT" && name != "Min" && name != "Max") << p;
    }
}

TEST_F(Tariff, TextKeysCompareWithoutRegardToCase) {
    EXPECT_EQ(One("SELECT zip FROM us_cities WHERE City = 'holtsville' ORDER BY zip LIMIT 1"),
              "00501");
    EXPECT_EQ(One("SELECT count(*) FROM can3 WHERE postcode = 'm5v'"), "1");
    EXPECT_EQ(One("SELECT count(*) FROM tblConfig WHERE keyf = 'fsc_FSC'"), "1");
}

TEST_F(Tariff, UniqueKeysAreUnique) {
    for (auto [table, column] :
         std::vector<std::pair<std::string, std::string>>{{"ziplist", "key"},
                                                          {"svcctrs", "SIC"},
                                                          {"Fullzip", "zip"},
                                                          {"can3", "postcode"},
                                                          {"tblConfig", "keyf"},
                                                          {"ServInd", "key"},
                                                          {"IndPts", "zip"},
                                                          {"AK Zones2", "city"}}) {
        EXPECT_EQ(
            One("SELECT count(*) - count(DISTINCT \"" + column + "\") FROM \"" + table + "\""), "0")
            << table;
    }
}

// ------------------------------------------------------------------ lane and transit files

TEST_F(Tariff, LaneFilesHoldOneByteBelow100PerPairOfKeys) {
    for (const std::string* f : {&grd_, &lns_, &map_}) {
        ASSERT_EQ(f->size(), 1108809u);
        EXPECT_TRUE(std::all_of(f->begin(), f->end(),
                                [](char c) { return static_cast<unsigned char>(c) < 100; }));
    }
    ASSERT_EQ(svc_.size(), static_cast<size_t>(kCenters) * kCenters);
}

// The program checks each listed file against the list before it reads it: a lane, transit-day
// or grid file left out of the list would be read unchecked.
TEST_F(Tariff, TheListOfFilesNamesEveryLaneTransitDayAndGridFileWithItsSize) {
    std::set<std::string> expected = {"data/cxgrd.dat", "data/cxlns.dat", "data/cxmap.dat",
                                      "data/svc.dat"};
    for (const auto& entry : std::filesystem::directory_iterator(kApp + "/grids"))
        expected.insert("grids/" + entry.path().filename().string());
    std::set<std::string> listed;
    for (const std::string& line : Lines(ReadFile(kApp + "/data/checksums.txt"))) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string size, digest, file;
        ASSERT_TRUE(fields >> size >> digest >> file) << line;
        EXPECT_TRUE(std::regex_match(digest, std::regex("[0-9a-f]{64}"))) << line;
        EXPECT_EQ(size, std::to_string(std::filesystem::file_size(kApp + "/" + file))) << line;
        EXPECT_TRUE(listed.insert(file).second) << line;
    }
    EXPECT_EQ(listed, expected);
}

// The database records the list it ships with, so that a list lost later is missed.
TEST_F(Tariff, TheDatabaseRecordsTheListOfFilesByItsDigest) {
    const std::string list = ReadFile(kApp + "/data/checksums.txt");
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(list.data(), static_cast<qsizetype>(list.size())),
        QCryptographicHash::Sha256);
    EXPECT_EQ(One("SELECT valuef FROM tblConfig WHERE keyf = 'TARIFF_filelist'"),
              digest.toHex().toStdString());
}

TEST_F(Tariff, ZipListAndServiceCentreSubscriptsFitTheFiles) {
    auto keys = Query("SELECT key, subscript FROM ziplist");
    ASSERT_GT(keys.size(), 900u);
    std::set<int> seen;
    for (auto& r : keys) {
        int s = std::stoi(r[1]);
        EXPECT_TRUE(s >= 1 && s <= kKeys) << r[0];
        EXPECT_TRUE(seen.insert(s).second) << r[0];
        EXPECT_EQ(r[0].size(), 3u) << r[0];
    }
    seen.clear();
    for (auto& r : Query("SELECT SIC, subscript FROM svcctrs")) {
        int s = std::stoi(r[1]);
        EXPECT_TRUE(s >= 1 && s <= kCenters) << r[0];
        EXPECT_TRUE(seen.insert(s).second) << r[0];
        EXPECT_EQ(r[0].size(), 3u);
        EXPECT_TRUE(r[0] != "BZC" && r[0] != "BVC");
    }
}

// Every lane code names a row of an existing grid file; the row's minimum charge is near $100
// and its class-100 rates fall with each weight break.
TEST_F(Tariff, EveryLaneCodeNamesAPlausibleGridRow) {
    std::map<int, std::string> grids;
    auto checkRow = [&](int file, int row) {
        if (!grids.count(file)) {
            char name[64];
            std::snprintf(name, sizeof name, "/grids/grid%03d.dat", file);
            grids[file] = ReadFile(kApp + name);
        }
        const std::string& g = grids[file];
        ASSERT_GE(row, 1);
        ASSERT_LE(static_cast<size_t>(row) * 44, g.size()) << "grid " << file << " row " << row;
        int32_t v[11];
        for (size_t i = 0; i < 11; ++i) {
            uint32_t u = 0;
            for (size_t b = 0; b < 4; ++b)
                u |= static_cast<uint32_t>(static_cast<unsigned char>(
                         g[static_cast<size_t>(row - 1) * 44 + i * 4 + b]))
                     << (8 * b);
            v[i] = static_cast<int32_t>(u);
        }
        EXPECT_TRUE(v[0] >= 7500 && v[0] <= 20000) << file << "/" << row << " min " << v[0];
        EXPECT_TRUE(v[1] >= 2000 && v[1] <= 60000) << file << "/" << row;
        for (int b = 2; b <= 10; ++b)
            EXPECT_LT(v[b], v[b - 1]) << file << "/" << row << " break " << b;
        EXPECT_GT(v[10], 0);
    };
    size_t served = 0;
    std::vector<bool> seen(1000000, false);
    for (int o = 1; o <= kKeys; ++o) {
        for (int d = 1; d <= kKeys; ++d) {
            int code = LaneNumber(o, d);
            if (code == kNoService) continue;
            ++served;
            if (seen[code]) continue;
            seen[code] = true;
            int file = code / 1000, row = code % 1000;
            // A file number of 0 would leave the lane code with fewer than four digits.
            ASSERT_GE(file, 1) << code;
            ASSERT_NE(file, 99) << code << " is a served lane in the no-service file";
            checkRow(file, row);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(served, 900000u);
    // The batch test rates the no-service code like any other lane.
    checkRow(99, 99);
}

TEST_F(Tariff, LanesAreServedFromEveryOriginToTheOffshoreGateways) {
    auto sub = Subscripts();
    const char* gateways[] = {"070", "322", "984", "907", "946", "972", "981"};
    for (auto& [key, o] : sub) {
        if (LaneCode(o, o) == "099099") continue;  // an origin the carrier does not serve
        for (const char* g : gateways)
            EXPECT_NE(LaneCode(o, sub.at(g)), "099099") << key << " to " << g;
    }
}

TEST_F(Tariff, NearerWestCoastPortsHaveLowerGridRows) {
    auto sub = Subscripts();
    auto row = [&](const std::string& o, const std::string& d) {
        return std::stoi(LaneCode(sub.at(o), sub.at(d)).substr(3));
    };
    EXPECT_LT(row("850", "907"), row("850", "981"));  // Phoenix ships via Los Angeles
    EXPECT_LT(row("980", "981"), row("980", "907"));  // Seattle via its own port
    EXPECT_LT(row("606", "606"), row("606", "900"));
}

TEST_F(Tariff, ServedLanesHaveTransitDaysOfOneToSix) {
    EXPECT_TRUE(std::all_of(svc_.begin(), svc_.end(),
                            [](char c) { return static_cast<unsigned char>(c) <= 6; }));
    // Each service centre with the ZIP-list keys of the points it serves.
    auto sub = Subscripts();
    std::map<int, std::set<int>> keysOfCenter;
    for (auto& r : Query("SELECT s.subscript, substr(f.zip, 1, 3) FROM Fullzip f "
                         "JOIN svcctrs s ON s.SIC = f.SIC WHERE f.zip GLOB '[0-9]*'"))
        keysOfCenter[std::stoi(r[0])].insert(sub.at(r[1]));
    for (auto& r :
         Query("SELECT s.subscript, c.basezone FROM Fullzip f JOIN svcctrs s ON s.SIC = f.SIC "
               "JOIN can3 c ON c.postcode = substr(f.zip, 1, 3) WHERE NOT f.zip GLOB '[0-9]*'"))
        keysOfCenter[std::stoi(r[0])].insert(sub.at(r[1]));
    ASSERT_GT(keysOfCenter.size(), 500u);
    for (const auto& [o, origKeys] : keysOfCenter) {
        for (const auto& [d, destKeys] : keysOfCenter) {
            bool served = false;
            for (int ko : origKeys)
                for (int kd : destKeys) served = served || LaneNumber(ko, kd) != kNoService;
            if (served) {
                int days = Days(o, d);
                ASSERT_TRUE(days >= 1 && days <= 6) << "centres " << o << " to " << d;
            }
        }
    }
}

// ------------------------------------------------------------------ geography

TEST_F(Tariff, EveryRealZipCodeIsACityWithAServiceCentre) {
    auto csv = Lines(ReadFile(kSource + "/us_zips.csv"));
    ASSERT_GT(csv.size(), 40000u);
    std::set<std::string> zips;
    for (size_t i = 1; i < csv.size(); ++i) zips.insert(csv[i].substr(0, 5));
    EXPECT_EQ(One("SELECT count(DISTINCT zip) FROM us_cities"), std::to_string(zips.size()));
    EXPECT_EQ(One("SELECT count(*) FROM us_cities u LEFT JOIN Fullzip f ON f.zip = u.zip "
                  "WHERE f.zip IS NULL"),
              "0");
    EXPECT_EQ(
        One("SELECT count(*) FROM us_cities u LEFT JOIN ziplist z ON z.key = substr(u.zip, 1, 3) "
            "WHERE z.key IS NULL"),
        "0");
    EXPECT_EQ(One("SELECT count(*) FROM Fullzip f LEFT JOIN svcctrs s ON s.SIC = f.SIC "
                  "WHERE s.SIC IS NULL"),
              "0");
    EXPECT_EQ(One("SELECT zip FROM us_cities WHERE zip = '32254'"), "32254");
}

TEST_F(Tariff, EveryPostalAreaHasABaseZoneAndCities) {
    auto csv = Lines(ReadFile(kSource + "/ca_fsas.csv"));
    EXPECT_EQ(One("SELECT count(*) FROM can3"), std::to_string(csv.size() - 1));
    EXPECT_EQ(One("SELECT count(*) FROM can3 c LEFT JOIN ziplist z ON z.key = c.basezone "
                  "WHERE z.key IS NULL"),
              "0");
    // A code typed as "M5V2T6" or "M5V 2T6" is found by its first four characters.
    for (const char* fourth : {"2", " "})
        EXPECT_EQ(
            One("SELECT count(*) FROM can3 c LEFT JOIN can_cities k ON k.zip = c.postcode || ? "
                "WHERE k.zip IS NULL",
                {fourth}),
            "0");
    EXPECT_EQ(
        One("SELECT count(*) FROM can_rural r LEFT JOIN can3 c ON c.postcode = substr(r.zip, 1, 3) "
            "WHERE c.postcode IS NULL"),
        "0");
    EXPECT_EQ(One("SELECT count(*) FROM can_cities WHERE City LIKE '%(%' OR City = ''"), "0");
    EXPECT_NE(One("SELECT count(*) FROM can_cities WHERE City = 'TORONTO' AND Province = 'ON'"),
              "0");
}

// The rate sheet finds a city's base zone through the first city-table row of that name.
TEST_F(Tariff, RateSheetCitiesLeadToTheirOwnBaseZones) {
    auto cities = Query("SELECT City, zip, State FROM basezone00");
    ASSERT_GT(cities.size(), 96u);  // several pages of 32 rows
    auto sub = Subscripts();
    // The zones of the Northwest Territories and Nunavut are listed, and only their lanes
    // read "No service".
    auto unserved = [](const std::vector<std::string>& c) { return c[2] == "NT" || c[2] == "NU"; };
    int unservedCities = 0;
    for (auto& c : cities) {
        unservedCities += unserved(c);
        std::string code =
            One("SELECT zip FROM can_cities WHERE City = ? ORDER BY rowid LIMIT 1", {c[0]});
        ASSERT_FALSE(code.empty()) << c[0];
        EXPECT_EQ(One("SELECT basezone FROM can3 WHERE postcode = ?", {code.substr(0, 3)}),
                  One("SELECT basezone FROM can3 WHERE postcode = ?", {c[1]}))
            << c[0];
        for (auto& d : cities)
            EXPECT_EQ(LaneCode(sub.at(c[1]), sub.at(d[1])) == "099099", unserved(c) || unserved(d))
                << c[0] << " to " << d[0];
    }
    EXPECT_GT(unservedCities, 0);
}

// ------------------------------------------------------------------ state list

TEST_F(Tariff, StateListCoversEveryReachablePointWithItsRegion) {
    auto lines = Lines(ReadFile(kApp + "/data/states.dat"));
    ASSERT_FALSE(lines.empty());
    ASSERT_LE(lines.size(), 61u);
    const std::regex form(R"(^[A-Za-z .]+,([A-Z]{2})\.(QZ[ABDF])$)");
    std::map<std::string, std::string> regionOf;
    for (const auto& l : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(l, m, form)) << l;
        EXPECT_TRUE(regionOf.emplace(m[1], m[2]).second) << l;
    }
    // Regions agree with the service-centre letter of every ZIP code of the state.
    for (auto& r : Query("SELECT u.State, substr(f.SIC, 1, 1), count(*) FROM us_cities u "
                         "JOIN Fullzip f ON f.zip = u.zip GROUP BY 1, 2")) {
        if (!regionOf.count(r[0])) continue;
        std::string region = r[1] == "X" ? "QZA" : r[1] == "U" ? "QZD" : "QZB";
        EXPECT_EQ(regionOf[r[0]], region) << r[0];
    }
    for (auto& r : Query("SELECT DISTINCT Province FROM can_cities"))
        if (regionOf.count(r[0])) {
            EXPECT_EQ(regionOf[r[0]], "QZF") << r[0];
        }
    // The state or province of both ends of every served lane is listed.
    std::vector<std::string> stateOfKey(kKeys + 1);
    for (auto& r : Query("SELECT z.subscript, (SELECT State FROM us_cities WHERE zip >= z.key AND "
                         "zip < z.key || 'A' ORDER BY zip, rowid LIMIT 1) FROM ziplist z "
                         "WHERE z.key GLOB '[0-9]*'"))
        stateOfKey[std::stoi(r[0])] = r[1];
    for (auto& r : Query("SELECT z.subscript, (SELECT k.Province FROM can3 c JOIN can_cities k "
                         "ON k.zip = c.postcode || '1' WHERE c.basezone = z.key LIMIT 1) "
                         "FROM ziplist z WHERE NOT z.key GLOB '[0-9]*'"))
        stateOfKey[std::stoi(r[0])] = r[1];
    std::vector<bool> listed(kKeys + 1, false);
    for (int k = 1; k <= kKeys; ++k) listed[k] = regionOf.count(stateOfKey[k]) > 0;
    for (int o = 1; o <= kKeys; ++o)
        for (int d = 1; d <= kKeys; ++d)
            if (LaneNumber(o, d) != kNoService) {
                ASSERT_TRUE(listed[o] && listed[d]) << stateOfKey[o] << " to " << stateOfKey[d];
            }
}

TEST_F(Tariff, EffectiveDateIsTheFirstLine) {
    auto lines = Lines(ReadFile(kApp + "/data/effdate.dat"));
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(^[A-Z][a-z]+ \d{1,2}, \d{4}$)")))
        << lines[0];
}

// ------------------------------------------------------------------ settings and customer data

TEST_F(Tariff, SettingsHoldEveryKeyWithItsDefault) {
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 5; ++i) expected["DC_defclass" + std::to_string(i)] = "100";
    expected.insert({{"DC_density", "9.9"},
                     {"G!_percentage", "0.20"},
                     {"CDN_ExchangeRate", "1"},
                     {"FSC_fsc", "00.0"},
                     {"DC_origin", ""},
                     {"VERSION_currver", "12.0.1"},
                     {"BL_Copies", "1"},
                     {"BL_PrintRates", "no"},
                     {"BL_UseSpecialDiscount", "no"},
                     {"BL_Discount", "00.0"},
                     {"BL_PrintBack", "no"}});
    for (const auto& [key, value] : expected) {
        auto rows = Query("SELECT valuef FROM tblConfig WHERE keyf = ?", {key});
        ASSERT_EQ(rows.size(), 1u) << key;
        EXPECT_EQ(rows[0][0], value) << key;
    }
    // The offshore charges carry real amounts.
    std::vector<std::string> offshore = {"AK_AIR_FSC",          "AK_FSC",
                                         "AK_SPECIAL_FSC",      "HI_FSC",
                                         "PR_bunker_CFT",       "PR_bunker_CWT",
                                         "PR_bunker_min",       "PR_bunker_max",
                                         "AK_Discount",         "AK_HMOcean_CFT",
                                         "AK_HMOcean_MIN",      "AK_HMOcean_MAX",
                                         "AK_MilitaryBase_Lo",  "AK_MilitaryBase_Med",
                                         "AK_MilitaryBase_Hi",  "PR_docs",
                                         "PR_HMOcean",          "HI_WHARFAGE_MilitaryBase",
                                         "HI_HMDelivery",       "HI_DID_CWT",
                                         "HI_DID_MIN",          "HI_RSD",
                                         "PR_XCV_outbound_CFT", "PR_XCV_outbound_CWT",
                                         "PR_XCV_floor",        "PR_NJV_outbound_CFT",
                                         "PR_NJV_outbound_CWT", "PR_NJV_floor",
                                         "PR_NMF_outbound_CFT", "PR_NMF_outbound_CWT",
                                         "HI_OCEAN_L400",       "HI_OCEAN_L800",
                                         "HI_OCEAN_M800",       "HI_OCEAN_min",
                                         "HI_WHARFAGE_CFT",     "HI_WHARFAGE_min",
                                         "HI_HMOcean_CFT",      "HI_HMOcean_MIN"};
    for (const char* island : {"OAHU", "MAUI", "KAUI", "HAWAI"})
        for (const char* part : {"_CFT", "_minchg"})
            offshore.push_back(std::string("HI_WILLCALL_") + island + part);
    for (const auto& key : offshore) {
        std::string v = One("SELECT valuef FROM tblConfig WHERE keyf = ?", {key});
        EXPECT_GT(std::atof(v.c_str()), 0) << key;
    }
    EXPECT_LT(std::atof(One("SELECT valuef FROM tblConfig WHERE keyf='HI_OCEAN_L800'").c_str()),
              std::atof(One("SELECT valuef FROM tblConfig WHERE keyf='HI_OCEAN_L400'").c_str()));
}

TEST_F(Tariff, DefaultProgramHasItsRowsInboundFirst) {
    auto rows = Query(
        "SELECT region, IBOB, Floor, dmc, dL5C, d5c, d1m, d2m, d5m, d10m, d15m, d20m, "
        "d25m, d30m FROM discounts WHERE zip = 'ALL' ORDER BY zip, region, rowid");
    ASSERT_EQ(rows.size(), 6u);
    const std::regex pct(R"(^\d\d\.\d$)"), floor(R"(^\d\d\.\d\d$)");
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], (std::vector<std::string>{"1", "1", "4", "4", "254", "254"})[i]);
        EXPECT_EQ(rows[i][1], i % 2 == 0 ? "1" : "0");
        EXPECT_TRUE(std::regex_match(rows[i][2], floor)) << rows[i][2];
        for (size_t b = 3; b < rows[i].size(); ++b) EXPECT_TRUE(std::regex_match(rows[i][b], pct));
    }
    EXPECT_EQ(One("SELECT count(*) FROM faktable WHERE zip = 'ALL' AND "
                  "profil = '000102030405060708091011121314151617'"),
              "6");
    auto pxs = Query("SELECT PXSpct FROM Thriftlane");
    ASSERT_EQ(pxs.size(), 1u);
    EXPECT_TRUE(std::regex_match(pxs[0][0], pct));
    for (const char* t : {"shipzips", "BL parties", "Commodity", "Bills", "BL Notes", "BLdetail",
                          "canada rate sheet", "ponyout"})
        EXPECT_EQ(One(std::string("SELECT count(*) FROM \"") + t + "\""), "0") << t;
}

TEST_F(Tariff, AccessorialsHaveTheServicesTheProgramNames) {
    auto names = Query("SELECT Name FROM accessorials ORDER BY Name");
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0][0], "C.O.D.");  // the lists treat their first item as C.O.D.
    for (const char* n :
         {"HCDR", "Norvale GUARANTEED!", "Thriftlane", "Liftgate service", "Hazardous materials",
          "Inside pickup and delivery", "Residential delivery", "Single shipment"})
        EXPECT_EQ(One("SELECT count(*) FROM accessorials WHERE Name = ?", {n}), "1") << n;
    for (auto& r : Query(
             "SELECT Name, apply, \"temp on\", Minimum, maximum, \"per cwt\" FROM accessorials")) {
        EXPECT_EQ(r[1], "0");
        EXPECT_EQ(r[2], "0");
        double min = std::atof(r[3].c_str()), max = std::atof(r[4].c_str());
        EXPECT_GE(min, 0) << r[0];
        EXPECT_TRUE(max == 0 || max >= min) << r[0];
    }
    EXPECT_GT(std::atof(One("SELECT maximum FROM accessorials WHERE Name='HCDR'").c_str()), 0);
}

TEST_F(Tariff, QuickReferenceLinksOpenTheRightTariffItems) {
    auto items = Query("SELECT Item FROM tariff ORDER BY Title");
    ASSERT_GE(items.size(), 62u);
    const std::map<size_t, std::string> links = {{1, "203"},  {7, "206"},  {12, "200"},
                                                 {27, "235"}, {33, "218"}, {48, "120"},
                                                 {55, "225"}, {58, "24"},  {61, "239"}};
    for (const auto& [position, item] : links) EXPECT_EQ(items[position][0], item) << position;
}

// ------------------------------------------------------------------ offshore and special points

TEST_F(Tariff, EveryOffshorePointHasItsZoneAndRates) {
    EXPECT_EQ(One("SELECT count(*) FROM us_cities u LEFT JOIN \"AK Zones\" z ON z.zip = u.zip "
                  "WHERE u.State = 'AK' AND z.zip IS NULL"),
              "0");
    EXPECT_EQ(One("SELECT count(*) FROM us_cities u LEFT JOIN \"AK Zones2\" z ON z.city = u.City "
                  "WHERE u.State = 'AK' AND z.city IS NULL"),
              "0");
    EXPECT_EQ(One("SELECT count(*) FROM us_cities u LEFT JOIN \"HI Zones\" z ON z.zip = u.zip "
                  "WHERE u.State = 'HI' AND z.zip IS NULL"),
              "0");
    EXPECT_EQ(
        One("SELECT count(*) FROM us_cities u LEFT JOIN \"PR Delvy zones\" z ON z.zip = u.zip "
            "WHERE u.State = 'PR' AND z.zip IS NULL"),
        "0");
    const char* classes[] = {"50", "55", "60", "65", "70", "77.5", "85", "92.5", "100"};
    for (auto& z : Query("SELECT DISTINCT zone FROM \"AK Zones2\"")) {
        int zone = std::stoi(z[0]);
        if (zone == 99) continue;
        if (zone >= 100) {
            EXPECT_EQ(One("SELECT count(*) FROM \"AK Air Rates\" WHERE zone = ?", {z[0]}), "1")
                << zone;
            continue;
        }
        for (const char* c : classes) {
            auto r = Query("SELECT * FROM \"AK Rates\" WHERE key = ?", {"z" + z[0] + "c" + c});
            ASSERT_EQ(r.size(), 1u) << zone << " " << c;
            for (int b = 5; b <= 8; ++b) EXPECT_LT(std::stoi(r[0][b]), std::stoi(r[0][b - 1]));
        }
    }
    // Air-only points are rated beyond as zone 1.
    EXPECT_EQ(One("SELECT count(*) FROM \"AK Rates\" WHERE zone = 1"), "9");
    EXPECT_EQ(One("SELECT count(*) FROM \"HI Zones\" z LEFT JOIN \"HI Rates\" r ON r.zone = z.zone "
                  "WHERE r.zone IS NULL"),
              "0");
    EXPECT_EQ(One("SELECT count(*) FROM \"PR Delvy zones\" z LEFT JOIN \"PR charges\" r ON r.zone "
                  "= z.zone "
                  "WHERE r.zone IS NULL"),
              "0");
    // Each will-call key serves its islands' zones; the military cities are found by name.
    EXPECT_EQ(One("SELECT count(*) FROM \"HI Zones\" WHERE zone < 1 OR zone > 14"), "0");
    for (const char* base : {"NORTHWAY", "FT WAINW", "FAIRBANK", "FT RICHA", "ANCHORAG"})
        EXPECT_NE(One("SELECT count(*) FROM \"AK Zones2\" WHERE substr(city, 1, 8) = ?", {base}),
                  "0")
            << base;
    EXPECT_NE(One("SELECT count(*) FROM \"AK Zones\" WHERE zone = 99"), "0");
}

TEST_F(Tariff, DirectPointsAndEconomyPairsExist) {
    EXPECT_GT(
        std::stoi(One("SELECT count(*) FROM IndPts WHERE zip GLOB '[0-9][0-9][0-9][0-9][0-9]'")),
        1000);
    EXPECT_GT(std::stoi(One("SELECT count(*) FROM IndPts WHERE NOT zip GLOB '[0-9]*'")), 100);
    // Each is a ZIP code or a postal code of an area the carrier serves.
    EXPECT_EQ(One("SELECT count(*) FROM IndPts i LEFT JOIN Fullzip f ON f.zip = "
                  "CASE WHEN i.zip GLOB '[0-9]*' THEN i.zip ELSE substr(i.zip, 1, 4) END "
                  "WHERE f.zip IS NULL"),
              "0");
    auto pairs = Query("SELECT key, Type, Ddays FROM ServInd");
    ASSERT_FALSE(pairs.empty());
    std::map<std::string, int> centers;
    for (auto& r : Query("SELECT SIC, subscript FROM svcctrs")) centers[r[0]] = std::stoi(r[1]);
    int economy = 0;
    for (auto& p : pairs) {
        ASSERT_EQ(p[0].size(), 6u);
        ASSERT_TRUE(centers.count(p[0].substr(0, 3)) && centers.count(p[0].substr(3))) << p[0];
        if (p[1] != "2") continue;
        ++economy;
        // The economy service is slower than the standard one, never faster.
        EXPECT_GT(std::stoi(p[2]), Days(centers[p[0].substr(0, 3)], centers[p[0].substr(3)]))
            << p[0];
    }
    EXPECT_GT(economy, 100);
}

TEST_F(Tariff, SurchargeListsHoldRealZipCodes) {
    for (auto [table, column] : std::vector<std::pair<std::string, std::string>>{
             {"HCDRS235", "zip"}, {"AtlantaDiscZips", "Zip Code"}}) {
        EXPECT_NE(One("SELECT count(*) FROM \"" + table + "\""), "0") << table;
        EXPECT_EQ(
            One("SELECT count(*) FROM \"" + table + "\" t LEFT JOIN us_cities u ON u.zip = t.\"" +
                column + "\" WHERE u.zip IS NULL"),
            "0")
            << table;
    }
    EXPECT_EQ(
        One("SELECT count(*) FROM AtlantaDiscZips a JOIN us_cities u ON u.zip = a.\"Zip Code\" "
            "WHERE u.State <> 'GA'"),
        "0");
    for (auto& r : Query("SELECT zip, bump FROM ziparbs")) {
        double b = std::atof(r[1].c_str());
        EXPECT_TRUE(b > 0 && b < 1) << r[0];
    }
    EXPECT_EQ(One("SELECT count(*) FROM MKTLN WHERE Olo > Ohi OR Dlo > Dhi OR push <= 0"), "0");
}

}  // namespace

// The floors and default discounts each have a value of their own, in the text forms the
// rating and the discount editors read (NN.NN and NN.N), so that a test can tell them apart.
TEST_F(Tariff, EveryFloorAndDefaultDiscountKeyHasItsOwnValue) {
    std::set<std::string> seen;
    auto check = [&](const std::string& key, size_t decimals) {
        auto rows = Query("SELECT valuef FROM tblConfig WHERE keyf = ?", {key});
        ASSERT_EQ(rows.size(), 1u) << key;
        const std::string v = rows[0][0];
        ASSERT_EQ(v.size(), 3 + decimals) << key;
        EXPECT_EQ(v[2], '.') << key;
        EXPECT_GT(std::stod(v), 0) << key;
        EXPECT_TRUE(seen.insert(v).second) << key << " repeats " << v;
    };
    for (const char* k :
         {"qzainter", "qzaintra", "qzbinter", "qzbintra", "qzdcalif", "qzdinter", "qzdintra",
          "canadaus", "bcus", "YTNT_us", "qzfintra", "flakeys", "jointline"})
        check(std::string("FLOOR_") + k, 2);
    for (const char* k : {"USADefault", "Canada_US", "USA_Canada", "CanadaDefault"})
        check(std::string("DISC_") + k, 1);
}

// The default program as it ships: both directions of regions 1, 4 and 254, untiered, at or
// above the lowest discounts the discount editor accepts, each with the identity FAK profile;
// no shipping location yet, one economy-service percentage.
TEST_F(Tariff, TheDefaultProgramShipsWithinTheEditorsMinimums) {
    const std::map<std::pair<int, int>, double> minimum = {
        {{1, 1}, 30}, {{1, 0}, 30}, {{4, 0}, 52}, {{4, 1}, 60}, {{254, 1}, 0}, {{254, 0}, 0}};
    for (const auto& [key, lowest] : minimum) {
        const auto [region, ibob] = key;
        auto rows = Query(
            "SELECT dmc, dL5C, d5c, d1m, d2m, d5m, d10m, d15m, d20m, d25m, d30m, Floor "
            "FROM discounts WHERE zip = 'ALL' AND region = ? AND IBOB = ?",
            {std::to_string(region), std::to_string(ibob)});
        ASSERT_EQ(rows.size(), 1u) << region << "/" << ibob;
        for (size_t b = 0; b < 11; ++b) EXPECT_EQ(rows[0][b], rows[0][2]) << region;
        EXPECT_GE(std::stod(rows[0][2]), lowest) << region << "/" << ibob;
        EXPECT_EQ(rows[0][2].size(), 4u);
        auto fak = Query("SELECT profil FROM faktable WHERE zip = 'ALL' AND region = ? AND IBOB = ?",
                         {std::to_string(region), std::to_string(ibob)});
        ASSERT_EQ(fak.size(), 1u) << region << "/" << ibob;
        EXPECT_EQ(fak[0][0], "000102030405060708091011121314151617");
    }
    EXPECT_TRUE(Query("SELECT zip FROM shipzips", {}).empty());
    auto thrift = Query("SELECT PXSpct FROM Thriftlane", {});
    ASSERT_EQ(thrift.size(), 1u);
    EXPECT_EQ(thrift[0][0].size(), 4u);
}

// The help pages of the shipping-location window are there and are pages.
TEST_F(Tariff, TheShippingLocationHelpPagesAreWritten) {
    for (const char* page : {"shiploc", "newloc", "adding"}) {
        std::ifstream in(std::string(FRETLYN_APP_DIR) + "/VZK120/" + page + ".htm");
        ASSERT_TRUE(in) << page;
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("<body"), std::string::npos) << page;
        EXPECT_NE(text.str().find("</html>"), std::string::npos) << page;
    }
}

// Every page written sets both its colours and its links' colour, so that no part of it takes
// the desktop's palette: a dark palette's white text on the page's white, or its pale links.
TEST_F(Tariff, EveryPageSetsItsTextAndBackgroundColours) {
    const std::regex body(R"(<body [^>]*bgcolor="#FFFFFF" text="#000000" link="#[0-9A-F]{6}")"
                          R"([^>]*style="background-color: #FFFFFF; color: #000000)");
    int pages = 0;
    for (const char* folder : {"/VZK120", "/help"})
        for (const auto& entry : std::filesystem::directory_iterator(kApp + folder)) {
            if (entry.path().extension() != ".htm") continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            EXPECT_TRUE(std::regex_search(text.str(), body)) << entry.path();
            EXPECT_NE(text.str().find("a { color: #"), std::string::npos) << entry.path();
            ++pages;
        }
    EXPECT_GT(pages, 40);
}
