// The tariff database: every table the program opens, with its named indexes, filled from the
// geography and the synthetic tariff; the customer's and bill-of-lading tables start empty
// except for the default discount program "ALL".
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <tuple>
#include <variant>

#include "sampletariff.h"

namespace sampletariff {

namespace {

using Value = std::variant<int64_t, double, std::string>;

struct Column {
    const char* name;
    char type;  // 'T' text, 'I' whole number, 'R' fraction
};
struct Index {
    const char* name;
    std::vector<const char*> columns;
    bool unique;
};
struct Table {
    const char* name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
};

// An index named by-key-and-field holds, after the key a look-up seeks on, the one field that
// look-up reads, so that the index alone answers it.
const std::vector<Table>& Schema() {
    static const std::vector<Table> kTables = {
        {"accessorials",
         {{"Name", 'T'},
          {"apply", 'I'},
          {"temp on", 'I'},
          {"Minimum", 'R'},
          {"maximum", 'R'},
          {"per cwt", 'R'}},
         {{"byname", {"Name"}, true}}},
        {"shipzips", {{"zip", 'T'}}, {{"byzip", {"zip"}, true}}},
        {"states",
         {{"State", 'T'}, {"zip", 'T'}, {"region", 'I'}},
         {{"bystateandzip", {"State", "zip"}, true}}},
        // A location's two rows of one region stay in the order added: inbound, then outbound.
        {"discounts",
         {{"zip", 'T'},
          {"region", 'I'},
          {"IBOB", 'I'},
          {"Floor", 'T'},
          {"dmc", 'T'},
          {"dL5C", 'T'},
          {"d5c", 'T'},
          {"d1m", 'T'},
          {"d2m", 'T'},
          {"d5m", 'T'},
          {"d10m", 'T'},
          {"d15m", 'T'},
          {"d20m", 'T'},
          {"d25m", 'T'},
          {"d30m", 'T'}},
         {{"byzipandregion", {"zip", "region"}, false}}},
        {"Thriftlane", {{"PXSpct", 'T'}}, {{"PXSpct", {"PXSpct"}, false}}},
        {"tariff", {{"Title", 'T'}, {"Item", 'I'}}, {{"bytitle", {"Title"}, false}}},
        {"basezone00",
         {{"City", 'T'}, {"State", 'T'}, {"zip", 'T'}},
         {{"bycityname", {"City"}, false}, {"bypostcode", {"zip"}, false}}},
        {"can3", {{"postcode", 'T'}, {"basezone", 'T'}}, {{"can3post", {"postcode"}, true}}},
        {"faktable",
         {{"zip", 'T'}, {"IBOB", 'I'}, {"region", 'I'}, {"profil", 'T'}},
         {{"fakzip", {"zip"}, false}}},
        {"Fullzip",
         {{"zip", 'T'}, {"SIC", 'T'}},
         {{"byzip", {"zip"}, true}, {"byzipcentre", {"zip", "SIC"}, false}}},
        {"ServInd", {{"key", 'T'}, {"Type", 'I'}, {"Ddays", 'I'}}, {{"sicpair", {"key"}, true}}},
        {"us_cities",
         {{"zip", 'T'}, {"City", 'T'}, {"State", 'T'}},
         {{"byzip", {"zip"}, false}, {"bycity", {"City"}, false}}},
        {"can_cities",
         {{"zip", 'T'}, {"City", 'T'}, {"Province", 'T'}},
         {{"byzip", {"zip"}, false}, {"bycity", {"City"}, false}}},
        {"can_rural",
         {{"zip", 'T'}, {"City", 'T'}, {"Province", 'T'}},
         {{"byzip", {"zip"}, false}, {"bycity", {"City"}, false}}},
        {"ziplist",
         {{"key", 'T'}, {"subscript", 'I'}},
         {{"byzip", {"key"}, true}, {"bykeysubscript", {"key", "subscript"}, false}}},
        {"svcctrs",
         {{"SIC", 'T'},
          {"subscript", 'I'},
          {"Name", 'T'},
          {"Address", 'T'},
          {"citystatezip", 'T'},
          {"Phone", 'T'},
          {"FAX", 'T'},
          {"tollfree", 'T'}},
         {{"bysic", {"SIC"}, true}, {"bysicsubscript", {"SIC", "subscript"}, false}}},
        {"ziparbs",
         {{"zip", 'T'}, {"bump", 'R'}},
         {{"byzip", {"zip"}, true}, {"byzipbump", {"zip", "bump"}, false}}},
        {"PR Delvy zones", {{"zip", 'T'}, {"zone", 'I'}}, {{"byzip", {"zip"}, true}}},
        // The rates by weight band stand at field positions 3 to 5.
        {"PR charges",
         {{"zone", 'I'},
          {"Min", 'R'},
          {"Max", 'R'},
          {"L3000", 'R'},
          {"L6000", 'R'},
          {"M6000", 'R'},
          {"CFT", 'R'}},
         {{"byzone", {"zone"}, true}}},
        {"AK Zones", {{"zip", 'T'}, {"zone", 'I'}}, {{"byzip", {"zip"}, true}}},
        {"AK Zones2", {{"city", 'T'}, {"zone", 'I'}}, {{"city", {"city"}, true}}},
        // Minimum charge and the five break rates stand at field positions 3 to 8.
        {"AK Rates",
         {{"key", 'T'},
          {"zone", 'I'},
          {"class", 'T'},
          {"minchg", 'I'},
          {"B1000", 'I'},
          {"B2000", 'I'},
          {"B5000", 'I'},
          {"B10000", 'I'},
          {"B32000", 'I'}},
         {{"byzone", {"key"}, true}}},
        {"AK Air Rates",
         {{"zone", 'I'}, {"minchg", 'R'}, {"CL50-925", 'R'}, {"CL100", 'R'}, {"Cl110-150", 'R'}},
         {{"byzone", {"zone"}, true}}},
        {"HI Zones", {{"zip", 'T'}, {"zone", 'I'}}, {{"byzip", {"zip"}, true}}},
        // The rates by cube band stand at field positions 2 to 6.
        {"HI Rates",
         {{"zone", 'I'},
          {"minchg", 'R'},
          {"L101", 'R'},
          {"L201", 'R'},
          {"L301", 'R'},
          {"L401", 'R'},
          {"M400", 'R'}},
         {{"byzone", {"zone"}, true}}},
        {"BL parties",
         {{"Party ID", 'I'},
          {"Name", 'T'},
          {"Address", 'T'},
          {"City", 'T'},
          {"zip", 'T'},
          {"State", 'T'},
          {"role", 'I'}},
         {{"bypartyid", {"Party ID"}, true}}},
        {"Commodity",
         {{"commodity ID", 'I'},
          {"Description", 'T'},
          {"Weight", 'R'},
          {"nmfc", 'T'},
          {"Class", 'T'},
          {"HAZMAT", 'I'}},
         {{"byid", {"commodity ID"}, true}}},
        {"Bills",
         {{"BL ID", 'I'},
          {"BL number", 'T'},
          {"Date", 'T'},
          {"PRO Number", 'T'},
          {"PONbr", 'T'},
          {"Shipper ID", 'I'},
          {"Consignee ID", 'I'},
          {"Bill To ID", 'I'}},
         {{"byblid", {"BL ID"}, true}}},
        {"BL Notes", {{"BL ID", 'I'}, {"Instructions", 'T'}}, {{"byblid", {"BL ID"}, true}}},
        // A line's quantity and weight read back as the digits typed, empty text included.
        {"BLdetail",
         {{"BL ID", 'I'}, {"commodity ID", 'I'}, {"Quantity", 'T'}, {"Weight", 'T'}},
         {{"BL number", {"BL ID"}, false}}},
        {"HCDRS235", {{"zip", 'T'}}, {{"byzip", {"zip"}, true}}},
        {"tblConfig", {{"keyf", 'T'}, {"valuef", 'T'}}, {{"bykeyf", {"keyf"}, true}}},
        {"AtlantaDiscZips", {{"Zip Code", 'T'}}, {{"Zip Code", {"Zip Code"}, true}}},
        {"IndPts", {{"zip", 'T'}}, {{"zip", {"zip"}, true}}},
        {"MKTLN", {{"Olo", 'T'}, {"Ohi", 'T'}, {"Dlo", 'T'}, {"Dhi", 'T'}, {"push", 'R'}}, {}},
        {"canada rate sheet",
         {{"origin city", 'T'},
          {"dest city", 'T'},
          {"orig", 'T'},
          {"DEST", 'T'},
          {"minchg", 'R'},
          {"L5C", 'R'},
          {"r5c", 'R'},
          {"r1m", 'R'},
          {"r2m", 'R'},
          {"r5m", 'R'},
          {"r10m", 'R'},
          {"r15m", 'R'},
          {"r20m", 'R'},
          {"r25m", 'R'}},
         {}},
        {"ponyout",
         {{"ORIGIN", 'T'},
          {"DEST", 'T'},
          {"Class", 'T'},
          {"minchg", 'R'},
          {"L5C", 'R'},
          {"r5c", 'R'},
          {"r1m", 'R'},
          {"r2m", 'R'},
          {"r5m", 'R'},
          {"r10m", 'R'},
          {"r15m", 'R'},
          {"r20m", 'R'},
          {"r25m", 'R'},
          {"r30m", 'R'}},
         {}},
    };
    return kTables;
}

std::string Quote(const std::string& identifier) {
    return "\"" + identifier + "\"";
}

class Db {
  public:
    explicit Db(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot create " + path);
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void Exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(message + " in: " + sql);
        }
    }
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

const Table& TableNamed(const std::string& name) {
    for (const auto& t : Schema())
        if (name == t.name) return t;
    throw std::runtime_error("no table " + name);
}

class Inserter {
  public:
    Inserter(Db& db, const std::string& table) : table_(TableNamed(table)) {
        std::string sql = "INSERT INTO " + Quote(table_.name) + " VALUES (";
        for (size_t i = 0; i < table_.columns.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
        if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db.handle()));
    }
    ~Inserter() { sqlite3_finalize(stmt_); }
    Inserter(const Inserter&) = delete;
    Inserter& operator=(const Inserter&) = delete;

    void Row(const std::vector<Value>& values) {
        if (values.size() != table_.columns.size())
            throw std::runtime_error(std::string("wrong field count for ") + table_.name);
        sqlite3_reset(stmt_);
        for (size_t i = 0; i < values.size(); ++i) {
            int at = static_cast<int>(i) + 1;
            if (auto* n = std::get_if<int64_t>(&values[i]))
                sqlite3_bind_int64(stmt_, at, *n);
            else if (auto* r = std::get_if<double>(&values[i]))
                sqlite3_bind_double(stmt_, at, *r);
            else {
                const auto& s = std::get<std::string>(values[i]);
                sqlite3_bind_text(stmt_, at, s.data(), static_cast<int>(s.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(stmt_) != SQLITE_DONE)
            throw std::runtime_error(std::string("insert into ") + table_.name + " failed");
    }

  private:
    const Table& table_;
    sqlite3_stmt* stmt_ = nullptr;
};

void CreateTables(Db& db) {
    for (const auto& t : Schema()) {
        std::string sql = "CREATE TABLE " + Quote(t.name) + " (";
        for (size_t i = 0; i < t.columns.size(); ++i) {
            const Column& c = t.columns[i];
            sql += (i ? ", " : "") + Quote(c.name) +
                   (c.type == 'T'   ? " TEXT COLLATE NOCASE"
                    : c.type == 'I' ? " INTEGER"
                                    : " REAL");
        }
        db.Exec(sql + ")");
    }
}

// Built after the rows are in, so a duplicate key in the data stops the build.
void CreateIndexes(Db& db) {
    for (const auto& t : Schema()) {
        for (const auto& ix : t.indexes) {
            std::string cols;
            for (const char* c : ix.columns) cols += (cols.empty() ? "" : ", ") + Quote(c);
            db.Exec(std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX " +
                    Quote(std::string(t.name) + "." + ix.name) + " ON " + Quote(t.name) + " (" +
                    cols + ")");
        }
    }
}

// ------------------------------------------------------------------ geography

// Other names the postal service accepts for a few military ZIP codes; the offshore rules
// recognise the bases by these names.
const std::vector<std::pair<std::string, std::string>> kAlsoKnownAs = {
    {"99505", "FT RICHARDSON"}, {"99506", "ELMENDORF AFB"}, {"99703", "FT WAINWRIGHT"}};

bool IsRural(const CaArea& a) {
    return a.fsa[1] == '0';
}

// Keys of a postal area in the city tables: the area with each first digit of the local part,
// and with the blank a code typed as "M5V 2T6" has in fourth place.
std::vector<std::string> FourCharacterKeys(const std::string& fsa) {
    std::vector<std::string> keys;
    for (char d : std::string("1234567890")) keys.push_back(fsa + d);
    keys.push_back(fsa + " ");
    return keys;
}

// The rural post office of an area's main place, written with and without the blank.
std::vector<std::string> RuralCodes(const std::string& fsa) {
    return {fsa + "1A0", fsa + " 1A0"};
}

void FillGeography(Db& db, const Geography& g) {
    Inserter usCities(db, "us_cities"), fullzip(db, "Fullzip");
    for (const auto& z : g.zips) {
        usCities.Row({z.zip, z.city, z.state});
        for (const auto& [zip, name] : kAlsoKnownAs)
            if (zip == z.zip) usCities.Row({z.zip, name, z.state});
        fullzip.Row({z.zip, g.centers[z.center].sic});
    }
    Inserter canCities(db, "can_cities"), canRural(db, "can_rural"), can3(db, "can3");
    for (const auto& a : g.areas) {
        can3.Row({a.fsa, g.keys[a.key].key});
        for (const auto& k : FourCharacterKeys(a.fsa)) {
            canCities.Row({k, a.city, a.province});
            fullzip.Row({k, g.centers[a.center].sic});
        }
        if (IsRural(a))
            for (const auto& code : RuralCodes(a.fsa)) canRural.Row({code, a.city, a.province});
    }
    Inserter ziplist(db, "ziplist");
    for (const auto& k : g.keys) ziplist.Row({k.key, int64_t{k.subscript}});
}

// The rate-sheet cities, one per base zone, named after a city of the zone whose first
// city-table row lies in the zone (the rate sheet finds the zone through that row). The zones
// the carrier does not serve are listed too: their sheet rows read "No service".
void FillBaseZones(Db& db, const Geography& g) {
    std::map<std::string, const CaArea*> firstOfCity;
    for (const auto& a : g.areas) firstOfCity.emplace(a.city, &a);
    std::set<std::string> used;
    std::vector<std::tuple<std::string, std::string, std::string>> rows;
    for (size_t k = 0; k < g.keys.size(); ++k) {
        const ZipKey& key = g.keys[k];
        if (key.country != Country::Canada) continue;
        // The zone's main place first, then the places of its other areas.
        std::vector<std::pair<std::string, std::string>> candidates = {{key.city, key.state}};
        for (const auto& a : g.areas)
            if (a.key == static_cast<int>(k)) candidates.emplace_back(a.city, a.province);
        for (const auto& [city, province] : candidates) {
            if (used.count(city) || firstOfCity.at(city)->key != static_cast<int>(k)) continue;
            used.insert(city);
            rows.emplace_back(city, province, key.key);
            break;
        }
    }
    std::sort(rows.begin(), rows.end());
    Inserter basezones(db, "basezone00");
    for (const auto& [city, province, zone] : rows) basezones.Row({city, province, zone});
}

const char* const kStreets[] = {"Industrial Pkwy",   "Commerce Dr",   "Freight Way",  "Terminal Rd",
                                "Distribution Blvd", "Logistics Ave", "Transport Dr", "Depot St",
                                "Cargo Rd",          "Railway Ave"};

void FillServiceCenters(Db& db, const Geography& g) {
    Inserter svcctrs(db, "svcctrs");
    for (const auto& c : g.centers) {
        uint64_t h = Hash(c.sic);
        std::string address = std::to_string(100 + h % 9800) + " " + kStreets[(h >> 16) % 10];
        char phone[32], fax[32];
        std::snprintf(phone, sizeof phone, "(877) 555-01%02d", c.subscript % 100);
        std::snprintf(fax, sizeof fax, "(877) 555-01%02d", (c.subscript + 50) % 100);
        std::string name = "Norvale Freight " + c.city;
        svcctrs.Row({c.sic, int64_t{c.subscript}, name, address,
                     c.city + ", " + c.state + " " + c.zip, std::string(phone), std::string(fax),
                     std::string("1-800-555-0199")});
    }
    // The economy service runs between the main terminals, on hauls long enough for a slower
    // schedule to pay; shorter or cross-border pairs are listed without it.
    Inserter servInd(db, "ServInd");
    for (size_t o = 0; o < g.centers.size(); ++o) {
        for (size_t d = 0; d < g.centers.size(); ++d) {
            const ServiceCenter &a = g.centers[o], &b = g.centers[d];
            if (o == d || !a.hub || !b.hub || !a.served || !b.served || a.offshore || b.offshore)
                continue;
            double miles = RoadMiles(a.at, b.at);
            bool economy = a.country == b.country && miles >= 300 && miles <= 2600;
            int days = TransitDays(g, static_cast<int>(o), static_cast<int>(d));
            int64_t extra = economy ? (miles > 1500 ? 2 : 1) : 0;
            servInd.Row({a.sic + b.sic, int64_t{economy ? 2 : 1}, int64_t{days} + extra});
        }
    }
}

// Direct points lie within a metro terminal's own delivery area.
constexpr double kDirectMiles = 20;

void FillPointLists(Db& db, const Geography& g) {
    Inserter indPts(db, "IndPts"), hcdr(db, "HCDRS235"), atlanta(db, "AtlantaDiscZips"),
        arbs(db, "ziparbs");
    const LatLon atlantaCenter{33.7490, -84.3880};
    auto bump = [](double miles) {
        return std::round(std::min(0.30, 0.05 * (1 + std::floor((miles - 100) / 50))) * 100) / 100;
    };
    for (const auto& z : g.zips) {
        if (IsOffshoreState(z.state)) continue;
        if (z.milesToCenter <= kDirectMiles) indPts.Row({z.zip});
        if (z.milesToCenter > 75) hcdr.Row({z.zip});
        if (z.milesToCenter > 100) arbs.Row({z.zip, bump(z.milesToCenter)});
        if (z.state == "GA" && GreatCircleMiles(z.at, atlantaCenter) <= 35) atlanta.Row({z.zip});
    }
    for (const auto& a : g.areas) {
        if (!g.keys[a.key].served) continue;
        if (!IsRural(a) && a.milesToCenter <= kDirectMiles) {
            // A postal code is sought by its first six characters; the area's own keys serve
            // a city picked from the list, the "1A1" code one typed in full.
            for (const auto& k : FourCharacterKeys(a.fsa)) indPts.Row({k});
            indPts.Row({a.fsa + "1A1"});
            indPts.Row({a.fsa + " 1A"});
        }
        if (IsRural(a) && a.milesToCenter > 100)
            for (const auto& code : RuralCodes(a.fsa)) arbs.Row({code, bump(a.milesToCenter)});
    }
    // Market lanes: heavy head-haul lanes cost more, empty back-haul lanes less.
    Inserter mktln(db, "MKTLN");
    mktln.Row({"900", "935", "970", "994", 0.93});  // southern California to the north-west
    mktln.Row({"970", "994", "900", "935", 1.04});
    mktln.Row({"100", "119", "320", "349", 1.06});  // New York City to Florida
    mktln.Row({"320", "349", "100", "119", 0.92});
    mktln.Row({"750", "799", "300", "319", 0.95});  // Texas to Georgia
    mktln.Row({"600", "629", "900", "961", 0.97});  // Chicago to California
    mktln.Row({"K0A", "N9Z", "100", "149", 0.96});  // southern Ontario to New York
}

// ------------------------------------------------------------------ offshore

double Cents(double dollars) {
    return std::round(dollars * 100) / 100;
}

void FillOffshore(Db& db, const Geography& g) {
    Inserter akZones(db, "AK Zones"), akZones2(db, "AK Zones2"), hiZones(db, "HI Zones"),
        prZones(db, "PR Delvy zones");
    std::map<std::string, int> zoneOfCity;
    std::set<int> akZonesUsed;
    for (const auto& z : g.zips) {
        if (z.state == "AK") {
            int zone = AlaskaZone(z);
            akZones.Row({z.zip, int64_t{zone}});
            zoneOfCity.emplace(z.city, zone);
            for (const auto& [zip, name] : kAlsoKnownAs)
                if (zip == z.zip) zoneOfCity.emplace(name, zone);
            akZonesUsed.insert(zone);
        } else if (z.state == "HI") {
            hiZones.Row({z.zip, int64_t{HawaiiZone(z)}});
        } else if (z.state == "PR") {
            prZones.Row({z.zip, int64_t{PuertoRicoZone(z)}});
        }
    }
    for (const auto& [city, zone] : zoneOfCity) akZones2.Row({city, int64_t{zone}});

    // Alaska beyond rates in cents per hundredweight at each class up to 100 (higher classes
    // are priced from class 100), falling with each of the five Alaska weight breaks.
    static const std::pair<const char*, double> kClasses[] = {
        {"50", 0.62},   {"55", 0.66}, {"60", 0.70},   {"65", 0.74}, {"70", 0.79},
        {"77.5", 0.85}, {"85", 0.90}, {"92.5", 0.95}, {"100", 1.00}};
    static const double kAkBreakShare[] = {1.00, 0.88, 0.76, 0.64, 0.55};
    Inserter akRates(db, "AK Rates");
    for (int zone = 1; zone <= 5; ++zone) {
        for (const auto& [cls, factor] : kClasses) {
            std::vector<Value> row = {"z" + std::to_string(zone) + "c" + cls, int64_t{zone},
                                      std::string(cls), int64_t{9500 + 1500 * (zone - 1)}};
            for (double share : kAkBreakShare)
                row.emplace_back(static_cast<int64_t>(
                    std::llround((5200 + 1400 * (zone - 1)) * factor * share)));
            akRates.Row(row);
        }
    }
    Inserter akAir(db, "AK Air Rates");
    for (int zone : akZonesUsed) {
        if (zone < 100) continue;
        double k = zone - 101;
        akAir.Row({int64_t{zone}, Cents(65 + 10 * k), Cents(68 + 12 * k), Cents(84 + 14 * k),
                   Cents(105 + 17 * k)});
    }
    Inserter hiRates(db, "HI Rates");
    for (int zone = 1; zone <= 14; ++zone) {
        double rate = 0.60 + 0.05 * zone;
        std::vector<Value> row = {int64_t{zone}, Cents(40.0 + 3 * zone)};
        for (int band = 0; band < 5; ++band, rate *= 0.92) row.emplace_back(Cents(rate));
        hiRates.Row(row);
    }
    Inserter prCharges(db, "PR charges");
    for (int zone = 1; zone <= 6; ++zone)
        prCharges.Row({int64_t{zone}, Cents(45.0 + 10 * zone), Cents(450.0 + 50 * zone),
                       Cents(4.50 + 0.9 * zone), Cents(3.90 + 0.8 * zone), Cents(3.40 + 0.7 * zone),
                       Cents(0.30 + 0.05 * zone)});
}

// ------------------------------------------------------------------ tariff tables

void FillAccessorials(Db& db) {
    struct Row {
        const char* name;
        double minimum, maximum, perCwt;
    };
    // Charges of the quick-reference rules tariff. C.O.D. is priced on the amount collected,
    // and it must come first in name order, where the accessorial lists expect it.
    static const Row kRows[] = {
        {"C.O.D.", 52.00, 0, 0.03},
        {"Construction site delivery", 93.00, 0, 5.00},
        {"Exhibition site delivery", 74.50, 0, 7.50},
        {"Hazardous materials", 19.00, 0, 0},
        {"HCDR", 14.50, 61.00, 3.00},
        {"Inside pickup and delivery", 39.00, 0, 6.50},
        {"Liftgate service", 111.00, 0, 5.00},
        {"Norvale GUARANTEED!", 0, 0, 0},
        {"Notification prior to delivery", 29.00, 0, 0},
        {"Redelivery", 50.00, 646.00, 6.50},
        {"Residential delivery", 69.50, 367.50, 7.00},
        {"Single shipment", 24.00, 0, 0},
        {"Sorting and segregating", 50.00, 0, 1.50},
        {"Thriftlane", 0, 0, 0},
    };
    Inserter ins(db, "accessorials");
    for (const auto& r : kRows)
        ins.Row({std::string(r.name), int64_t{0}, int64_t{0}, r.minimum, r.maximum, r.perCwt});
}

void FillTariffItems(Db& db) {
    // In title order; the quick-reference panels open items by their place in this list.
    static const std::pair<const char*, int> kItems[] = {
        {"Absolute Minimum Charge", 240},
        {"Advancing Charges", 203},
        {"Alaska Shipments", 110},
        {"Application of Tariff", 100},
        {"Arbitrary Charges, Points Beyond", 115},
        {"Bills of Lading, Corrections", 205},
        {"Blind Shipments", 241},
        {"C.O.D. and Order Notify Shipments", 206},
        {"Canadian Shipments, Customs Clearance", 208},
        {"Consolidation Handling Charge", 217},
        {"Constant Surveillance Service", 215},
        {"Construction Sites and Similar Locations", 201},
        {"Delivery Guarantee, Norvale Guaranteed Service", 200},
        {"Delivery Receipts", 242},
        {"Density Rating", 243},
        {"Description of Articles", 244},
        {"Detention with Power", 211},
        {"Detention without Power", 212},
        {"Diversion to Another Carrier", 213},
        {"Excessive Length", 238},
        {"Excessive Value", 227},
        {"Exclusive Use of Vehicle", 233},
        {"Exhibition Sites, Pickup or Delivery", 226},
        {"Extra Labor, Loading or Unloading", 214},
        {"Freeze Protection", 223},
        {"Fuel Surcharge", 245},
        {"Hazardous Materials", 232},
        {"High Cost Delivery Regions Surcharge", 235},
        {"Homeland Security Fee", 236},
        {"In-Bond Freight (U.S.)", 209},
        {"Inside Pickup and Delivery", 216},
        {"Island Delivery Fee", 237},
        {"Late Payment Charge", 207},
        {"Lift Gate Service", 218},
        {"Lineal Foot Application", 234},
        {"Marking or Tagging", 246},
        {"Mine and Remote Government Delivery Sites", 202},
        {"Minimum Charges", 247},
        {"Mixed Shipments", 248},
        {"Non-Transportation Charges", 249},
        {"Notification Prior to Delivery", 221},
        {"Overdimension Freight", 250},
        {"Pallet Exchange", 251},
        {"Payment of Charges", 252},
        {"Permits", 253},
        {"Pier and Wharf, Container Freight Station", 219},
        {"Pool Distribution", 254},
        {"Prepaid Shipments", 255},
        {"Pricing Program, Norvale Thriftlane Service", 120},
        {"Reconsignment or Diversion", 228},
        {"Redelivery", 229},
        {"Relabeling of Packages", 220},
        {"Released Value Rates", 256},
        {"Residential Delivery", 224},
        {"Return of Shipments", 257},
        {"Service After Business Hours", 225},
        {"Single Shipments", 230},
        {"Sorting or Segregating", 222},
        {"Standard Delivery Service Guarantee", 24},
        {"Storage", 231},
        {"Sufferance (Canada)", 210},
        {"Weighing of Shipments", 239},
    };
    Inserter ins(db, "tariff");
    for (const auto& [title, item] : kItems) ins.Row({std::string(title), int64_t{item}});
}

void FillSettings(Db& db, const std::string& fileListDigest) {
    std::vector<std::pair<std::string, std::string>> rows;
    const auto pricing = CustomerPricingSettings();
    rows.insert(rows.end(), pricing.begin(), pricing.end());
    rows.insert(rows.end(), {{"DC_density", "9.9"},
                             {"G!_percentage", "0.20"},
                             {"CDN_ExchangeRate", "1"},
                             {"FSC_fsc", "00.0"}});
    for (int i = 0; i < 5; ++i) rows.emplace_back("DC_defclass" + std::to_string(i), "100");
    rows.insert(rows.end(), {{"DC_origin", ""},
                             {"PONY_folder", ""},
                             {"VERSION_currver", "12.0.1"},
                             {"BL_Copies", "1"},
                             {"BL_PrintRates", "no"},
                             {"BL_UseSpecialDiscount", "no"},
                             {"BL_Discount", "00.0"},
                             {"BL_PrintBack", "no"}});
    // The tariff ships with the list of its files: a program that finds the list gone or
    // unreadable knows that it was there, and rates nothing from unchecked files.
    rows.emplace_back("TARIFF_filelist", fileListDigest);
    // The offshore charges read "0" when a key is missing; the carrier's tariff has real ones.
    rows.insert(rows.end(), {{"AK_AIR_FSC", "0.22"},
                             {"AK_FSC", "0.14"},
                             {"AK_SPECIAL_FSC", "0.18"},
                             {"HI_FSC", "0.16"},
                             {"PR_bunker_CFT", "0.30"},
                             {"PR_bunker_CWT", "1.25"},
                             {"PR_bunker_min", "12.00"},
                             {"PR_bunker_max", "150.00"},
                             {"AK_Discount", "10"},
                             {"AK_HMOcean_CFT", "4.50"},
                             {"AK_HMOcean_MIN", "45.00"},
                             {"AK_HMOcean_MAX", "350.00"},
                             {"AK_MilitaryBase_Lo", "45.00"},
                             {"AK_MilitaryBase_Med", "75.00"},
                             {"AK_MilitaryBase_Hi", "125.00"},
                             {"PR_docs", "35.00"},
                             {"PR_HMOcean", "95.00"},
                             {"HI_WHARFAGE_MilitaryBase", "55.00"},
                             {"HI_HMDelivery", "65.00"},
                             {"HI_DID_CWT", "6.50"},
                             {"HI_DID_MIN", "45.00"},
                             {"HI_RSD", "55.00"},
                             {"PR_XCV_outbound_CFT", "2.85"},
                             {"PR_XCV_outbound_CWT", "14.50"},
                             {"PR_XCV_floor", "185.00"},
                             {"PR_NJV_outbound_CFT", "2.65"},
                             {"PR_NJV_outbound_CWT", "13.75"},
                             {"PR_NJV_floor", "175.00"},
                             {"PR_NMF_outbound_CFT", "2.75"},
                             {"PR_NMF_outbound_CWT", "14.00"},
                             {"HI_OCEAN_L400", "3.25"},
                             {"HI_OCEAN_L800", "2.95"},
                             {"HI_OCEAN_M800", "2.70"},
                             {"HI_OCEAN_min", "95.00"},
                             {"HI_WHARFAGE_CFT", "0.12"},
                             {"HI_WHARFAGE_min", "15.00"},
                             {"HI_HMOcean_CFT", "0.85"},
                             {"HI_HMOcean_MIN", "75.00"}});
    const std::pair<const char*, std::pair<const char*, const char*>> kWillCall[] = {
        {"OAHU", {"0.25", "35.00"}},
        {"MAUI", {"0.30", "40.00"}},
        {"KAUI", {"0.30", "40.00"}},
        {"HAWAI", {"0.32", "42.00"}}};
    for (const auto& [island, charge] : kWillCall) {
        rows.emplace_back(std::string("HI_WILLCALL_") + island + "_CFT", charge.first);
        rows.emplace_back(std::string("HI_WILLCALL_") + island + "_minchg", charge.second);
    }
    Inserter ins(db, "tblConfig");
    for (const auto& [key, value] : rows) ins.Row({key, value});
}

// The customer's default program "ALL": one discount and one FAK row per region and
// direction, inbound first, and the region of every listed state.
void FillCustomerDefaults(Db& db) {
    Inserter discounts(db, "discounts"), fak(db, "faktable");
    for (int region : {1, 4, 254}) {
        for (int ibob : {1, 0}) {
            const std::string pct = DefaultProgramDiscount(region, ibob);
            std::vector<Value> row = {"ALL", int64_t{region}, int64_t{ibob}, "00.00"};
            for (int b = 0; b < kGridValues; ++b) row.emplace_back(pct);
            discounts.Row(row);
            fak.Row(
                {"ALL", int64_t{ibob}, int64_t{region}, "000102030405060708091011121314151617"});
        }
    }
    Inserter states(db, "states");
    for (const auto& s : StateList())
        states.Row({s.code, "ALL", int64_t{RegionOfState(s.code) == Region::QZF ? 254 : 1}});
    Inserter thriftlane(db, "Thriftlane");
    // Economy service is sold below the standard discounts: a deeper discount, later delivery.
    thriftlane.Row({"62.0"});
}

}  // namespace

std::vector<StateLine> StateList() {
    // Alaska, Hawaii and Puerto Rico are rated through their mainland gateways, and Nunavut
    // and the Northwest Territories are not served, so the list fits its 60 usable rows.
    static const std::vector<StateLine> kLines = {
        {"Alabama", "AL"},
        {"Arizona", "AZ"},
        {"Arkansas", "AR"},
        {"California", "CA"},
        {"Colorado", "CO"},
        {"Connecticut", "CT"},
        {"Delaware", "DE"},
        {"District of Columbia", "DC"},
        {"Florida", "FL"},
        {"Georgia", "GA"},
        {"Idaho", "ID"},
        {"Illinois", "IL"},
        {"Indiana", "IN"},
        {"Iowa", "IA"},
        {"Kansas", "KS"},
        {"Kentucky", "KY"},
        {"Louisiana", "LA"},
        {"Maine", "ME"},
        {"Maryland", "MD"},
        {"Massachusetts", "MA"},
        {"Michigan", "MI"},
        {"Minnesota", "MN"},
        {"Mississippi", "MS"},
        {"Missouri", "MO"},
        {"Montana", "MT"},
        {"Nebraska", "NE"},
        {"Nevada", "NV"},
        {"New Hampshire", "NH"},
        {"New Jersey", "NJ"},
        {"New Mexico", "NM"},
        {"New York", "NY"},
        {"North Carolina", "NC"},
        {"North Dakota", "ND"},
        {"Ohio", "OH"},
        {"Oklahoma", "OK"},
        {"Oregon", "OR"},
        {"Pennsylvania", "PA"},
        {"Rhode Island", "RI"},
        {"South Carolina", "SC"},
        {"South Dakota", "SD"},
        {"Tennessee", "TN"},
        {"Texas", "TX"},
        {"Utah", "UT"},
        {"Vermont", "VT"},
        {"Virginia", "VA"},
        {"Washington", "WA"},
        {"West Virginia", "WV"},
        {"Wisconsin", "WI"},
        {"Wyoming", "WY"},
        {"Alberta", "AB"},
        {"British Columbia", "BC"},
        {"Manitoba", "MB"},
        {"New Brunswick", "NB"},
        {"Newfoundland and Labrador", "NL"},
        {"Nova Scotia", "NS"},
        {"Ontario", "ON"},
        {"Prince Edward Island", "PE"},
        {"Quebec", "QC"},
        {"Saskatchewan", "SK"},
        {"Yukon", "YT"},
    };
    return kLines;
}

void WriteDatabase(const Geography& g, const std::string& path, const std::string& fileListDigest) {
    std::remove(path.c_str());
    Db db(path);
    db.Exec("PRAGMA journal_mode=OFF");
    db.Exec("PRAGMA synchronous=OFF");
    db.Exec("BEGIN");
    CreateTables(db);
    FillAccessorials(db);
    FillTariffItems(db);
    FillSettings(db, fileListDigest);
    FillCustomerDefaults(db);
    FillGeography(db, g);
    FillBaseZones(db, g);
    FillServiceCenters(db, g);
    FillPointLists(db, g);
    FillOffshore(db, g);
    CreateIndexes(db);
    db.Exec("COMMIT");
}

}  // namespace sampletariff
