#include "ratingfixture.h"

#include <cstdio>
#include <fstream>

#include "charges.h"
#include "commodity.h"
#include "displayquote.h"
#include "quotesheet.h"
#include "rategrid.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

// The tables the tests fill themselves, laid out as the program reads them.
const char* const kSchema[] = {
    "DROP TABLE IF EXISTS discounts",
    "CREATE TABLE discounts (zip TEXT COLLATE NOCASE, region INTEGER, IBOB INTEGER, Floor TEXT, "
    "dmc TEXT, dL5C TEXT, d5c TEXT, d1m TEXT, d2m TEXT, d5m TEXT, d10m TEXT, d15m TEXT, "
    "d20m TEXT, d25m TEXT, d30m TEXT)",
    "CREATE INDEX \"discounts.byzipandregion\" ON discounts (zip, region)",
    "DROP TABLE IF EXISTS faktable",
    "CREATE TABLE faktable (zip TEXT COLLATE NOCASE, region INTEGER, IBOB INTEGER, profil TEXT)",
    "CREATE INDEX \"faktable.fakzip\" ON faktable (zip)",
    "DROP TABLE IF EXISTS states",
    "CREATE TABLE states (State TEXT COLLATE NOCASE, zip TEXT COLLATE NOCASE, region INTEGER)",
    "CREATE INDEX \"states.bystateandzip\" ON states (State, zip)",
    "DROP TABLE IF EXISTS shipzips",
    "CREATE TABLE shipzips (zip TEXT COLLATE NOCASE)",
    "CREATE UNIQUE INDEX \"shipzips.byzip\" ON shipzips (zip)",
    "DROP TABLE IF EXISTS ziparbs",
    "CREATE TABLE ziparbs (zip TEXT COLLATE NOCASE, bump REAL)",
    "CREATE INDEX \"ziparbs.byzip\" ON ziparbs (zip)",
    "DROP TABLE IF EXISTS MKTLN",
    "CREATE TABLE MKTLN (Olo TEXT, Ohi TEXT, Dlo TEXT, Dhi TEXT, push REAL)",
    "DROP TABLE IF EXISTS AtlantaDiscZips",
    "CREATE TABLE AtlantaDiscZips (zip TEXT COLLATE NOCASE)",
    "CREATE INDEX \"AtlantaDiscZips.Zip Code\" ON AtlantaDiscZips (zip)",
    "DROP TABLE IF EXISTS HCDRS235",
    "CREATE TABLE HCDRS235 (zip TEXT COLLATE NOCASE)",
    "CREATE INDEX \"HCDRS235.byzip\" ON HCDRS235 (zip)",
    "DROP TABLE IF EXISTS Fullzip",
    "CREATE TABLE Fullzip (zip TEXT COLLATE NOCASE, SIC TEXT COLLATE NOCASE)",
    "CREATE INDEX \"Fullzip.byzip\" ON Fullzip (zip)",
    "DROP TABLE IF EXISTS ServInd",
    "CREATE TABLE ServInd (key TEXT COLLATE NOCASE, Type INTEGER, Ddays INTEGER)",
    "CREATE INDEX \"ServInd.sicpair\" ON ServInd (key)",
    "DROP TABLE IF EXISTS Thriftlane",
    "CREATE TABLE Thriftlane (PXSpct REAL)",
    "CREATE INDEX \"Thriftlane.PXSpct\" ON Thriftlane (PXSpct)",
    "INSERT INTO Thriftlane (PXSpct) VALUES (20)",
};

std::string Int32Bytes(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return s;
}

}  // namespace

void RatingTest::SetUp() {
    // The tests write lane and grid files of their own, which the shipped list does not give.
    app.dropFileList();
    {
        Database db(app.file("data/x2007.mdb").string());
        for (const char* sql : kSchema) db.Execute(sql);
        db.Close();
    }
    OpenTariffDatabase();
    InitClassTables();
    for (const char* key : kFloorKeys) tariff.startupValues[key] = "00.00";
    rating.Reset();
    commodityLines.Reset();
    CloseRateGrids();
    SetRatingMessageSink([this](const std::string& text, int style, const std::string& title) {
        messages.push_back({text, style, title});
    });
    SetQuoteDisplayHook(nullptr);
}

void RatingTest::TearDown() {
    SetRatingMessageSink(nullptr);
    SetQuoteDisplayHook(nullptr);
    CloseRateGrids();
    rating.Reset();
    commodityLines.Reset();
    tariff.gOffshoreState.clear();
}

void RatingTest::WriteGrid(int file, int row, const std::array<int32_t, 11>& values) {
    char name[32];
    std::snprintf(name, sizeof name, "grids/grid%03d.dat", file);
    std::string bytes(static_cast<size_t>(row - 1) * 44, '\0');
    for (int32_t v : values) bytes += Int32Bytes(v);
    app.writeFile(name, bytes);
}

void RatingTest::UseStandardQuote() {
    SetOrigin("53202", "532", "WI", 0);
    SetDest("43215", "432", "OH", 0);
    tariff.gOrigCityState = "Milwaukee, WI";
    tariff.gDestCityState = "Columbus, OH";
    UseStandardLane();
    AddDiscountRow("ALL", 1, 0, "45.5");
    quote.Reset();
    quoteDisplay.Reset();
}

void RatingTest::UseCanadianDeficitQuote() {
    SetOrigin("M5V1A1", "M5V", "ON", 1);
    SetDest("H2Y1A1", "H2Y", "QC", 1);
    UseStandardLane(123039);
    AddDiscountRow("ALL", 254, 0, "35.0");
    SetLine(0, "300", "");
    SetLine(1, "150", "");
    commodityLines.txtDensity[0] = "12";
    commodityLines.txtDensity[1] = "3";  // from Ontario every density rates at class 100
}

void RatingTest::UseStandardLane(int32_t laneCode) {
    WriteGrid(laneCode / 1000, laneCode % 1000,
              {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    rating.gLaneCode = laneCode;
}

void RatingTest::Exec(const std::string& sql, const std::vector<Value>& params) {
    tariff.gDB->Execute(sql, params);
}

void RatingTest::AddDiscountRow(const std::string& zip, int region, int ibob,
                                const std::string& pct, const std::string& floor) {
    std::array<std::string, 11> all;
    all.fill(pct);
    AddDiscountRow(zip, region, ibob, all, floor);
}

void RatingTest::AddDiscountRow(const std::string& zip, int region, int ibob,
                                const std::array<std::string, 11>& pct, const std::string& floor) {
    std::vector<Value> p = {zip, region, ibob, floor};
    for (const auto& d : pct) p.emplace_back(d);
    Exec(
        "INSERT INTO discounts (zip, region, IBOB, Floor, dmc, dL5C, d5c, d1m, d2m, d5m, d10m, "
        "d15m, d20m, d25m, d30m) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        p);
}

void RatingTest::AddFakRow(const std::string& zip, int ibob, int region,
                           const std::string& profile) {
    Exec("INSERT INTO faktable (zip, region, IBOB, profil) VALUES (?,?,?,?)",
         {zip, region, ibob, profile});
}

void RatingTest::AddStateRegion(const std::string& state, const std::string& zip, int region) {
    Exec("INSERT INTO states (State, zip, region) VALUES (?,?,?)", {state, zip, region});
}

void RatingTest::AddFullzip(const std::string& zip, const std::string& sic) {
    Exec("INSERT INTO Fullzip (zip, SIC) VALUES (?,?)", {zip, sic});
}

void RatingTest::SetOrigin(const std::string& zip, const std::string& zip3,
                           const std::string& state, int country) {
    tariff.gOrigZip = zip;
    tariff.gOrigZip3 = zip3;
    tariff.gOrigState = state;
    tariff.gOrigCountry = static_cast<uint8_t>(country);
}

void RatingTest::SetDest(const std::string& zip, const std::string& zip3, const std::string& state,
                         int country) {
    tariff.gDestZip = zip;
    tariff.gDestZip3 = zip3;
    tariff.gDestState = state;
    tariff.gDestCountry = static_cast<uint8_t>(country);
}

void RatingTest::SetLine(int line, const std::string& weight, const std::string& cls) {
    const auto j = static_cast<size_t>(line);
    commodityLines.txtweight[j] = weight;
    commodityLines.cmbclass[j] = cls;
    rating.gLineWeight[j] = weight;
    rating.gLineClass[j] = cls;
}
