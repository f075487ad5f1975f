#include "upgrade.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <QDir>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "database.h"
#include "tariffdb.h"

namespace fs = std::filesystem;

namespace {

// The old engine's error number for a file that is not a database.
constexpr int kErrNotADatabase = 3343;
// More lines than this make a message taller than the screen.
constexpr size_t kMostLinesShown = 30;
// The regions a location can have.
constexpr int64_t kMostRegions = 13;
// Ids are 32-bit.
constexpr int64_t kHighestId = 2147483647;
// The commodity lines a bill of lading holds.
constexpr int kBLLinesMost = 5;

const std::string kAlias = kUpgradeSourceAlias;

StoredBillsCheck& BillsCheck() {
    static StoredBillsCheck check;
    return check;
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

// Text written for an SQLite URI: every byte that is not plainly safe in a path as %HH.
std::string UriEscaped(const std::string& text) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// The file to attach as an SQLite URI, so that it opens read-only. The file the user chose goes
// along as a parameter the engine keeps but does not use, for the messages to name.
std::string ReadOnlyUri(const fs::path& file, const std::string& chosen) {
    return "file:" + UriEscaped(fs::absolute(file).string()) +
           "?mode=ro&earlier=" + UriEscaped(chosen);
}

// Bytes 18 and 19 of an SQLite file's header are 2 when it keeps a write-ahead log.
bool KeepsWriteAheadLog(const fs::path& file) {
    static const char kMagic[] = "SQLite format 3";
    char header[20] = {};
    std::ifstream in(file, std::ios::binary);
    if (!in.read(header, sizeof header)) return false;
    return std::equal(kMagic, kMagic + sizeof kMagic, header) &&
           (header[18] == 2 || header[19] == 2);
}

// Copies the file and its log, if it has one, into a new private folder; returns the folder.
std::string CopyWithLog(const fs::path& file) {
    std::string folder = (fs::temp_directory_path() / "fretlyn_upgrade_XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    try {
        fs::copy_file(file, fs::path(folder) / file.filename());
        fs::path log = file;
        log += "-wal";
        std::error_code ec;
        if (fs::is_regular_file(log, ec))
            fs::copy_file(log, fs::path(folder) / (file.filename().string() + "-wal"));
    } catch (...) {
        std::error_code ec;
        fs::remove_all(folder, ec);
        throw;
    }
    return folder;
}

std::string LockedMessage(const std::string& file) {
    return "The database " + file +
           " is locked by another program.  Try again when that program has finished with it.";
}

// An error of the earlier file, told with its name: the engine's own words name the program's
// database, whichever file of the connection failed.
[[noreturn]] void ThrowSourceError(Database& db, const DbError& e) {
    const std::string file = EarlierFileName(db);
    if (e.number() == kErrLocked) throw DbError(kErrLocked, LockedMessage(file));
    if (e.number() == kErrReadOnly)
        throw DbError(kErrSourceReadOnly, "The database " + file +
                                              " cannot be opened for reading, nor the files "
                                              "the engine keeps beside it.");
    throw DbError(e.number(), "The database " + file + " could not be read: " + e.what());
}

// Runs a step that reads the earlier file; its errors name that file.
template <typename F>
auto ReadingSource(Database& db, F&& step) {
    try {
        return step();
    } catch (const DbError& e) {
        ThrowSourceError(db, e);
    }
}

// The field names of a table in one of the connection's databases, in field order; empty when
// that database has no such table.
std::vector<std::string> FieldsOf(Database& db, const std::string& schema,
                                  const std::string& table) {
    Statement st(db.handle(), "SELECT name FROM pragma_table_info(?1, ?2) ORDER BY cid");
    st.bind(1, table);
    st.bind(2, schema);
    std::vector<std::string> names;
    while (st.step()) names.push_back(st.column(0).str());
    return names;
}

// A table's name as the program's database spells it, for messages.
std::string StoredName(Database& db, const std::string& table) {
    Statement st(db.handle(),
                 "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name = ?1 "
                 "COLLATE NOCASE");
    st.bind(1, table);
    return st.step() ? st.column(0).str() : table;
}

bool HasTable(Database& db, const std::string& schema, const std::string& table) {
    Statement st(db.handle(), "SELECT 1 FROM " + QuoteIdentifier(schema) +
                                  ".sqlite_master WHERE type = 'table' AND name = ?1 "
                                  "COLLATE NOCASE");
    st.bind(1, table);
    return st.step();
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameName(n, name); });
}

// The fields the indexes of one of the program's tables are built on.
std::vector<std::string> IndexedFields(Database& db, const std::string& table) {
    std::vector<std::string> indexes;
    Statement list(db.handle(), "SELECT name FROM pragma_index_list(?1, 'main')");
    list.bind(1, table);
    while (list.step()) indexes.push_back(list.column(0).str());
    std::vector<std::string> fields;
    for (const auto& index : indexes) {
        Statement info(db.handle(), "SELECT name FROM pragma_index_info(?1, 'main')");
        info.bind(1, index);
        while (info.step())
            if (!Contains(fields, info.column(0).str())) fields.push_back(info.column(0).str());
    }
    return fields;
}

std::string FieldList(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + QuoteIdentifier(n);
    return list;
}

std::string Direction(int64_t ibob) {
    return ibob == 1 ? "inbound" : ibob == 0 ? "outbound" : "direction " + std::to_string(ibob);
}

// A row of a pricing table by its location, region and direction.
using PricingKey = std::tuple<std::string, int64_t, int64_t>;

std::string Describe(const PricingKey& key) {
    const auto& [zip, region, ibob] = key;
    return "\"" + zip + "\" region " + std::to_string(region) + " " + Direction(ibob);
}

// A pricing row by its location, region and direction as stored, whatever their type.
std::string DescribeStored(const Value& zip, const Value& region, const Value& ibob) {
    return "\"" + zip.str() + "\" region " + region.str() + " " +
           (ibob.isInteger() ? Direction(ibob.toInt()) : "direction " + ibob.str());
}

// Rows whose region or direction is no whole number are told by CheckRows, not counted here.
std::map<PricingKey, int64_t> RowsPerKey(Database& db, const std::string& table) {
    std::map<PricingKey, int64_t> counts;
    Snapshot s = db.OpenSnapshot("SELECT zip, region, IBOB FROM main." + QuoteIdentifier(table) +
                                 " WHERE typeof(region) = 'integer' AND typeof(IBOB) = 'integer'");
    for (; !s.AtEOF(); s.MoveNext())
        ++counts[{Upper(s.Field(0).str()), s.Field(1).toInt(), s.Field(2).toInt()}];
    return counts;
}

bool FitsPattern(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == 'N' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

// Eighteen two-digit class indexes, each 00 to 17.
bool IsFAKProfile(const std::string& profile) {
    if (profile.size() != 36) return false;
    for (size_t i = 0; i < 36; i += 2) {
        if (!FitsPattern(profile.substr(i, 2), "NN")) return false;
        if (std::stoi(profile.substr(i, 2)) > 17) return false;
    }
    return true;
}

const char* const kBreakFields[] = {"dmc",  "dL5C", "d5c",  "d1m",  "d2m", "d5m",
                                    "d10m", "d15m", "d20m", "d25m", "d30m"};

void CheckDiscountRows(Database& db, std::vector<std::string>& problems) {
    std::string fields = "zip, region, IBOB, Floor";
    for (const char* f : kBreakFields) fields += std::string(", ") + f;
    Snapshot s = db.OpenSnapshot("SELECT " + fields + " FROM main.discounts");
    for (; !s.AtEOF(); s.MoveNext()) {
        const std::string row = DescribeStored(s.Field(0), s.Field(1), s.Field(2));
        const std::string floor = s.Field(3).str();
        if (!FitsPattern(floor, "NN.NN"))
            problems.push_back("The floor of " + row + " is \"" + floor + "\", not NN.NN.");
        for (size_t i = 0; i < std::size(kBreakFields); ++i) {
            const std::string pct = s.Field(4 + i).str();
            if (!FitsPattern(pct, "NN.N"))
                problems.push_back("The discount " + std::string(kBreakFields[i]) + " of " + row +
                                   " is \"" + pct + "\", not NN.N.");
        }
    }
}

void CheckProfiles(Database& db, std::vector<std::string>& problems) {
    Snapshot s = db.OpenSnapshot("SELECT zip, region, IBOB, profil FROM main.faktable");
    for (; !s.AtEOF(); s.MoveNext()) {
        const std::string profile = s.Field(3).str();
        if (!IsFAKProfile(profile))
            problems.push_back("The FAK profile of " +
                               DescribeStored(s.Field(0), s.Field(1), s.Field(2)) + " is \"" +
                               profile + "\", not 18 class indexes 00 to 17.");
    }
}

// An SQL test that a field holds a whole number from lowest to highest.
std::string WholeIn(const std::string& field, int64_t lowest, int64_t highest) {
    const std::string f = QuoteIdentifier(field);
    return "(typeof(" + f + ") = 'integer' AND " + f + " BETWEEN " + std::to_string(lowest) +
           " AND " + std::to_string(highest) + ")";
}

// An SQL test that a field holds the id of a row on file in another table.
std::string OnFile(const std::string& table, const std::string& field, const std::string& target,
                   const std::string& key) {
    return "EXISTS (SELECT 1 FROM main." + QuoteIdentifier(target) + " AS other WHERE other." +
           QuoteIdentifier(key) + " = " + QuoteIdentifier(table) + "." + QuoteIdentifier(field) +
           ")";
}

std::string Shown(const Value& v) {
    return v.isNull() ? "nothing" : "\"" + v.str() + "\"";
}

// Every row of a table whose field fails the test, named by its row number and the fields
// that tell it apart: "table: row N (name "…") has field "…", not wanted."
void CheckRows(Database& db, const std::string& table, const std::vector<std::string>& names,
               const std::string& field, const std::string& test, const std::string& wanted,
               std::vector<std::string>& problems) {
    std::string select = "SELECT rowid, " + QuoteIdentifier(field);
    for (const auto& n : names) select += ", " + QuoteIdentifier(n);
    Snapshot s = db.OpenSnapshot(select + " FROM main." + QuoteIdentifier(table) +
                                 " WHERE NOT coalesce(" + test + ", 0) ORDER BY rowid");
    for (; !s.AtEOF(); s.MoveNext()) {
        std::string row;
        for (size_t i = 0; i < names.size(); ++i)
            row += (i ? ", " : "") + names[i] + " " + Shown(s.Field(2 + i));
        problems.push_back(table + ": row " + s.Field(size_t{0}).str() + " (" + row + ") has " +
                           field + " " + Shown(s.Field(1)) + ", not " + wanted + ".");
    }
}

// Regions are 1 to 13 for a location and 1, 4 or 254 for the default program. Every region is
// checked before any of them sizes a list.
void CheckRegions(Database& db, std::vector<std::string>& problems) {
    const std::string test =
        "typeof(region) = 'integer' AND CASE WHEN zip = 'ALL' THEN region IN (1, 4, 254) "
        "ELSE region BETWEEN 1 AND " +
        std::to_string(kMostRegions) + " END";
    const std::string wanted =
        "a region 1 to " + std::to_string(kMostRegions) + " (1, 4 or 254 for \"ALL\")";
    CheckRows(db, "states", {"State", "zip"}, "region", test, wanted, problems);
    for (const char* table : {"discounts", "faktable"}) {
        CheckRows(db, table, {"zip"}, "region", test, wanted, problems);
        CheckRows(db, table, {"zip", "region"}, "IBOB", WholeIn("IBOB", 0, 1), "0 or 1", problems);
    }
}

// Exactly one row of each table per location, region and direction.
void CheckOneRowPerKey(const std::map<PricingKey, int64_t>& discounts,
                       const std::map<PricingKey, int64_t>& fak, const PricingKey& key,
                       std::vector<std::string>& problems) {
    for (const auto& [rows, what] : {std::pair{&discounts, "discount"}, std::pair{&fak, "FAK"}}) {
        const auto it = rows->find(key);
        const int64_t n = it == rows->end() ? 0 : it->second;
        if (n == 0)
            problems.push_back(Describe(key) + " has no " + what + " row.");
        else if (n > 1)
            problems.push_back(Describe(key) + " has " + std::to_string(n) + " " + what + " rows.");
    }
}

// The skips of a group, with the reason the group was not copied in front of them.
void NoteGroupFailure(UpgradeReport& report, size_t groupStart,
                      const std::vector<std::string>& lines) {
    report.skips.insert(report.skips.begin() + static_cast<std::ptrdiff_t>(groupStart),
                        lines.begin(), lines.end());
}

// Every open recordset of the tables copied stands on its first row again, as a freshly opened
// one does, so none of them keeps a row that is no longer there.
void RefreshRecordsets(Database& db, const std::vector<std::string>& tables) {
    const auto open = db.Recordsets();
    for (const auto& rs : open)
        if (rs->IsOpen() && Contains(tables, rs->Name())) rs->MoveFirst();
}

class Hourglass {
  public:
    explicit Hourglass(const UpgradeHooks& hooks) : hooks_(hooks) {
        if (hooks_.hourglass) hooks_.hourglass(true);
    }
    ~Hourglass() {
        if (hooks_.hourglass) hooks_.hourglass(false);
    }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

  private:
    const UpgradeHooks& hooks_;
};

}  // namespace

const std::vector<std::string>& DiscountTables() {
    static const std::vector<std::string> kTables = {"shipzips", "states", "discounts", "faktable"};
    return kTables;
}

const std::vector<std::string>& BillOfLadingTables() {
    static const std::vector<std::string> kTables = {"bills", "BL NOTES", "BL parties", "BLdetail",
                                                     "commodity"};
    return kTables;
}

std::string EditionProduct(int edition) {
    return "Fretlyn200" + std::to_string(edition);
}

std::string EarlierEditionFolder(int edition) {
    return (fs::path(QDir::homePath().toStdString()) / "Qamaris" /
            ("Norvale " + EditionProduct(edition)) / "data")
        .string();
}

std::string EarlierEditionFile(int edition) {
    return "x200" + std::to_string(edition) + ".mdb";
}

std::string CurrentEditionFolder() {
    return fs::path(TariffDatabasePath()).parent_path().string();
}

// ---------------------------------------------------------------- UpgradeSource

UpgradeSource::~UpgradeSource() {
    Close();
}

int UpgradeSource::Open(const std::string& path, const std::vector<std::string>& tables) {
    Close();
    path_ = path;
    problem_.clear();
    const fs::path file(path);
    const std::string folder = file.parent_path().string();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        problem_ =
            "There is no file " + file.filename().string() + " in the folder " + folder + ".";
        return kErrSourceMissing;
    }
    fs::path read = file;
    if (KeepsWriteAheadLog(file)) {
        try {
            copyFolder_ = CopyWithLog(file);
        } catch (const std::exception& e) {
            problem_ = "The file " + path + " could not be copied to be read: " + e.what();
            return kErrSourceReadOnly;
        }
        read = fs::path(copyFolder_) / file.filename();
    }
    try {
        db_.Execute("ATTACH DATABASE ?1 AS " + kAlias, {ReadOnlyUri(read, path)});
    } catch (const DbError& e) {
        Close();
        // The engine's own words would name the program's database.
        if (e.number() == kErrLocked) {
            problem_ = LockedMessage(path);
            return kErrLocked;
        }
        problem_ = "The file " + path + " could not be opened.";
        return kErrSourceReadOnly;
    }
    attached_ = true;
    if (sqlite3_db_readonly(db_.handle(), kAlias.c_str()) != 1) {
        Close();
        problem_ = "The file " + path + " could not be opened read-only.";
        return kErrSourceReadOnly;
    }
    try {
        std::vector<std::string> missing;
        ReadingSource(db_, [&] {
            for (const auto& t : tables)
                if (!HasTable(db_, kAlias, t)) missing.push_back("\"" + t + "\"");
        });
        if (!missing.empty()) {
            std::string list;
            for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
            Close();
            problem_ = "The file " + path + " has no table " + list + ".";
            return kErrSourceTables;
        }
    } catch (const DbError& e) {
        Close();
        // A file another program holds is sound: it is only busy.
        if (e.number() == kErrLocked || e.number() == kErrSourceReadOnly) {
            problem_ = e.what();
            return e.number();
        }
        problem_ = "The file " + path + " is not a Fretlyn database.";
        return kErrNotADatabase;
    }
    return 0;
}

void UpgradeSource::Close() {
    if (attached_) {
        attached_ = false;
        if (db_.IsOpen()) {
            // The engine keeps a read lock on every attached file while any statement of the
            // connection is under way, and the recordsets leave theirs standing between moves.
            // Ending them costs nothing: each recordset keeps its current row and, seeing the
            // data version move on, starts its next walk afresh from that row.
            for (sqlite3_stmt* st = sqlite3_next_stmt(db_.handle(), nullptr); st;
                 st = sqlite3_next_stmt(db_.handle(), st))
                if (sqlite3_stmt_busy(st)) sqlite3_reset(st);
            db_.touch();
            try {
                db_.Execute("DETACH DATABASE " + kAlias);
            } catch (const DbError&) {
                // Still attached read-only: it goes with the connection, and nothing writes to
                // it.
            }
        }
    }
    if (!copyFolder_.empty()) {
        std::error_code ec;
        fs::remove_all(copyFolder_, ec);
        copyFolder_.clear();
    }
}

std::string EarlierFileName(Database& db) {
    const char* file = sqlite3_db_filename(db.handle(), kAlias.c_str());
    if (!file || !*file) return "of the earlier edition";
    const char* chosen = sqlite3_uri_parameter(file, "earlier");
    return chosen && *chosen ? chosen : file;
}

// ---------------------------------------------------------------- copying

std::vector<std::string> UpgradeTable(Database& db, const std::string& table,
                                      UpgradeReport& report) {
    const std::vector<std::string> target = FieldsOf(db, "main", table);
    const std::vector<std::string> source =
        ReadingSource(db, [&] { return FieldsOf(db, kAlias, table); });
    if (target.empty())
        throw DbError(kErrNotFound, "Fretlyn2007's database has no table \"" + table + "\".");
    if (source.empty())
        throw DbError(kErrNotFound, "The earlier database has no table \"" + table + "\".");

    const std::string name = StoredName(db, table);
    // Rows without the fields the target finds its rows by could never be found again.
    std::vector<std::string> lacking;
    for (const auto& f : IndexedFields(db, table))
        if (!Contains(source, f)) lacking.push_back("\"" + f + "\"");
    if (!lacking.empty()) {
        std::string list;
        for (const auto& f : lacking) list += (list.empty() ? "" : ", ") + f;
        throw DbError(kErrFieldNotFound, "The table \"" + name + "\" of " + EarlierFileName(db) +
                                             " has no field " + list +
                                             ", by which Fretlyn2007 finds its rows.");
    }

    std::vector<std::string> common;
    for (const auto& f : target) {
        if (Contains(source, f))
            common.push_back(f);
        else
            report.skips.push_back(name + ": the earlier database has no field \"" + f +
                                   "\"; the copied rows leave it empty.");
    }
    for (const auto& f : source)
        if (!Contains(target, f))
            report.skips.push_back(name + ": the field \"" + f +
                                   "\" of the earlier database has no place in Fretlyn2007 "
                                   "and was not copied.");
    if (common.empty())
        throw DbError(kErrGeneral, "The table \"" + table +
                                       "\" has no field in common with "
                                       "the earlier database's.");

    db.Execute("DELETE FROM main." + QuoteIdentifier(table));

    // The editors rely on a region's inbound row standing before its outbound one.
    const std::string order = Contains(common, "IBOB") ? " ORDER BY \"IBOB\" DESC, rowid" : "";
    Statement read = ReadingSource(db, [&] {
        return Statement(db.handle(), "SELECT " + FieldList(common) + " FROM " +
                                          QuoteIdentifier(kAlias) + "." + QuoteIdentifier(table) +
                                          order);
    });
    std::string marks;
    for (size_t i = 0; i < common.size(); ++i) marks += i ? ", ?" : "?";
    Statement write(db.handle(), "INSERT INTO main." + QuoteIdentifier(table) + " (" +
                                     FieldList(common) + ") VALUES (" + marks + ")");
    std::vector<std::string> repeated;
    int64_t rowNumber = 0;
    while (ReadingSource(db, [&] { return read.step(); })) {
        ++rowNumber;
        write.reset();
        for (size_t i = 0; i < common.size(); ++i)
            write.bind(static_cast<int>(i + 1), read.column(static_cast<int>(i)));
        try {
            write.step();
        } catch (const DbError& e) {
            if (e.number() != kErrDuplicateKey) throw;
            std::string key;
            for (size_t i = 0; i < std::min<size_t>(2, common.size()); ++i)
                key += (i ? ", " : "") + common[i] + " \"" +
                       read.column(static_cast<int>(i)).str() + "\"";
            repeated.push_back(name + ": row " + std::to_string(rowNumber) + " (" + key + ")");
        }
    }
    db.touch();
    return repeated;
}

std::vector<std::string> CheckPricingTables(Database& db,
                                            const std::vector<std::string>& stateCodes) {
    std::vector<std::string> problems;
    const auto discounts = RowsPerKey(db, "discounts");
    const auto fak = RowsPerKey(db, "faktable");

    std::set<PricingKey> expected;
    for (int64_t region : {1, 4, 254})
        for (int64_t ibob : {1, 0}) expected.insert({"ALL", region, ibob});

    std::vector<std::string> locations;
    for (Snapshot s = db.OpenSnapshot("SELECT zip FROM main.shipzips"); !s.AtEOF(); s.MoveNext())
        locations.push_back(Upper(s.Field(0).str()));

    std::map<std::string, std::set<std::string>> statesOf;
    for (Snapshot s = db.OpenSnapshot("SELECT State, zip FROM main.states"); !s.AtEOF();
         s.MoveNext())
        statesOf[Upper(s.Field(1).str())].insert(Upper(s.Field(0).str()));
    std::map<std::string, int64_t> highestRegion;
    for (Snapshot s = db.OpenSnapshot("SELECT zip, max(region) FROM main.states WHERE " +
                                      WholeIn("region", 1, kMostRegions) + " GROUP BY zip");
         !s.AtEOF(); s.MoveNext())
        highestRegion[Upper(s.Field(0).str())] = s.Field(1).toInt();

    for (const auto& loc : locations) {
        std::string missing;
        for (const auto& code : stateCodes)
            if (!code.empty() && !statesOf[loc].count(Upper(code)))
                missing += (missing.empty() ? "" : ", ") + code;
        if (!missing.empty())
            problems.push_back("\"" + loc + "\" has no region for the states " + missing + ".");
        for (int64_t region = 1; region <= highestRegion[loc]; ++region)
            for (int64_t ibob : {1, 0}) expected.insert({loc, region, ibob});
    }

    for (const auto& key : expected) CheckOneRowPerKey(discounts, fak, key, problems);
    // Rows beyond those a location's regions need: only duplicates can be wrong there.
    for (const auto* rows : {&discounts, &fak})
        for (const auto& [key, n] : *rows)
            if (!expected.count(key) && n > 1)
                problems.push_back(Describe(key) + " has " + std::to_string(n) + " " +
                                   (rows == &discounts ? "discount" : "FAK") + " rows.");

    CheckRegions(db, problems);
    CheckProfiles(db, problems);
    CheckDiscountRows(db, problems);
    return problems;
}

std::vector<std::string> CheckBillTables(Database& db) {
    std::vector<std::string> problems;
    const std::string id = "a whole number 1 to " + std::to_string(kHighestId);
    const std::string party = "the id of a party on file";
    auto partyOnFile = [](const char* field) {
        return WholeIn(field, 1, kHighestId) + " AND " +
               OnFile("Bills", field, "BL parties", "Party ID");
    };
    const std::vector<std::string> bill = {"BL ID", "BL number"};
    CheckRows(db, "Bills", bill, "BL ID", WholeIn("BL ID", 1, kHighestId), id, problems);
    CheckRows(db, "Bills", bill, "Shipper ID", partyOnFile("Shipper ID"), party, problems);
    CheckRows(db, "Bills", bill, "Consignee ID", partyOnFile("Consignee ID"), party, problems);
    CheckRows(
        db, "Bills", bill, "Bill To ID",
        "\"Bill To ID\" IS NULL OR \"Bill To ID\" IS 0 OR (" + partyOnFile("Bill To ID") + ")",
        "0 or " + party, problems);

    const std::string billOnFile = "the id of a bill on file";
    CheckRows(
        db, "BL Notes", {"BL ID"}, "BL ID",
        WholeIn("BL ID", 1, kHighestId) + " AND " + OnFile("BL Notes", "BL ID", "Bills", "BL ID"),
        billOnFile, problems);
    const std::vector<std::string> line = {"BL ID", "commodity ID"};
    CheckRows(
        db, "BLdetail", line, "BL ID",
        WholeIn("BL ID", 1, kHighestId) + " AND " + OnFile("BLdetail", "BL ID", "Bills", "BL ID"),
        billOnFile, problems);
    CheckRows(db, "BLdetail", line, "commodity ID",
              WholeIn("commodity ID", 1, kHighestId) + " AND " +
                  OnFile("BLdetail", "commodity ID", "Commodity", "commodity ID"),
              "the id of a commodity on file", problems);

    const std::vector<std::string> name = {"Party ID", "Name"};
    CheckRows(db, "BL parties", name, "Party ID", WholeIn("Party ID", 1, kHighestId), id, problems);
    CheckRows(db, "BL parties", name, "role", WholeIn("role", 1, 7), "a role 1 to 7", problems);

    const std::vector<std::string> commodity = {"commodity ID", "Description"};
    CheckRows(db, "Commodity", commodity, "commodity ID", WholeIn("commodity ID", 1, kHighestId),
              id, problems);
    CheckRows(db, "Commodity", commodity, "Weight",
              "\"Weight\" IS NULL OR (typeof(\"Weight\") IN ('integer', 'real') AND \"Weight\" "
              "BETWEEN 0 AND " +
                  std::to_string(kHighestId) + ")",
              "a weight 0 to " + std::to_string(kHighestId), problems);
    CheckRows(db, "Commodity", commodity, "HAZMAT",
              "\"HAZMAT\" IS NULL OR " + WholeIn("HAZMAT", 0, 1), "0 or 1", problems);

    // The window and the rating take five lines: more would be dropped without a word.
    Snapshot crowded = db.OpenSnapshot(
        "SELECT d.\"BL ID\", b.\"BL number\", count(*) FROM main.BLdetail AS d LEFT JOIN "
        "main.Bills AS b ON b.\"BL ID\" = d.\"BL ID\" GROUP BY d.\"BL ID\" HAVING count(*) > ?1 "
        "ORDER BY min(d.rowid)",
        {kBLLinesMost});
    for (; !crowded.AtEOF(); crowded.MoveNext())
        problems.push_back("Bills: the bill with BL ID " + Shown(crowded.Field(size_t{0})) +
                           ", BL number " + Shown(crowded.Field(size_t{1})) + " has " +
                           crowded.Field(size_t{2}).str() + " lines, not at most " +
                           std::to_string(kBLLinesMost) + ".");
    if (!problems.empty()) return problems;

    // The windows read the rows as records: only rows whose ids and roles are whole numbers in
    // range can be read, so these checks wait until those above hold.
    if (!BillsCheck())
        return {"This build of Fretlyn has no checks of bills of lading to run on them."};
    return BillsCheck()();
}

void SetUpgradeBillsCheck(StoredBillsCheck check) {
    BillsCheck() = std::move(check);
}

namespace {

// The tables of the bills themselves; the parties and commodities they name stand apart.
bool IsBillsOwnTable(const std::string& table) {
    return SameName(table, "bills") || SameName(table, "BL NOTES") || SameName(table, "BLdetail");
}

int64_t RowCount(Database& db, const std::string& table) {
    return db.OpenSnapshot("SELECT count(*) FROM main." + QuoteIdentifier(table))
        .Field(size_t{0})
        .toInt();
}

// When the earlier file's bills cannot be read (a damaged page), the parties and commodities,
// which may read whole, are copied without them, as one transaction and through the same
// checks. The bills group replaces the current rows, so the program's own bills go as they would
// have: left, they would name parties and commodities that are no longer theirs. Returns the
// lines of the report.
std::vector<std::string> CopyPartiesAndCommodities(Database& db, UpgradeReport& report) {
    const std::vector<std::string> kApart = {"BL parties", "commodity"};
    db.BeginTrans();
    try {
        std::vector<std::string> problems;
        for (const char* table : {"bills", "BL NOTES", "BLdetail"})
            db.Execute("DELETE FROM main." + QuoteIdentifier(table));
        for (const auto& t : kApart)
            for (const auto& row : UpgradeTable(db, t, report))
                problems.push_back(row + " repeats a key.");
        const std::vector<std::string> checked = CheckBillTables(db);
        problems.insert(problems.end(), checked.begin(), checked.end());
        if (!problems.empty()) {
            db.Rollback();
            problems.insert(problems.begin(),
                            "Their parties and commodities were not copied either: they fail "
                            "these checks.");
            return problems;
        }
        const int64_t parties = RowCount(db, "BL parties");
        const int64_t commodities = RowCount(db, "commodity");
        db.CommitTrans();
        report.changed = true;
        auto count = [](int64_t n, const char* one, const char* many) {
            return std::to_string(n) + " " + (n == 1 ? one : many);
        };
        return {"What could be read was copied without the bills: " +
                count(parties, "party", "parties") + " and " +
                count(commodities, "commodity", "commodities") +
                ".  The bills of lading, their lines and notes were not copied; "
                "Fretlyn2007 now holds none."};
    } catch (const std::exception& e) {
        db.Rollback();
        return {std::string("Their parties and commodities could not be copied either. ") +
                e.what()};
    }
}

}  // namespace

bool UpgradeGroup(Database& db, const std::vector<std::string>& tables,
                  const std::vector<std::string>& stateCodes, const std::string& groupName,
                  UpgradeReport& report) {
    const size_t groupStart = report.skips.size();
    const bool pricing = tables == DiscountTables();
    const bool bills = tables == BillOfLadingTables();
    std::string failing;
    bool copied = false;
    try {
        // Taking the write lock also starts reading the earlier file: a lock on that file is
        // told here with its own name, before one on the program's database could be.
        ReadingSource(db, [&] {
            db.OpenSnapshot("SELECT count(*) FROM " + QuoteIdentifier(kAlias) + ".sqlite_master");
        });
        db.BeginTrans();
        try {
            std::vector<std::string> problems;
            for (const auto& t : tables) {
                failing = t;
                // A bill's lines and notes find their bill by its key alone: with a repeated key
                // they would land on whichever bill was kept.
                for (const auto& row : UpgradeTable(db, t, report)) {
                    if (bills)
                        problems.push_back(row + " repeats a key.");
                    else
                        report.skips.push_back(row + " repeats a key and was left out.");
                }
            }
            failing.clear();
            std::vector<std::string> checked;
            if (pricing) checked = CheckPricingTables(db, stateCodes);
            if (bills) checked = CheckBillTables(db);
            problems.insert(problems.end(), checked.begin(), checked.end());
            if (problems.empty()) {
                db.CommitTrans();
                copied = true;
            } else {
                db.Rollback();
                problems.insert(problems.begin(),
                                groupName + " were not copied: they fail these checks.");
                NoteGroupFailure(report, groupStart, problems);
            }
        } catch (const std::exception& e) {
            db.Rollback();
            const std::string where =
                failing.empty() ? "their check failed" : "the table \"" + failing + "\" failed";
            std::vector<std::string> lines = {groupName + " were not copied: " + where + ". " +
                                              e.what()};
            const auto* damaged = dynamic_cast<const DbError*>(&e);
            if (bills && IsBillsOwnTable(failing) && damaged && damaged->number() == kErrDamaged) {
                const std::vector<std::string> apart = CopyPartiesAndCommodities(db, report);
                lines.insert(lines.end(), apart.begin(), apart.end());
            }
            NoteGroupFailure(report, groupStart, lines);
        }
        RefreshRecordsets(db, tables);
    } catch (const std::exception& e) {
        NoteGroupFailure(report, groupStart, {groupName + " were not copied. " + e.what()});
    }
    if (copied) report.changed = true;
    return copied;
}

UpgradeReport UpgradeDatabases(Database& db, const UpgradeChoice& choice,
                               const std::vector<std::string>& stateCodes,
                               const UpgradeHooks& hooks) {
    const std::string product = EditionProduct(choice.edition);
    UpgradeReport report;
    if (choice.discounts) {
        const int answer = hooks.message(
            "This will remove all discount\ncustomizations you have made to\nyour Fretlyn2007 "
            "and replace\nthem with the values from your\n" +
                product + ".  Are you sure?",
            kUpgradeMsgYesNo, "Confirm");
        if (answer == kUpgradeAnswerYes) {
            report.confirmed = true;
            Hourglass busy(hooks);
            UpgradeGroup(db, DiscountTables(), stateCodes, "The discount customizations", report);
        } else {
            hooks.message("Click OK.", kUpgradeMsgOK, "Action canceled");
        }
    }
    if (choice.billsOfLading) {
        const int answer = hooks.message(
            "This will remove all Bill of Lading\nentries you have made using your\nFretlyn2007 "
            "and replace them\nwith your all the Bill of Lading\ndata from your " +
                product +
                " system.\nThis includes the B/Ls themselves, as\nwell as all B/L parties and "
                "commodities.\nAre you sure?",
            kUpgradeMsgYesNo, "Confirm");
        if (answer == kUpgradeAnswerYes) {
            report.confirmed = true;
            Hourglass busy(hooks);
            UpgradeGroup(db, BillOfLadingTables(), stateCodes, "The Bill of Lading data", report);
        } else {
            hooks.message("Click OK.", kUpgradeMsgOK, "Action canceled");
        }
    }
    return report;
}

void ShowUpgradeOutcome(const UpgradeReport& report, const UpgradeHooks& hooks) {
    if (!report.confirmed) return;
    if (report.skips.empty()) {
        hooks.message("Upgrade finished", kUpgradeMsgInfo, "Thanks for choosing Norvale Freight!");
        return;
    }
    std::string text = "Not everything was upgraded:";
    const size_t shown = std::min(report.skips.size(), kMostLinesShown);
    for (size_t i = 0; i < shown; ++i) text += "\n" + report.skips[i];
    if (report.skips.size() > shown)
        text += "\n... and " + std::to_string(report.skips.size() - shown) + " more.";
    hooks.message(text, kUpgradeMsgOK, "Upgrade incomplete");
}
