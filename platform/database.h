#pragma once
// The program's database engine: an SQLite file that behaves like the old table-type
// recordsets the rest of the program is written against (current index, Seek "=" with
// NoMatch, a current row shared by every caller of the same recordset).

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Error numbers callers test for.
enum DbErrorNumber : int {
    kErrNoCurrentRecord = 3021,
    kErrDuplicateKey = 3022,
    kErrNotFound = 3011,       // table or object not found
    kErrIndexNotFound = 3800,  // not an index in this table
    kErrFieldNotFound = 3265,  // item not found in this collection
    kErrUpdateWithoutEdit = 3020,
    kErrObjectClosed = 3420,
    kErrCannotOpen = 3024,
    kErrReadOnly = 3027,           // cannot update: the database is read-only
    kErrLocked = 3218,             // could not update: locked by another program
    kErrDiskFull = 3026,           // not enough space on disk
    kErrNotTariffDatabase = 3343,  // unrecognized database format
    kErrDamaged = 3049,            // not a database the program recognises, or damaged
    kErrGeneral = 3000,
};

class DbError : public std::runtime_error {
  public:
    DbError(int number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    int number() const { return number_; }

  private:
    int number_;
};

// A table, field or index the program relies on is missing from a database: the file was
// damaged or changed by another program. The message names the database and what to do.
class DbAlteredError : public DbError {
  public:
    DbAlteredError(int number, const std::string& message, std::string missing)
        : DbError(number, message), missing_(std::move(missing)) {}
    // What is missing, in a few words ("no such column: dmc").
    const std::string& missing() const { return missing_; }

  private:
    std::string missing_;
};

// What a message about a damaged or altered database tells the user to do, given its path. The
// program points its own copies at the remedy it offers; without advice (an empty text) the
// user is told to restore the file from a backup copy.
using DamageAdvice = std::function<std::string(const std::string& path)>;
void SetDamageAdvice(DamageAdvice advice);
// "The database … is damaged (database disk image is malformed).  <advice>"
DbError DamagedDatabase(const std::string& path);
// "The database … is damaged or was changed by another program: <what>.  <advice>"
DbAlteredError AlteredDatabase(int number, const std::string& path, const std::string& what);

// A field value as the engine hands it out: empty (Null), whole number, fraction or text.
class Value {
  public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(static_cast<int64_t>(v)) {}
    Value(int64_t v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(float v) : v_(static_cast<double>(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isInteger() const { return std::holds_alternative<int64_t>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }

    // Text of the value; a number as the platform would print it, Null as "".
    std::string str() const;
    // Numeric value; text is read with Val, Null is 0.
    double toDouble() const;
    int64_t toInt() const;

    bool operator==(const Value& o) const { return v_ == o.v_; }

    using Storage = std::variant<std::monostate, int64_t, double, std::string>;
    const Storage& storage() const { return v_; }

  private:
    Storage v_;
};

class Database;

// A prepared statement kept for reuse; parameters are bound, never pasted into the text.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void reset();
    // 1-based. Text is copied unless `copy` is false: then it must outlive the next reset.
    void bind(int index, const Value& v, bool copy = true);
    void bindAll(const std::vector<Value>& params, bool copy = true);
    bool step();  // true while a row is available
    // The statement stores nothing (a query, or transaction control).
    bool readOnly() const;
    int columnCount() const;
    std::string columnName(int i) const;
    Value column(int i) const;
    const std::string& sql() const { return sql_; }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

// A read-only result set whose rows are copied out at once (a snapshot).
class Snapshot {
  public:
    Snapshot(std::vector<std::string> names, std::vector<std::vector<Value>> rows,
             std::string source = {});
    bool AtEOF() const { return pos_ >= rows_.size(); }
    bool AtBOF() const { return bof_; }
    void MoveFirst();
    void MoveNext();
    size_t RecordCount() const { return rows_.size(); }
    const Value& Field(std::string_view name) const;
    const Value& Field(size_t index) const;
    const std::vector<std::string>& FieldNames() const { return names_; }
    void Close() {
        rows_.clear();
        pos_ = 0;
    }

  private:
    std::vector<std::string> names_;
    std::vector<std::vector<Value>> rows_;
    std::string source_;  // the database read, for messages
    size_t pos_ = 0;
    bool bof_ = false;
};

// What the latest look-ups of one statement found, by their keys, so that a look-up repeated
// while the data stay as they were (see Database::MayRecall) is answered without the engine.
class FoundRows {
  public:
    struct Row {
        size_t hash;
        std::vector<Value> keys;
        std::optional<int64_t> rowid;  // none: nothing was found
        std::vector<Value> values;
    };
    static size_t HashOf(const std::vector<Value>& keys);
    // Forgets everything once the data version has moved.
    void Sync(uint64_t dataVersion);
    const Row* Find(const std::vector<Value>& keys, size_t hash) const;
    const Row& Keep(const std::vector<Value>& keys, size_t hash, std::optional<int64_t> rowid,
                    const std::vector<Value>& values);
    void Clear();

  private:
    // A table walked key by key would only fill memory: a few keys are what repeats.
    static constexpr size_t kKept = 32;
    std::vector<Row> rows_;
    size_t next_ = 0;  // the row a new one replaces once all are in use
    uint64_t version_ = 0;
};

// What the look-ups of one prepared statement (Database::LookUp) found, by their keys. A
// command keeps every key it looked up, since a batch test comes back to a ZIP prefix or a
// service centre only after hundreds of other keys; of the commands before it, only the
// latest few rows stay, as FoundRows keeps them.
class CommandRows {
  public:
    struct Row {
        size_t hash = 0;
        std::vector<Value> keys;
        bool found = false;
        std::vector<Value> values;
        uint64_t kept = 0;     // how many rows had been kept before this one
        uint64_t command = 0;  // the command that looked it up
    };
    // Forgets everything once the data version has moved; once another command has begun,
    // all but the latest few rows.
    void Sync(uint64_t dataVersion, uint64_t command);
    const Row* Find(const std::vector<Value>& keys, size_t hash) const;
    const Row& Keep(const std::vector<Value>& keys, size_t hash, bool found,
                    const std::vector<Value>& values);

  private:
    static constexpr uint64_t kKeptBetweenCommands = 32;
    // A command that looks up more keys than this (a batch run over every ZIP code) starts
    // again rather than fill memory.
    static constexpr size_t kKeptInCommand = 4096;
    bool usable(const Row& r) const {
        return r.command == command_ || kept_ - r.kept <= kKeptBetweenCommands;
    }
    // The slot of the row with this hash, or the empty slot where it would go.
    size_t slotOf(size_t hash) const;
    void dropUnusable();
    void rebuildSlots();
    // Rows in use come first; those after keep their room for the next ones. A look-up runs
    // hundreds of thousands of times in a batch run, so a row is never allocated anew.
    std::vector<Row> rows_;
    size_t used_ = 0;
    // Open addressing by the hash of the keys: a row's index + 1, 0 for an empty slot. Of two
    // keys with one hash only the later is kept.
    std::vector<uint32_t> slots_;
    uint64_t kept_ = 0;
    uint64_t version_ = 0;
    uint64_t command_ = 0;
};

// A table-type recordset: one per table and caller group, kept open for the run.
class Recordset : public std::enable_shared_from_this<Recordset> {
  public:
    Recordset(Database& db, std::string table);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    const std::string& Name() const { return table_; }

    // Current index by the name the program uses for it ("byzip"); "" for table order.
    void SetIndex(const std::string& indexName);
    const std::string& Index() const { return index_; }

    // Seek "=": positions on the first row, in index order, whose leading index fields
    // equal the keys. On a miss NoMatch is set and there is no current row.
    void Seek(std::string_view comparison, const std::vector<Value>& keys);
    bool NoMatch() const { return noMatch_; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    bool AtEOF() const { return eof_; }
    bool AtBOF() const { return bof_; }
    bool HasCurrent() const { return current_.has_value(); }

    int64_t RecordCount();

    // Field of the current row (or of the edit buffer while editing).
    Value Field(std::string_view name);
    // Sets a field of the edit buffer; only between AddNew/Edit and Update.
    void SetField(std::string_view name, const Value& v);
    bool HasField(std::string_view name) const;
    const std::vector<std::string>& FieldNames() const { return columns_; }

    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    void Delete();

    void Close();
    bool IsOpen() const { return open_; }

  private:
    friend class Database;
    enum class EditMode { None, Edit, Add };

    struct IndexInfo {
        std::string name;
        std::vector<std::string> columns;
        std::vector<size_t> positions;  // of the columns in the row
    };

    void requireOpen() const;
    void requireCurrent() const;
    size_t columnIndex(std::string_view name) const;
    std::string orderBy(bool descending) const;
    std::string selectList() const;
    Statement& cached(const std::string& sql);
    // Makes the row a statement stands on current; false (and no current row) when none.
    bool loadFrom(Statement& st);
    void refreshIfStale();
    void clearPosition(bool eof, bool bof);
    // Keeps the index key and rowid of the current row in lastKey_.
    void keepKeyOfRow();
    void walk(bool forward);
    void openWalk(bool forward, const std::vector<Value>* after);
    void closeStatements();
    // Ends a walk's open cursor (and the read lock it holds); the walk goes on from lastKey_.
    void releaseCursor();
    // Stands on what a Seek "=" on these keys found before, while that still holds.
    bool recall(const std::vector<Value>& keys, size_t hash);

    Database& db_;
    std::string table_;
    std::string quotedTable_;
    std::vector<std::string> columns_;
    std::string index_;
    IndexInfo indexInfo_;
    std::map<std::string, IndexInfo, std::less<>> indexes_;
    std::map<std::string, std::unique_ptr<Statement>, std::less<>> statements_;

    std::optional<int64_t> current_;  // rowid of the current row
    std::vector<Value> row_;          // its values, column order
    std::vector<Value> lastKey_;      // index key and rowid of the row last stood on
    uint64_t rowVersion_ = 0;
    bool noMatch_ = false;
    bool eof_ = true;
    bool bof_ = true;
    bool open_ = true;

    // A cursor kept open between MoveNext calls so that a walk costs one step a row.
    Statement* walk_ = nullptr;
    std::array<Statement*, 9> seekEq_{};  // Seek "=" by key count, on the current index
    bool walkForward_ = true;
    uint64_t walkVersion_ = 0;

    FoundRows found_;  // by Seek "=" on the current index

    EditMode mode_ = EditMode::None;
    std::vector<Value> buffer_;
    std::vector<bool> touched_;
};

class Database {
  public:
    // How long a statement waits for another program's lock before it fails (kErrLocked).
    static constexpr int kBusyTimeoutMs = 2000;

    // Opens an existing database file; a missing file is an error (3024), never a new file.
    // A file the program may not write opens read-only (see IsReadOnly).
    explicit Database(const std::string& path, bool readOnly = false);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& Path() const { return path_; }

    // A table-type recordset on a table; kept in the collection of open recordsets.
    std::shared_ptr<Recordset> OpenRecordset(const std::string& table);
    // A snapshot of an SQL query, parameters bound in order.
    Snapshot OpenSnapshot(const std::string& sql, const std::vector<Value>& params = {});
    // A prepared statement kept for the life of the database, for look-ups run often.
    Statement& Prepared(const std::string& sql);
    // The first row of a look-up run often (a rating's), through a statement prepared once;
    // nullptr when there is none. A look-up repeated while the data stay as they were (see
    // MayRecall) is answered from what it found. The row is good until the next call.
    const std::vector<Value>* LookUp(const std::string& sql, const std::vector<Value>& params);
    // Runs a statement that returns no rows; returns the number of rows changed.
    int Execute(const std::string& sql, const std::vector<Value>& params = {});

    void BeginTrans();
    void CommitTrans();
    void Rollback();

    // A command's reads in one read transaction (see ReadTransaction): the file is locked
    // once for the command instead of once a look-up. A write inside it gets a write
    // transaction of its own, which waits for another program as any write does.
    void BeginRead();
    void EndRead() noexcept;
    // The program waits for the user part way through a command (a message, a dialog): the
    // read lock is let go meanwhile, and the command's next look-up takes it again.
    void Idle() noexcept;
    // A read or write transaction is open: a walk may keep its cursor between steps.
    bool InsideTransaction() const { return readBegun_ || transDepth_ > 0; }
    // What a look-up found may be kept and used again while dataVersion() stays the same: a
    // read transaction holds the lock, no other program can write meanwhile, and one that
    // wrote between two commands is noticed when the next begins (see startRead).
    bool MayRecall() const { return readBegun_ && transDepth_ == 0; }
    // The command under way (its outermost read transaction), numbered across every database
    // of the run, so that no two commands share a number; 0 outside any command.
    uint64_t RunningCommand() const { return readDepth_ > 0 && commandOpen_ ? command_ : 0; }

    bool TableExists(const std::string& table);
    bool IndexExists(const std::string& table, const std::string& index);

    // The collection of open recordsets, in the order they were opened.
    const std::vector<std::shared_ptr<Recordset>>& Recordsets() const { return recordsets_; }
    // Closes every open recordset, last opened first, then the database itself.
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    // The engine could open the file for reading only.
    bool IsReadOnly() const;

    sqlite3* handle() const { return db_; }
    // Bumped on every write so that recordsets re-read a row another recordset changed.
    uint64_t dataVersion() const { return dataVersion_; }
    void touch() { ++dataVersion_; }

    // Raises the error for a failed SQLite call, with the engine's number where one applies.
    [[noreturn]] void fail(int rc, const std::string& what) const;

  private:
    friend class Recordset;
    void forget(Recordset* rs);
    // Runs transaction control without marking the data as changed.
    void control(const std::string& sql);
    void startRead(bool checkOthers);
    // Ends the read transaction and its lock.
    void finishRead() noexcept;
    // Ends every walk's open cursor, so that no statement keeps the file's read lock.
    void releaseCursors();
    // Runs a write; inside a read transaction it gets a write transaction of its own.
    template <typename F>
    auto writing(F&& write);

    sqlite3* db_ = nullptr;
    std::string path_;
    std::vector<std::shared_ptr<Recordset>> recordsets_;
    // Hashed, not ordered: the texts share long beginnings ("SELECT … FROM"), which an ordered
    // map would compare again at every level of every look-up.
    struct PreparedStatement {
        std::unique_ptr<Statement> statement;
        CommandRows found;  // by LookUp
    };
    PreparedStatement& prepare(const std::string& sql);
    std::unordered_map<std::string, PreparedStatement> prepared_;
    std::vector<Value> lookUpRow_;
    uint64_t dataVersion_ = 1;
    // The number of the latest command (outermost read transaction) begun.
    uint64_t command_ = 0;
    bool commandOpen_ = false;
    int transDepth_ = 0;
    int readDepth_ = 0;
    bool readBegun_ = false;
    // The engine's count of changes other connections have stored, when last read.
    int64_t othersVersion_ = -1;
    // Calls Idle whenever the program's event loop waits; gone with the database.
    std::shared_ptr<void> idleHook_;
};

// One command's reads (a rating, a quote display, a rate sheet, a batch test) in one read
// transaction, which ends with the scope, however it ends. Nested scopes join the outer one,
// and inside a write transaction a scope adds nothing. Between commands no lock is held, so
// another program can write, and a change it stored is seen by the next command.
class ReadTransaction {
  public:
    // Nothing when the database is missing or closed.
    explicit ReadTransaction(Database* db);
    explicit ReadTransaction(Database& db) : ReadTransaction(&db) {}
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

  private:
    Database* db_ = nullptr;
};

// Quotes a name for SQL ("PR Delvy zones" → "\"PR Delvy zones\"").
std::string QuoteIdentifier(std::string_view name);

// Whether the file at `path`, grown by `growth` bytes, would pass the limit on the size of a
// file this program may write (ulimit -f), and the error that names that limit, as a full disk
// is named.
bool PastFileSizeLimit(const std::string& path, uint64_t growth);
DbError FileSizeLimitError(const std::string& path);

// Runs `writes` as one transaction: committed when it returns, rolled back when it throws, and
// the error passed on. A rollback the engine refuses (it has ended the transaction itself) does
// not hide that error. Gives back what `writes` gives.
template <typename F>
auto InTransaction(Database& db, F&& writes) {
    db.BeginTrans();
    try {
        if constexpr (std::is_void_v<decltype(writes())>) {
            writes();
            db.CommitTrans();
        } else {
            auto result = writes();
            db.CommitTrans();
            return result;
        }
    } catch (...) {
        try {
            db.Rollback();
        } catch (const std::exception&) {
        }
        throw;
    }
}
