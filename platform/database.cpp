#include "database.h"

#include <sqlite3.h>

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cstring>

#include "numbers.h"

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The old engine's string functions, so that queries written in its dialect run as they are.
std::string textArg(sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

void resultText(sqlite3_context* ctx, const std::string& s) {
    sqlite3_result_text(ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void sqlLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::string s = textArg(argv[0]);
    int64_t n = std::max<int64_t>(0, sqlite3_value_int64(argv[1]));
    resultText(ctx, s.substr(0, static_cast<size_t>(std::min<int64_t>(n, s.size()))));
}

void sqlRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::string s = textArg(argv[0]);
    size_t n = static_cast<size_t>(std::max<int64_t>(0, sqlite3_value_int64(argv[1])));
    resultText(ctx, n >= s.size() ? s : s.substr(s.size() - n));
}

void sqlMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::string s = textArg(argv[0]);
    int64_t start = std::max<int64_t>(1, sqlite3_value_int64(argv[1]));
    if (static_cast<size_t>(start) > s.size()) return resultText(ctx, "");
    size_t from = static_cast<size_t>(start - 1);
    size_t len = argc > 2 ? static_cast<size_t>(std::max<int64_t>(0, sqlite3_value_int64(argv[2])))
                          : std::string::npos;
    resultText(ctx, s.substr(from, len));
}

void sqlTrim(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::string s = textArg(argv[0]);
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    resultText(ctx, b == std::string::npos ? std::string() : s.substr(b, e - b + 1));
}

void sqlVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_double(ctx, Val(textArg(argv[0])));
}

void registerFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "Left", 2, flags, nullptr, sqlLeft, nullptr, nullptr);
    sqlite3_create_function(db, "Right", 2, flags, nullptr, sqlRight, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 2, flags, nullptr, sqlMid, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 3, flags, nullptr, sqlMid, nullptr, nullptr);
    sqlite3_create_function(db, "Trim", 1, flags, nullptr, sqlTrim, nullptr, nullptr);
    sqlite3_create_function(db, "Val", 1, flags, nullptr, sqlVal, nullptr, nullptr);
}

// LEFT and RIGHT are join keywords to SQLite, so the old dialect's Left( and Right( calls
// are quoted into calls of the functions registered above. Literals are left alone.
std::string TranslateDialect(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == '\'' || c == '"' || c == '[') {
            char close = c == '[' ? ']' : c;
            size_t end = sql.find(close, i + 1);
            end = end == std::string::npos ? sql.size() : end + 1;
            out.append(sql, i, end - i);
            i = end;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t end = i;
            while (end < sql.size() &&
                   (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
                ++end;
            std::string word = sql.substr(i, end - i);
            size_t next = sql.find_first_not_of(" \t", end);
            bool call = next != std::string::npos && sql[next] == '(';
            if (call && (sameName(word, "Left") || sameName(word, "Right")))
                out += "\"" + word + "\"";
            else
                out += word;
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

std::string QuoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// ---------------------------------------------------------------- Value

std::string Value::str() const {
    if (auto* s = std::get_if<std::string>(&v_)) return *s;
    if (auto* i = std::get_if<int64_t>(&v_)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v_)) return CStr(*d);
    return {};
}

double Value::toDouble() const {
    if (auto* s = std::get_if<std::string>(&v_)) return Val(*s);
    if (auto* i = std::get_if<int64_t>(&v_)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v_)) return *d;
    return 0;
}

int64_t Value::toInt() const {
    if (auto* i = std::get_if<int64_t>(&v_)) return *i;
    if (isNull()) return 0;
    return CLng(toDouble());
}

// ---------------------------------------------------------------- Statement

namespace {
std::string FileOf(sqlite3* db) {
    const char* name = sqlite3_db_filename(db, "main");
    return name && *name ? name : "of the program";
}

// The two failures a user can do something about are said in words, with the numbers the
// old engine gave them; every other failure keeps the engine's own text.
void ThrowIfLockedOrReadOnly(sqlite3* db, int extendedCode) {
    const int primary = extendedCode & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw DbError(kErrLocked, "The database " + FileOf(db) +
                                      " is locked by another program.  Try again when that "
                                      "program has finished with it.");
    if (primary == SQLITE_READONLY)
        throw DbError(kErrReadOnly,
                      "The database " + FileOf(db) + " is read-only, so the change was not saved.");
    // While it stores a change the engine keeps a journal file beside the database.
    if (primary == SQLITE_CANTOPEN)
        throw DbError(kErrReadOnly, "The change was not saved: the database " + FileOf(db) +
                                        " or its folder cannot be written.");
}
// Resets a statement however the look-up that uses it ends: a statement left on a row keeps
// the file's read lock, and no other program could then store anything in it.
class ResetWhenDone {
  public:
    explicit ResetWhenDone(Statement& st) : st_(st) {}
    ~ResetWhenDone() { st_.reset(); }
    ResetWhenDone(const ResetWhenDone&) = delete;
    ResetWhenDone& operator=(const ResetWhenDone&) = delete;

  private:
    Statement& st_;
};
}  // namespace

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    const std::string text = TranslateDialect(sql);
    int rc = sqlite3_prepare_v3(db, text.c_str(), static_cast<int>(text.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        ThrowIfLockedOrReadOnly(db, sqlite3_extended_errcode(db));
        throw DbError(kErrGeneral, "SQL error: " + msg + " in: " + sql);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::bind(int index, const Value& v, bool copy) {
    int rc = SQLITE_OK;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                rc = sqlite3_bind_null(stmt_, index);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                rc = sqlite3_bind_int64(stmt_, index, x);
            } else if constexpr (std::is_same_v<T, double>) {
                rc = sqlite3_bind_double(stmt_, index, x);
            } else {
                rc = sqlite3_bind_text(stmt_, index, x.data(), static_cast<int>(x.size()),
                                       copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
            }
        },
        v.storage());
    if (rc != SQLITE_OK)
        throw DbError(kErrGeneral, std::string("SQL parameter error: ") + sqlite3_errmsg(db_));
}

void Statement::bindAll(const std::vector<Value>& params, bool copy) {
    for (size_t i = 0; i < params.size(); ++i) bind(static_cast<int>(i + 1), params[i], copy);
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    int ext = sqlite3_extended_errcode(db_);
    std::string msg = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw DbError(kErrDuplicateKey,
                      "The changes you requested to the table were not successful because they "
                      "would create duplicate values in the index, primary key, or relationship.");
    ThrowIfLockedOrReadOnly(db_, ext);
    throw DbError(kErrGeneral, "Database error: " + msg);
}

bool Statement::readOnly() const {
    return sqlite3_stmt_readonly(stmt_) != 0;
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

std::string Statement::columnName(int i) const {
    return sqlite3_column_name(stmt_, i);
}

Value Statement::column(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return Value(static_cast<int64_t>(sqlite3_column_int64(stmt_, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt_, i));
        case SQLITE_NULL:
            return Value();
        default: {
            const unsigned char* t = sqlite3_column_text(stmt_, i);
            int n = sqlite3_column_bytes(stmt_, i);
            return Value(std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(n)));
        }
    }
}

// ---------------------------------------------------------------- Snapshot

Snapshot::Snapshot(std::vector<std::string> names, std::vector<std::vector<Value>> rows)
    : names_(std::move(names)), rows_(std::move(rows)) {
    bof_ = rows_.empty();
}

void Snapshot::MoveFirst() {
    if (rows_.empty()) throw DbError(kErrNoCurrentRecord, "No current record.");
    pos_ = 0;
    bof_ = false;
}

void Snapshot::MoveNext() {
    if (pos_ >= rows_.size()) throw DbError(kErrNoCurrentRecord, "No current record.");
    ++pos_;
}

const Value& Snapshot::Field(size_t index) const {
    if (pos_ >= rows_.size()) throw DbError(kErrNoCurrentRecord, "No current record.");
    if (index >= names_.size())
        throw DbError(kErrFieldNotFound, "Item not found in this collection.");
    return rows_[pos_][index];
}

const Value& Snapshot::Field(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i)
        if (sameName(names_[i], name)) return Field(i);
    throw DbError(kErrFieldNotFound, "Item not found in this collection: " + std::string(name));
}

// ---------------------------------------------------------------- Database

Database::Database(const std::string& path, bool readOnly) : path_(path) {
    // The engine's count of the memory it uses takes a lock on every allocation and nothing
    // reads it. Set once, before the first database opens (later the engine refuses it).
    static const bool noMemoryCount = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)noMemoryCount;
    // The program is single-threaded: the engine's own locking would only cost time.
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(kErrCannotOpen, "Could not open the database " + path + ".");
    }
    // Another program reading or writing the file holds its lock for a moment only: wait for
    // it rather than fail at once.
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // An empty or foreign file opens without complaint; make it fail here, not later.
    try {
        Snapshot probe = OpenSnapshot("SELECT count(*) FROM sqlite_master");
    } catch (const DbError& error) {
        const int primary = sqlite3_extended_errcode(db_) & 0xff;
        sqlite3_close(db_);
        db_ = nullptr;
        // A database another program holds is sound: saying it is not ours could make the
        // user replace a good file, and with it the customer's pricing.
        if (error.number() == kErrLocked) throw;
        if (primary == SQLITE_CORRUPT)
            throw DbError(kErrCannotOpen,
                          "The database " + path + " is damaged.  Restore it from a backup copy.");
        throw DbError(kErrCannotOpen, "The file " + path + " is not a Fretlyn database.");
    }
    registerFunctions(db_);
    // Room for the whole tariff: a batch test looks up points all over the big tables, and
    // the pages stay good from one command to the next while no other program writes.
    sqlite3_exec(db_, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    // Between commands no lock is held; a command that waits for the user part way, in a
    // message or a dialog, lets go of its read lock as well while the event loop waits.
    if (auto* events = QAbstractEventDispatcher::instance()) {
        auto* hook = new QMetaObject::Connection(
            QObject::connect(events, &QAbstractEventDispatcher::aboutToBlock, [this] { Idle(); }));
        idleHook_ = std::shared_ptr<void>(hook, [](void* p) {
            auto* c = static_cast<QMetaObject::Connection*>(p);
            QObject::disconnect(*c);
            delete c;
        });
    }
}

Database::~Database() {
    Close();
}

void Database::fail(int rc, const std::string& what) const {
    std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    throw DbError(kErrGeneral, what + ": " + msg);
}

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& table) {
    if (!db_) throw DbError(kErrObjectClosed, "The database is closed.");
    auto rs = std::make_shared<Recordset>(*this, table);
    recordsets_.push_back(rs);
    return rs;
}

Snapshot Database::OpenSnapshot(const std::string& sql, const std::vector<Value>& params) {
    if (!db_) throw DbError(kErrObjectClosed, "The database is closed.");
    Statement& st = Prepared(sql);
    ResetWhenDone done(st);
    st.reset();
    st.bindAll(params);
    std::vector<std::string> names;
    for (int i = 0; i < st.columnCount(); ++i) names.push_back(st.columnName(i));
    std::vector<std::vector<Value>> rows;
    while (st.step()) {
        std::vector<Value> row;
        row.reserve(names.size());
        for (int i = 0; i < st.columnCount(); ++i) row.push_back(st.column(i));
        rows.push_back(std::move(row));
    }
    return Snapshot(std::move(names), std::move(rows));
}

Statement& Database::Prepared(const std::string& sql) {
    if (!db_) throw DbError(kErrObjectClosed, "The database is closed.");
    auto it = prepared_.find(sql);
    if (it == prepared_.end())
        it = prepared_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    return *it->second;
}

template <typename F>
auto Database::writing(F&& write) {
    if (!readBegun_ || transDepth_ > 0) return write();
    return InTransaction(*this, std::forward<F>(write));
}

const std::vector<Value>* Database::LookUp(const std::string& sql,
                                           const std::vector<Value>& params) {
    Statement& st = Prepared(sql);
    FoundRows& found = lookedUp_[&st];
    found.Sync(dataVersion_);
    const size_t hash = FoundRows::HashOf(params);
    if (MayRecall()) {
        if (const FoundRows::Row* r = found.Find(params, hash))
            return r->rowid ? &r->values : nullptr;
    }
    bool any = false;
    {
        // The parameters outlive the look-up, which resets the statement before it returns.
        ResetWhenDone done(st);
        st.reset();
        st.bindAll(params, false);
        lookUpRow_.clear();
        any = st.step();
        for (int i = 0; any && i < st.columnCount(); ++i) lookUpRow_.push_back(st.column(i));
    }
    if (MayRecall())
        found.Keep(params, hash, any ? std::optional<int64_t>(1) : std::nullopt, lookUpRow_);
    return any ? &lookUpRow_ : nullptr;
}

int Database::Execute(const std::string& sql, const std::vector<Value>& params) {
    Statement& st = Prepared(sql);
    const auto run = [&] {
        ResetWhenDone done(st);
        st.reset();
        st.bindAll(params);
        while (st.step()) {
        }
    };
    if (st.readOnly())
        run();
    else
        writing(run);
    touch();
    return sqlite3_changes(db_);
}

void Database::control(const std::string& sql) {
    Statement& st = Prepared(sql);
    ResetWhenDone done(st);
    st.reset();
    st.step();
}

void Database::releaseCursors() {
    for (const auto& rs : recordsets_) rs->releaseCursor();
}

void Database::startRead(bool checkOthers) {
    control("BEGIN");
    readBegun_ = true;
    // Until its first look-up the transaction holds no lock: what another program stores
    // meanwhile is noticed only by asking the engine.
    if (!checkOthers) return touch();
    int64_t version = 0;
    try {
        // Takes the read lock the command's look-ups then share.
        Statement& st = Prepared("PRAGMA data_version");
        ResetWhenDone done(st);
        st.reset();
        if (st.step()) version = st.column(0).toInt();
    } catch (...) {
        readBegun_ = false;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    // Another program stored a change since the last command: rows the recordsets hold are
    // read again.
    if (version != othersVersion_) touch();
    othersVersion_ = version;
}

void Database::BeginRead() {
    if (readDepth_++ > 0 || transDepth_ > 0) return;
    try {
        startRead(true);
    } catch (...) {
        --readDepth_;
        throw;
    }
}

void Database::finishRead() noexcept {
    releaseCursors();
    readBegun_ = false;
    try {
        control("COMMIT");
    } catch (const std::exception&) {
        // Nothing was written in it: a rollback leaves the same.
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Database::EndRead() noexcept {
    if (readDepth_ == 0 || --readDepth_ > 0 || !readBegun_) return;
    finishRead();
}

void Database::Idle() noexcept {
    if (!readBegun_ || transDepth_ > 0) return;
    finishRead();
    // The transaction goes on, holding no lock until its next look-up.
    try {
        startRead(false);
    } catch (const std::exception&) {
        // Its look-ups then run each on their own, as outside any command.
    }
}

ReadTransaction::ReadTransaction(Database* db) {
    if (!db || !db->IsOpen()) return;
    db->BeginRead();
    db_ = db;
}

ReadTransaction::~ReadTransaction() {
    if (db_) db_->EndRead();
}

bool Database::IsReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

void Database::BeginTrans() {
    // The write lock is taken at once: waiting for another program's lock is possible only
    // while this connection holds no read lock, so a walk left part way lets go of its cursor
    // first (its next step opens a new one after the row it stands on).
    // A command's read transaction ends first for the same reason, and goes on after the
    // write transaction.
    if (transDepth_ == 0) {
        releaseCursors();
        if (readBegun_) finishRead();
        try {
            Execute("BEGIN IMMEDIATE");
        } catch (...) {
            if (readDepth_ > 0) startRead(false);
            throw;
        }
    } else {
        Execute("SAVEPOINT t" + std::to_string(transDepth_));
    }
    ++transDepth_;
}

void Database::CommitTrans() {
    if (transDepth_ == 0) throw DbError(3034, "Commit or Rollback without BeginTrans.");
    // A commit that fails (another program's lock) leaves the transaction open for Rollback.
    const int level = transDepth_ - 1;
    if (level == 0) releaseCursors();
    Execute(level == 0 ? "COMMIT" : "RELEASE t" + std::to_string(level));
    transDepth_ = level;
    if (level == 0 && readDepth_ > 0) startRead(false);
}

void Database::Rollback() {
    if (transDepth_ == 0) throw DbError(3034, "Commit or Rollback without BeginTrans.");
    --transDepth_;
    if (transDepth_ == 0) {
        releaseCursors();
        // A failed write may have ended the transaction in the engine already.
        if (!sqlite3_get_autocommit(db_)) Execute("ROLLBACK");
        touch();
        if (readDepth_ > 0) startRead(false);
    } else {
        std::string sp = "t" + std::to_string(transDepth_);
        Execute("ROLLBACK TO " + sp);
        Execute("RELEASE " + sp);
    }
}

bool Database::TableExists(const std::string& table) {
    Statement& st =
        Prepared("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
    ResetWhenDone done(st);
    st.reset();
    st.bind(1, table);
    return st.step();
}

bool Database::IndexExists(const std::string& table, const std::string& index) {
    Statement& st = Prepared(
        "SELECT 1 FROM sqlite_master WHERE type='index' AND name=? COLLATE NOCASE "
        "AND tbl_name=? COLLATE NOCASE");
    ResetWhenDone done(st);
    st.reset();
    st.bind(1, table + "." + index);
    st.bind(2, table);
    return st.step();
}

void Database::Close() {
    if (!db_) return;
    // Last opened first, as the old engine's collection was walked.
    while (!recordsets_.empty()) {
        auto rs = recordsets_.back();
        rs->Close();
    }
    if (transDepth_ > 0 || readBegun_) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        transDepth_ = 0;
    }
    readDepth_ = 0;
    readBegun_ = false;
    lookedUp_.clear();
    prepared_.clear();
    idleHook_.reset();
    sqlite3_close(db_);
    db_ = nullptr;
}

void Database::forget(Recordset* rs) {
    auto it = std::find_if(recordsets_.begin(), recordsets_.end(),
                           [rs](const auto& p) { return p.get() == rs; });
    if (it != recordsets_.end()) recordsets_.erase(it);
}

// ---------------------------------------------------------------- FoundRows

size_t FoundRows::HashOf(const std::vector<Value>& keys) {
    size_t h = keys.size();
    for (const Value& k : keys)
        h = h * 31 + std::visit(
                         [](const auto& x) -> size_t {
                             using T = std::decay_t<decltype(x)>;
                             if constexpr (std::is_same_v<T, std::monostate>)
                                 return 0;
                             else
                                 return std::hash<T>{}(x);
                         },
                         k.storage());
    return h;
}

void FoundRows::Sync(uint64_t dataVersion) {
    if (dataVersion == version_) return;
    Clear();
    version_ = dataVersion;
}

const FoundRows::Row* FoundRows::Find(const std::vector<Value>& keys, size_t hash) const {
    for (const Row& r : rows_)
        if (r.hash == hash && r.keys == keys) return &r;
    return nullptr;
}

const FoundRows::Row& FoundRows::Keep(const std::vector<Value>& keys, size_t hash,
                                      std::optional<int64_t> rowid,
                                      const std::vector<Value>& values) {
    if (rows_.size() < kKept) return rows_.emplace_back(Row{hash, keys, rowid, values});
    // The oldest gives way; its vectors keep their room for the new one.
    Row& r = rows_[next_];
    next_ = (next_ + 1) % kKept;
    r.hash = hash;
    r.keys = keys;
    r.rowid = rowid;
    r.values = values;
    return r;
}

void FoundRows::Clear() {
    rows_.clear();
    next_ = 0;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(Database& db, std::string table)
    : db_(db), table_(std::move(table)), quotedTable_(QuoteIdentifier(table_)) {
    if (!db_.TableExists(table_))
        throw DbError(kErrNotFound, "The table '" + table_ + "' is missing from the database " +
                                        db_.Path() + ".");
    Snapshot cols = db_.OpenSnapshot("SELECT name FROM pragma_table_info(?)", {table_});
    for (; !cols.AtEOF(); cols.MoveNext()) columns_.push_back(cols.Field(0).str());

    Snapshot idx = db_.OpenSnapshot(
        "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=? COLLATE NOCASE "
        "AND name IS NOT NULL ORDER BY name",
        {table_});
    const std::string prefix = lower(table_) + ".";
    for (; !idx.AtEOF(); idx.MoveNext()) {
        std::string full = idx.Field(0).str();
        if (lower(full).rfind(prefix, 0) != 0) continue;
        IndexInfo info;
        info.name = full.substr(prefix.size());
        Snapshot ic =
            db_.OpenSnapshot("SELECT name FROM pragma_index_info(?) ORDER BY seqno", {full});
        for (; !ic.AtEOF(); ic.MoveNext()) {
            info.columns.push_back(ic.Field(0).str());
            info.positions.push_back(columnIndex(info.columns.back()));
        }
        indexes_.emplace(lower(info.name), std::move(info));
    }
    clearPosition(false, false);
    // A freshly opened table stands on its first row, as the old engine's did.
    {
        Statement& st = cached("SELECT " + selectList() + " FROM " + quotedTable_ + orderBy(false) +
                               " LIMIT 1");
        ResetWhenDone done(st);
        st.reset();
        if (!loadFrom(st)) clearPosition(true, true);
    }
}

Recordset::~Recordset() {
    closeStatements();
}

void Recordset::releaseCursor() {
    if (walk_) walk_->reset();
    walk_ = nullptr;
}

void Recordset::closeStatements() {
    found_.Clear();
    walk_ = nullptr;
    seekEq_.fill(nullptr);
    statements_.clear();
}

void Recordset::requireOpen() const {
    if (!open_) throw DbError(kErrObjectClosed, "The recordset " + table_ + " is closed.");
}

void Recordset::requireCurrent() const {
    if (!current_) throw DbError(kErrNoCurrentRecord, "No current record.");
}

size_t Recordset::columnIndex(std::string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (sameName(columns_[i], name)) return i;
    throw DbError(kErrFieldNotFound,
                  "The field '" + std::string(name) + "' is not in the table " + table_ + ".");
}

bool Recordset::HasField(std::string_view name) const {
    return std::any_of(columns_.begin(), columns_.end(),
                       [&](const std::string& c) { return sameName(c, name); });
}

std::string Recordset::selectList() const {
    std::string s = "rowid";
    for (const auto& c : columns_) s += ", " + QuoteIdentifier(c);
    return s;
}

std::string Recordset::orderBy(bool descending) const {
    const char* dir = descending ? " DESC" : "";
    std::string s = " ORDER BY ";
    for (const auto& c : indexInfo_.columns) s += QuoteIdentifier(c) + dir + ", ";
    return s + "rowid" + dir;
}

Statement& Recordset::cached(const std::string& sql) {
    requireOpen();
    auto it = statements_.find(sql);
    if (it == statements_.end())
        it = statements_.emplace(sql, std::make_unique<Statement>(db_.handle(), sql)).first;
    return *it->second;
}

void Recordset::clearPosition(bool eof, bool bof) {
    current_.reset();
    row_.clear();
    eof_ = eof;
    bof_ = bof;
}

bool Recordset::loadFrom(Statement& st) {
    if (!st.step()) return false;
    current_ = st.column(0).toInt();
    row_.resize(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) row_[i] = st.column(static_cast<int>(i + 1));
    rowVersion_ = db_.dataVersion();
    eof_ = bof_ = false;
    keepKeyOfRow();
    return true;
}

void Recordset::keepKeyOfRow() {
    lastKey_.clear();
    for (size_t i : indexInfo_.positions) lastKey_.push_back(row_[i]);
    lastKey_.emplace_back(static_cast<int64_t>(*current_));
}

void Recordset::refreshIfStale() {
    if (!current_ || rowVersion_ == db_.dataVersion()) return;
    Statement& st = cached("SELECT " + selectList() + " FROM " + quotedTable_ + " WHERE rowid=?");
    ResetWhenDone done(st);
    st.reset();
    st.bind(1, Value(static_cast<int64_t>(*current_)));
    if (!loadFrom(st)) clearPosition(false, false);  // another recordset deleted it
}

void Recordset::SetIndex(const std::string& indexName) {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    if (indexName.empty()) {
        indexInfo_ = IndexInfo{};
        index_.clear();
    } else {
        auto it = indexes_.find(lower(indexName));
        if (it == indexes_.end())
            throw DbError(kErrIndexNotFound, "The index '" + indexName +
                                                 "' is missing from the table " + table_ + ".");
        indexInfo_ = it->second;
        index_ = it->second.name;
    }
    releaseCursor();
    seekEq_.fill(nullptr);
    found_.Clear();
    if (current_) keepKeyOfRow();
}

void Recordset::Seek(std::string_view comparison, const std::vector<Value>& keys) {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    if (indexInfo_.columns.empty())
        throw DbError(3019, "Operation invalid without a current index.");
    if (keys.empty() || keys.size() > indexInfo_.columns.size())
        throw DbError(3001, "Invalid argument.");
    std::string op(comparison);
    if (op != "=" && op != ">=" && op != ">" && op != "<=" && op != "<")
        throw DbError(3001, "Invalid argument.");
    // Seeks run many times a rating: the common "=" statement is kept per key count.
    const bool keep = op == "=" && keys.size() < seekEq_.size();
    Statement* st = keep ? seekEq_[keys.size()] : nullptr;
    if (!st) {
        bool descending = op == "<" || op == "<=";
        std::string where;
        if (op == "=") {
            for (size_t i = 0; i < keys.size(); ++i) {
                if (i) where += " AND ";
                where += QuoteIdentifier(indexInfo_.columns[i]) + " = ?" + std::to_string(i + 1);
            }
        } else {
            std::string lhs = "(", rhs = "(";
            for (size_t i = 0; i < keys.size(); ++i) {
                if (i) lhs += ", ", rhs += ", ";
                lhs += QuoteIdentifier(indexInfo_.columns[i]);
                rhs += "?" + std::to_string(i + 1);
            }
            where = lhs + ") " + op + " " + rhs + ")";
        }
        st = &cached("SELECT " + selectList() + " FROM " + quotedTable_ + " WHERE " + where +
                     orderBy(descending) + " LIMIT 1");
        if (keep) seekEq_[keys.size()] = st;
    }
    // A Seek ends the walk the recordset was on.
    releaseCursor();
    const size_t hash = keep ? FoundRows::HashOf(keys) : 0;
    if (keep && recall(keys, hash)) return;
    {
        // The keys outlive the look-up, which resets the statement before it returns.
        ResetWhenDone done(*st);
        st->bindAll(keys, false);
        noMatch_ = !loadFrom(*st);
    }
    if (noMatch_) clearPosition(false, false);
    if (keep && db_.MayRecall()) found_.Keep(keys, hash, current_, row_);
}

bool Recordset::recall(const std::vector<Value>& keys, size_t hash) {
    found_.Sync(db_.dataVersion());
    const FoundRows::Row* f = db_.MayRecall() ? found_.Find(keys, hash) : nullptr;
    if (!f) return false;
    noMatch_ = !f->rowid;
    if (noMatch_) {
        clearPosition(false, false);
        return true;
    }
    current_ = f->rowid;
    row_ = f->values;
    rowVersion_ = db_.dataVersion();
    eof_ = bof_ = false;
    keepKeyOfRow();
    return true;
}

void Recordset::openWalk(bool forward, const std::vector<Value>* after) {
    releaseCursor();
    std::string sql = "SELECT " + selectList() + " FROM " + quotedTable_;
    std::vector<std::pair<int, Value>> binds;
    if (after) {
        // Rows strictly after (or before) the key in index order; a Null key part sorts first.
        const size_t n = after->size();
        std::string cond;
        for (size_t k = n; k-- > 0;) {
            std::string col = k + 1 == n ? "rowid" : QuoteIdentifier(indexInfo_.columns[k]);
            std::string p = "?" + std::to_string(k + 1);
            bool null = (*after)[k].isNull();
            if (!null) binds.emplace_back(static_cast<int>(k + 1), (*after)[k]);
            std::string beyond, equal;
            if (forward) {
                beyond = null ? col + " IS NOT NULL" : col + " > " + p;
            } else {
                beyond = null ? "0" : "(" + col + " < " + p + " OR " + col + " IS NULL)";
            }
            equal = null ? col + " IS NULL" : col + " = " + p;
            cond = cond.empty() ? beyond : "(" + beyond + " OR (" + equal + " AND " + cond + "))";
        }
        // Lets the engine start the scan at the key instead of at the first row.
        if (forward && n > 1 && !(*after)[0].isNull())
            cond = QuoteIdentifier(indexInfo_.columns[0]) + " >= ?1 AND " + cond;
        sql += " WHERE " + cond;
    }
    sql += orderBy(!forward);
    Statement& st = cached(sql);
    st.reset();
    for (auto& [i, v] : binds) st.bind(i, v);
    walk_ = &st;
    walkForward_ = forward;
}

void Recordset::walk(bool forward) {
    bool cursorGood = walk_ && walkForward_ == forward && walkVersion_ == db_.dataVersion();
    if (!cursorGood) openWalk(forward, lastKey_.empty() ? nullptr : &lastKey_);
    bool found = false;
    try {
        found = loadFrom(*walk_);
    } catch (...) {
        releaseCursor();
        throw;
    }
    if (!found) {
        releaseCursor();
        clearPosition(forward, !forward);
        return;
    }
    walkVersion_ = db_.dataVersion();
    // Outside a transaction the open cursor would hold the file's read lock until the next
    // step, which may never come: the next step starts again after this row instead.
    if (!db_.InsideTransaction()) releaseCursor();
}

void Recordset::MoveFirst() {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    openWalk(true, nullptr);
    lastKey_.clear();
    walk(true);
    if (!current_) bof_ = eof_ = true;
}

void Recordset::MoveLast() {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    openWalk(false, nullptr);
    lastKey_.clear();
    walk(false);
    if (!current_) bof_ = eof_ = true;
}

void Recordset::MoveNext() {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    if (eof_ || (lastKey_.empty() && !current_))
        throw DbError(kErrNoCurrentRecord, "No current record.");
    walk(true);
}

void Recordset::MovePrevious() {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    if (bof_ || (lastKey_.empty() && !current_))
        throw DbError(kErrNoCurrentRecord, "No current record.");
    walk(false);
}

int64_t Recordset::RecordCount() {
    Statement& st = cached("SELECT count(*) FROM " + quotedTable_);
    ResetWhenDone done(st);
    st.reset();
    st.step();
    return st.column(0).toInt();
}

Value Recordset::Field(std::string_view name) {
    requireOpen();
    size_t i = columnIndex(name);
    if (mode_ != EditMode::None) return buffer_[i];
    refreshIfStale();
    requireCurrent();
    return row_[i];
}

void Recordset::SetField(std::string_view name, const Value& v) {
    requireOpen();
    size_t i = columnIndex(name);
    if (mode_ == EditMode::None)
        throw DbError(kErrUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    buffer_[i] = v;
    touched_[i] = true;
}

void Recordset::AddNew() {
    requireOpen();
    buffer_.assign(columns_.size(), Value());
    touched_.assign(columns_.size(), false);
    mode_ = EditMode::Add;
}

void Recordset::Edit() {
    requireOpen();
    refreshIfStale();
    requireCurrent();
    buffer_ = row_;
    touched_.assign(columns_.size(), false);
    mode_ = EditMode::Edit;
}

void Recordset::CancelUpdate() {
    mode_ = EditMode::None;
    buffer_.clear();
    touched_.clear();
}

void Recordset::Update() {
    requireOpen();
    if (mode_ == EditMode::None)
        throw DbError(kErrUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    std::vector<Value> params;
    std::string sql;
    if (mode_ == EditMode::Add) {
        std::string cols, marks;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (!touched_[i]) continue;
            if (!cols.empty()) cols += ", ", marks += ", ";
            cols += QuoteIdentifier(columns_[i]);
            marks += "?";
            params.push_back(buffer_[i]);
        }
        sql = cols.empty()
                  ? "INSERT INTO " + quotedTable_ + " DEFAULT VALUES"
                  : "INSERT INTO " + quotedTable_ + " (" + cols + ") VALUES (" + marks + ")";
    } else {
        std::string sets;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (!touched_[i]) continue;
            if (!sets.empty()) sets += ", ";
            sets += QuoteIdentifier(columns_[i]) + " = ?";
            params.push_back(buffer_[i]);
        }
        if (sets.empty()) {
            CancelUpdate();
            return;
        }
        sql = "UPDATE " + quotedTable_ + " SET " + sets + " WHERE rowid = ?";
        params.emplace_back(static_cast<int64_t>(*current_));
    }
    Statement& st = cached(sql);
    // On a duplicate key the edit stays pending, so the caller may correct it or cancel.
    db_.writing([&] {
        ResetWhenDone done(st);
        st.reset();
        st.bindAll(params);
        st.step();
    });
    CancelUpdate();
    db_.touch();
    // An added row does not become current; an edited row is read again as stored.
    refreshIfStale();
    if (current_) keepKeyOfRow();
}

void Recordset::Delete() {
    requireOpen();
    if (mode_ != EditMode::None) CancelUpdate();
    refreshIfStale();
    requireCurrent();
    Statement& st = cached("DELETE FROM " + quotedTable_ + " WHERE rowid = ?");
    db_.writing([&] {
        ResetWhenDone done(st);
        st.reset();
        st.bind(1, Value(static_cast<int64_t>(*current_)));
        st.step();
    });
    db_.touch();
    // lastKey_ stays, so MoveNext goes on from where the deleted row stood.
    clearPosition(false, false);
}

void Recordset::Close() {
    if (!open_) return;
    // The database's collection may hold the last reference; stay alive until done.
    auto self = shared_from_this();
    CancelUpdate();
    closeStatements();
    clearPosition(true, true);
    open_ = false;
    db_.forget(this);
}
