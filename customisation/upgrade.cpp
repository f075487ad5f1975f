#include "upgrade.h"

#include <sqlite3.h>

#include <QDir>
#include <algorithm>
#include <cctype>
#include <filesystem>
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

const std::string kAlias = kUpgradeSourceAlias;

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

// A file name as an SQLite URI, so that the file can be opened read-only: every byte that is not
// plainly safe in a path is written as %HH.
std::string ReadOnlyUri(const fs::path& file) {
    static const char* kHex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : fs::absolute(file).string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri + "?mode=ro";
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

std::map<PricingKey, int64_t> RowsPerKey(Database& db, const std::string& table) {
    std::map<PricingKey, int64_t> counts;
    Snapshot s = db.OpenSnapshot("SELECT zip, region, IBOB FROM main." + QuoteIdentifier(table));
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
        const std::string row =
            Describe({s.Field(0).str(), s.Field(1).toInt(), s.Field(2).toInt()});
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
            problems.push_back(
                "The FAK profile of " +
                Describe({s.Field(0).str(), s.Field(1).toInt(), s.Field(2).toInt()}) + " is \"" +
                profile + "\", not 18 class indexes 00 to 17.");
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
    try {
        db_.Execute("ATTACH DATABASE ?1 AS " + kAlias, {ReadOnlyUri(file)});
    } catch (const DbError& e) {
        problem_ = "The file " + path + " could not be opened: " + e.what();
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
        for (const auto& t : tables)
            if (!HasTable(db_, kAlias, t)) missing.push_back("\"" + t + "\"");
        if (!missing.empty()) {
            std::string list;
            for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
            Close();
            problem_ = "The file " + path + " has no table " + list + ".";
            return kErrSourceTables;
        }
    } catch (const DbError&) {
        Close();
        problem_ = "The file " + path + " is not a Fretlyn database.";
        return kErrNotADatabase;
    }
    return 0;
}

void UpgradeSource::Close() {
    if (!attached_) return;
    attached_ = false;
    if (!db_.IsOpen()) return;
    // The engine keeps a read lock on every attached file while any statement of the connection
    // is under way, and the recordsets leave theirs standing between moves. Ending them costs
    // nothing: each recordset keeps its current row and, seeing the data version move on,
    // starts its next walk afresh from that row.
    for (sqlite3_stmt* st = sqlite3_next_stmt(db_.handle(), nullptr); st;
         st = sqlite3_next_stmt(db_.handle(), st))
        if (sqlite3_stmt_busy(st)) sqlite3_reset(st);
    db_.touch();
    try {
        db_.Execute("DETACH DATABASE " + kAlias);
    } catch (const DbError&) {
        // Still attached read-only: it goes with the connection, and nothing writes to it.
    }
}

// ---------------------------------------------------------------- copying

void UpgradeTable(Database& db, const std::string& table, UpgradeReport& report) {
    const std::vector<std::string> target = FieldsOf(db, "main", table);
    const std::vector<std::string> source = FieldsOf(db, kAlias, table);
    if (target.empty())
        throw DbError(kErrNotFound, "Fretlyn2007's database has no table \"" + table + "\".");
    if (source.empty())
        throw DbError(kErrNotFound, "The earlier database has no table \"" + table + "\".");

    std::vector<std::string> common;
    for (const auto& f : target) {
        if (Contains(source, f))
            common.push_back(f);
        else
            report.skips.push_back(table + ": the earlier database has no field \"" + f +
                                   "\"; the copied rows leave it empty.");
    }
    for (const auto& f : source)
        if (!Contains(target, f))
            report.skips.push_back(table + ": the field \"" + f +
                                   "\" of the earlier database has no place in Fretlyn2007 "
                                   "and was not copied.");
    if (common.empty())
        throw DbError(kErrGeneral, "The table \"" + table +
                                       "\" has no field in common with "
                                       "the earlier database's.");

    db.Execute("DELETE FROM main." + QuoteIdentifier(table));

    // The editors rely on a region's inbound row standing before its outbound one.
    const std::string order = Contains(common, "IBOB") ? " ORDER BY \"IBOB\" DESC, rowid" : "";
    Statement read(db.handle(), "SELECT " + FieldList(common) + " FROM " + QuoteIdentifier(kAlias) +
                                    "." + QuoteIdentifier(table) + order);
    std::string marks;
    for (size_t i = 0; i < common.size(); ++i) marks += i ? ", ?" : "?";
    Statement write(db.handle(), "INSERT INTO main." + QuoteIdentifier(table) + " (" +
                                     FieldList(common) + ") VALUES (" + marks + ")");
    int64_t rowNumber = 0;
    while (read.step()) {
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
            report.skips.push_back(table + ": row " + std::to_string(rowNumber) + " (" + key +
                                   ") repeats a key and was left out.");
        }
    }
    db.touch();
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
    std::map<std::string, int64_t> highestRegion;
    for (Snapshot s = db.OpenSnapshot("SELECT State, zip, region FROM main.states"); !s.AtEOF();
         s.MoveNext()) {
        const std::string zip = Upper(s.Field(1).str());
        statesOf[zip].insert(Upper(s.Field(0).str()));
        highestRegion[zip] = std::max(highestRegion[zip], s.Field(2).toInt());
    }

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

    CheckProfiles(db, problems);
    CheckDiscountRows(db, problems);
    return problems;
}

bool UpgradeGroup(Database& db, const std::vector<std::string>& tables,
                  const std::vector<std::string>& stateCodes, const std::string& groupName,
                  UpgradeReport& report) {
    const size_t groupStart = report.skips.size();
    const bool pricing = tables == DiscountTables();
    std::string failing;
    bool copied = false;
    try {
        db.BeginTrans();
        try {
            for (const auto& t : tables) {
                failing = t;
                UpgradeTable(db, t, report);
            }
            failing.clear();
            std::vector<std::string> problems;
            if (pricing) problems = CheckPricingTables(db, stateCodes);
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
            NoteGroupFailure(report, groupStart,
                             {groupName + " were not copied: " + where + ". " + e.what()});
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
