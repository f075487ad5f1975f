#pragma once
// Earlier editions' databases for the upgrade tests: a copy of the sample tariff's database in a
// folder of its own, which a test then reshapes (other field orders, extra and missing fields,
// missing tables, repeated keys) before the upgrade reads it.

#include <filesystem>
#include <string>
#include <vector>

#include "database.h"
#include "testdata.h"

class EarlierEdition {
  public:
    // Copies the scratch application folder's database to <temp>/<folder>/<file>.
    EarlierEdition(const ScratchAppFolder& app, const std::string& folder = "Fretlyn2006/data",
                   const std::string& file = "x2006.mdb");
    // Copies the given database instead.
    EarlierEdition(const std::filesystem::path& database, const std::string& folder,
                   const std::string& file);
    ~EarlierEdition();
    EarlierEdition(const EarlierEdition&) = delete;
    EarlierEdition& operator=(const EarlierEdition&) = delete;

    const std::string& path() const { return path_; }

    // Runs statements on the earlier database (opened on its own, closed again at once).
    void Exec(const std::vector<std::string>& sql,
              const std::vector<std::vector<Value>>& params = {});
    // Rebuilds a table with the fields in the order given (names as the table has them, plus
    // any new ones, which start empty); fields left out are dropped. Rows and their values stay.
    void Reshape(const std::string& table, const std::vector<std::string>& fields);

    // The file's bytes as they are now, and whether they are still those last remembered.
    void Remember();
    bool Unchanged() const;

  private:
    std::filesystem::path root_;
    std::string path_;
    std::string bytes_;
};

// The rows of a table, in rowid order, each field as text joined by "|".
std::vector<std::string> Rows(Database& db, const std::string& table,
                              const std::string& fields = "*", const std::string& where = "");

// A bill of lading as an earlier edition stored it: the bill with its shipper (party 1) and
// consignee (party 2), and `lines` lines of commodity 1, "Widgets". The parties and the commodity
// are added when they are not there yet.
void AddEarlierBill(EarlierEdition& earlier, int id, const std::string& number, int lines = 1);

// Pricing rows of a complete earlier edition: location 606 with its states, regions 1 to 4,
// discounts and profiles, beside the default program.
void AddLocation606(EarlierEdition& earlier, const std::string& pct = "33.0");

// Hands the bill-of-lading windows' checks to the upgrade, as the program does at start-up.
void InstallUpgradeBillsCheck();
