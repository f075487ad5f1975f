#pragma once
// Copying a customer's own data from an earlier edition's database into the program's own: the
// pricing tables and the bill-of-lading tables, each group replacing the current rows.
//
// The copy runs through the program's open connection, with the earlier file attached read-only,
// so the program's own open recordsets and statements never meet a second writer. Each group is
// one transaction: it lands whole or not at all.
//
// No window toolkit here: the upgrade window asks its questions through UpgradeHooks.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Database;

// The two groups of tables, in the order they are copied.
const std::vector<std::string>& DiscountTables();
const std::vector<std::string>& BillOfLadingTables();

// "Fretlyn2006" for edition 6.
std::string EditionProduct(int edition);
// Where an earlier edition kept its database: a folder under the user's home, in place of the
// old installation folder on drive C.
std::string EarlierEditionFolder(int edition);
// "x2006.mdb" for edition 6.
std::string EarlierEditionFile(int edition);
// The program's own data folder and database file name.
std::string CurrentEditionFolder();
inline constexpr const char* kCurrentEditionFile = "x2007.mdb";

// The name the earlier database goes by while it is attached.
inline constexpr const char* kUpgradeSourceAlias = "upgrade_source";

// Error numbers of a refused source, as the upgrade window shows them.
inline constexpr int kErrSourceMissing = 3024;   // no such file
inline constexpr int kErrSourceReadOnly = 3051;  // could not be opened read-only
inline constexpr int kErrSourceTables = 3011;    // lacks a table to copy

// The earlier edition's database, attached read-only to the program's connection for the length
// of one upgrade; detached again when closed or destroyed. Nothing is ever written beside the
// earlier file: one that keeps a write-ahead log is read through a private copy of it and its log,
// since the engine would otherwise make its companion files in that folder (or fail where the
// folder cannot be written).
class UpgradeSource {
  public:
    explicit UpgradeSource(Database& db) : db_(db) {}
    ~UpgradeSource();
    UpgradeSource(const UpgradeSource&) = delete;
    UpgradeSource& operator=(const UpgradeSource&) = delete;

    // Checks the file (it exists, opens read-only and holds every table named) and attaches it.
    // Returns 0, or an error number with Problem() saying what was wrong, naming the file. A
    // missing file is never created.
    int Open(const std::string& path, const std::vector<std::string>& tables);
    void Close();
    bool IsOpen() const { return attached_; }
    const std::string& Path() const { return path_; }
    const std::string& Problem() const { return problem_; }

  private:
    Database& db_;
    std::string path_;
    std::string problem_;
    std::string copyFolder_;  // the private copy of a file with a write-ahead log
    bool attached_ = false;
};

// The earlier file as the user chose it, for messages: the attached file may be a private copy.
std::string EarlierFileName(Database& db);

// What an upgrade left out, one line each; empty when everything was copied.
struct UpgradeReport {
    std::vector<std::string> skips;
    bool changed = false;    // a group was copied into the program's database
    bool confirmed = false;  // the user agreed to at least one group
};

// Copies one table of the attached earlier database into the program's database, replacing its
// rows. Fields pair by name; a field on one side only is noted in the report, but a table that
// lacks a field the target's indexes are built on is refused (thrown). A row that repeats a key
// of the target is left out; the rows left out are returned, each as "table: row N (key)", for
// the caller to note or refuse. Inbound rows go in before outbound ones. Any other failure is
// thrown (DbError) for the caller to roll back; an error of the earlier file names that file.
std::vector<std::string> UpgradeTable(Database& db, const std::string& table,
                                      UpgradeReport& report);

// Problems of the pricing tables as they stand in the program's database: the default program's
// rows, one discount row and one FAK row per location, region and direction, the states of
// every location, FAK profiles and percentage texts. Empty when they are sound.
std::vector<std::string> CheckPricingTables(Database& db,
                                            const std::vector<std::string>& stateCodes);

// Problems of the bill-of-lading tables as they stand in the program's database: ids, roles and
// numbers of the right type and range, at most five lines a bill, and every line's bill and
// commodity, every note's bill and every bill's parties on file; then, when those hold, the
// windows' checks of every bill, party and commodity (SetUpgradeBillsCheck). Each names its row.
std::vector<std::string> CheckBillTables(Database& db);

// The bill-of-lading windows' own checks, run on the copied bills, parties and commodities in
// the program's database before the group is committed: one line for each row a window would
// refuse to store, naming it. The bill-of-lading system stands beside this one, not below it, so
// the program hands its check over at start-up. Without one, the bills group is not copied.
using StoredBillsCheck = std::function<std::vector<std::string>()>;
void SetUpgradeBillsCheck(StoredBillsCheck check);

// Copies one group as one transaction and checks it (the pricing group against the state codes
// of the state list, the bill-of-lading group on its own; a repeated key refuses the bill-of-
// lading group and is left out of the pricing group); on a failure rolls the whole group back
// and notes why. Open recordsets of the group's tables stand on their first row afterwards.
// True when the group was copied.
bool UpgradeGroup(Database& db, const std::vector<std::string>& tables,
                  const std::vector<std::string>& stateCodes, const std::string& groupName,
                  UpgradeReport& report);

// What the upgrade asks of its window: a platform message box (returns the answer, 6 for Yes)
// and the hourglass.
struct UpgradeHooks {
    std::function<int(const std::string& text, int style, const std::string& title)> message;
    std::function<void(bool busy)> hourglass;
};

struct UpgradeChoice {
    int edition = 6;  // 2 to 6
    bool discounts = false;
    bool billsOfLading = false;
};

// Platform message-box styles the upgrade uses.
inline constexpr int kUpgradeMsgOK = 48;
inline constexpr int kUpgradeMsgInfo = 64;
inline constexpr int kUpgradeMsgYesNo = 292;  // question, Yes and No, No the default
inline constexpr int kUpgradeAnswerYes = 6;

// Confirms each ticked group and copies the confirmed ones from the attached earlier database.
UpgradeReport UpgradeDatabases(Database& db, const UpgradeChoice& choice,
                               const std::vector<std::string>& stateCodes,
                               const UpgradeHooks& hooks);

// The closing message of an upgrade: "Upgrade finished" when everything was copied, the list of
// what was left out otherwise, and nothing when no group was confirmed.
void ShowUpgradeOutcome(const UpgradeReport& report, const UpgradeHooks& hooks);
