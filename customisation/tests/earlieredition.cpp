#include "earlieredition.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "blstoredchecks.h"
#include "upgrade.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

EarlierEdition::EarlierEdition(const ScratchAppFolder& app, const std::string& folder,
                               const std::string& file)
    : EarlierEdition(app.file("data/x2007.mdb"), folder, file) {}

EarlierEdition::EarlierEdition(const fs::path& database, const std::string& folder,
                               const std::string& file) {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("fretlyn_earlier_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(root_);
    fs::create_directories(root_ / folder);
    path_ = (root_ / folder / file).string();
    fs::copy_file(database, path_);
    Remember();
}

EarlierEdition::~EarlierEdition() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void EarlierEdition::Exec(const std::vector<std::string>& sql,
                          const std::vector<std::vector<Value>>& params) {
    Database db(path_);
    for (size_t i = 0; i < sql.size(); ++i)
        db.Execute(sql[i], i < params.size() ? params[i] : std::vector<Value>{});
    db.Close();
    Remember();
}

void EarlierEdition::Reshape(const std::string& table, const std::vector<std::string>& fields) {
    std::vector<std::string> existing;
    {
        Database db(path_);
        Snapshot s = db.OpenSnapshot("SELECT name FROM pragma_table_info(?)", {table});
        for (; !s.AtEOF(); s.MoveNext()) existing.push_back(s.Field(0).str());
        db.Close();
    }
    std::string columns, values;
    for (const auto& f : fields) {
        columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(f);
        bool known = false;
        for (const auto& e : existing) known = known || e == f;
        values += (values.empty() ? "" : ", ") + (known ? QuoteIdentifier(f) : std::string("NULL"));
    }
    const std::string q = QuoteIdentifier(table);
    const std::string old = QuoteIdentifier(table + "_old");
    Exec({"ALTER TABLE " + q + " RENAME TO " + old, "CREATE TABLE " + q + " (" + columns + ")",
          "INSERT INTO " + q + " SELECT " + values + " FROM " + old + " ORDER BY rowid",
          "DROP TABLE " + old});
}

void EarlierEdition::Remember() {
    bytes_ = ReadBytes(path_);
}

bool EarlierEdition::Unchanged() const {
    return ReadBytes(path_) == bytes_;
}

std::vector<std::string> Rows(Database& db, const std::string& table, const std::string& fields,
                              const std::string& where) {
    std::vector<std::string> rows;
    Snapshot s = db.OpenSnapshot("SELECT " + fields + " FROM main." + QuoteIdentifier(table) +
                                 (where.empty() ? "" : " WHERE " + where) + " ORDER BY rowid");
    for (; !s.AtEOF(); s.MoveNext()) {
        std::string row;
        for (size_t i = 0; i < s.FieldNames().size(); ++i) row += (i ? "|" : "") + s.Field(i).str();
        rows.push_back(row);
    }
    return rows;
}

void AddLocation606(EarlierEdition& earlier, const std::string& pct) {
    std::vector<std::string> sql = {
        "INSERT INTO shipzips (zip) VALUES ('606')",
        // Its own region 1, and the Canadian provinces as region 4.
        "INSERT INTO states (State, zip, region) SELECT State, '606', "
        "CASE WHEN region = 254 THEN 4 ELSE 1 END FROM states WHERE zip = 'ALL'"};
    std::vector<std::vector<Value>> params(2);
    // Outbound rows stored first, as an old edition could leave them.
    for (int ibob : {0, 1}) {
        for (int region = 1; region <= 4; ++region) {
            sql.push_back(
                "INSERT INTO discounts (zip, region, IBOB, Floor, dmc, dL5C, d5c, d1m, d2m, d5m, "
                "d10m, d15m, d20m, d25m, d30m) VALUES ('606', ?, ?, '12.50', ?, ?, ?, ?, ?, ?, ?, "
                "?, ?, ?, ?)");
            std::vector<Value> p = {region, ibob};
            for (int b = 0; b < 11; ++b) p.emplace_back(pct);
            params.push_back(p);
            sql.push_back(
                "INSERT INTO faktable (zip, IBOB, region, profil) VALUES ('606', ?, ?, "
                "'000102030405060708091011121314151617')");
            params.push_back({ibob, region});
        }
    }
    earlier.Exec(sql, params);
}

void AddEarlierBill(EarlierEdition& earlier, int id, const std::string& number, int lines) {
    std::vector<std::string> sql = {
        "INSERT OR IGNORE INTO \"BL parties\" VALUES (1, 'Acme', '1 Main St', 'Milwaukee', "
        "'53202', 'WI', 1)",
        "INSERT OR IGNORE INTO \"BL parties\" VALUES (2, 'Bolt', '2 Elm St', 'Columbus', "
        "'43215', 'OH', 2)",
        "INSERT OR IGNORE INTO Commodity VALUES (1, 'Widgets', 12.5, '', '55', 0)",
        "INSERT INTO Bills VALUES (?, ?, '3/4/2006', '', '', 1, 2, 0)"};
    std::vector<std::vector<Value>> params(3);
    params.push_back({id, number});
    for (int i = 0; i < lines; ++i) {
        sql.push_back("INSERT INTO BLdetail VALUES (?, 1, '2', '500')");
        params.push_back({id});
    }
    earlier.Exec(sql, params);
}

void InstallUpgradeBillsCheck() {
    SetUpgradeBillsCheck(CheckStoredBLRecords);
}
