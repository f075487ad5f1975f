#include "database.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>

#include "databaseparts.h"
#include "numbers.h"
#include "savefile.h"

using namespace databaseparts;

namespace {

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

DamageAdvice& Advice() {
    static DamageAdvice advice;
    return advice;
}

std::string AdviceFor(const std::string& path) {
    std::string advice;
    if (Advice()) advice = Advice()(path);
    return advice.empty() ? "Restore it from a backup copy." : advice;
}

// A damaged file is named, with what to do: the engine's own words ("database disk image is
// malformed") name no file, and a user cannot tell them from a fault of the program.
DbError Damaged(const std::string& path, int primary) {
    const std::string what =
        primary == SQLITE_NOTADB
            ? "The file " + path + " is not a Fretlyn database, or it is damaged"
            : "The database " + path + " is damaged";
    return DbError(kErrDamaged, what + " (" + sqlite3_errstr(primary) + ").  " + AdviceFor(path));
}

[[noreturn]] void ThrowDamaged(const std::string& path, int primary) {
    throw Damaged(path, primary);
}

// With other files attached (an earlier edition read by the upgrade) the engine does not say
// which file is damaged: each is checked, so that a sound file is not the one named.
std::string DamagedFileOf(sqlite3* db) {
    std::vector<std::string> schemas;
    for (int i = 0; const char* schema = sqlite3_db_name(db, i); ++i)
        if (std::string_view(schema) != "temp") schemas.push_back(schema);
    if (schemas.size() < 2) return FileOf(db);
    for (const std::string& schema : schemas) {
        const std::string check = "PRAGMA \"" + schema + "\".quick_check(1)";
        sqlite3_stmt* st = nullptr;
        bool sound = false;
        if (sqlite3_prepare_v2(db, check.c_str(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* said = sqlite3_column_text(st, 0);
            sound = said && std::string_view(reinterpret_cast<const char*>(said)) == "ok";
        }
        sqlite3_finalize(st);
        const char* file = sqlite3_db_filename(db, schema.c_str());
        if (!sound && file && *file) return file;
    }
    return FileOf(db);
}

// The limit on the size of a file this program may write (ulimit -f), when one is set.
std::optional<uint64_t> FileSizeLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return static_cast<uint64_t>(limit.rlim_cur);
}
// More than one change of the program adds to its database.
constexpr uint64_t kMostWriteGrowth = 1 << 20;
}  // namespace

bool PastFileSizeLimit(const std::string& path, uint64_t growth) {
    const std::optional<uint64_t> limit = FileSizeLimit();
    struct stat file {};
    if (!limit || path.empty() || ::stat(path.c_str(), &file) != 0) return false;
    return static_cast<uint64_t>(file.st_size) + growth > *limit;
}

DbError FileSizeLimitError(const std::string& path) {
    const std::optional<uint64_t> limit = FileSizeLimit();
    return DbError(kErrDiskFull,
                   "The change was not saved: the database " + path +
                       " would be larger than this system lets a file be (" + SystemReason(EFBIG) +
                       (limit ? ", at most " + std::to_string(*limit) + " bytes" : std::string()) +
                       ").  Start Fretlyn where files may be larger (ulimit -f) and try again.");
}

namespace {
// The failures a user can do something about are said in words, with the numbers the old
// engine gave them; every other failure keeps the engine's own text.
void ThrowIfLockedOrReadOnly(sqlite3* db, int extendedCode) {
    const int primary = extendedCode & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        ThrowDamaged(DamagedFileOf(db), primary);
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw DbError(kErrLocked, "The database " + FileOf(db) +
                                      " is locked by another program.  Try again when that "
                                      "program has finished with it.");
    if (primary == SQLITE_READONLY)
        throw DbError(kErrReadOnly,
                      "The database " + FileOf(db) + " is read-only, so the change was not saved.");
    // The engine's own words ("database or disk is full", "disk I/O error") name no file.
    if (primary == SQLITE_FULL)
        throw DbError(kErrDiskFull, "The change was not saved: the disk holding the database " +
                                        FileOf(db) + " is full (" + SystemReason(ENOSPC) +
                                        ").  Free some space on it and try again.");
    if (primary == SQLITE_IOERR) {
        const int system = sqlite3_system_errno(db);
        // Past a limit on the size of a file the engine often knows no more than that its write
        // failed: the limit is named, as a full disk is.
        if (system == EFBIG || PastFileSizeLimit(FileOf(db), kMostWriteGrowth))
            throw FileSizeLimitError(FileOf(db));
        throw DbError(kErrGeneral,
                      "The database " + FileOf(db) + " could not be read or written (" +
                          (system ? SystemReason(system) : sqlite3_errstr(primary)) + ").");
    }
    // While it stores a change the engine keeps a journal file beside the database.
    if (primary == SQLITE_CANTOPEN)
        throw DbError(kErrReadOnly, "The change was not saved: the database " + FileOf(db) +
                                        " or its folder cannot be written.");
}
}  // namespace

void SetDamageAdvice(DamageAdvice advice) {
    Advice() = std::move(advice);
}

DbError DamagedDatabase(const std::string& path) {
    return Damaged(path, SQLITE_CORRUPT);
}

DbAlteredError AlteredDatabase(int number, const std::string& path, const std::string& what) {
    return DbAlteredError(number,
                          "The database " + path +
                              " is damaged or was changed by another program: " + what + ".  " +
                              AdviceFor(path),
                          what);
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    const std::string text = TranslateDialect(sql);
    int rc = sqlite3_prepare_v3(db, text.c_str(), static_cast<int>(text.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        ThrowIfLockedOrReadOnly(db, sqlite3_extended_errcode(db));
        // Every statement fits the tables the program ships: one the engine cannot prepare
        // meets a file whose tables were changed. The statement itself tells a user nothing.
        throw AlteredDatabase(kErrGeneral, FileOf(db), msg);
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
    throw DbError(kErrGeneral, "The database " + FileOf(db_) + " failed: " + msg + ".");
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

Snapshot::Snapshot(std::vector<std::string> names, std::vector<std::vector<Value>> rows,
                   std::string source)
    : names_(std::move(names)), rows_(std::move(rows)), source_(std::move(source)) {
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
    if (source_.empty())
        throw DbError(kErrFieldNotFound, "Item not found in this collection: " + std::string(name));
    throw AlteredDatabase(kErrFieldNotFound, source_,
                          "the field '" + std::string(name) + "' is missing from what was read");
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
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) ThrowDamaged(path, primary);
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
    return Snapshot(std::move(names), std::move(rows), Path());
}

Database::PreparedStatement& Database::prepare(const std::string& sql) {
    if (!db_) throw DbError(kErrObjectClosed, "The database is closed.");
    auto it = prepared_.find(sql);
    if (it == prepared_.end())
        it = prepared_.emplace(sql, PreparedStatement{std::make_unique<Statement>(db_, sql), {}})
                 .first;
    return it->second;
}

Statement& Database::Prepared(const std::string& sql) {
    return *prepare(sql).statement;
}

const std::vector<Value>* Database::LookUp(const std::string& sql,
                                           const std::vector<Value>& params) {
    PreparedStatement& prepared = prepare(sql);
    Statement& st = *prepared.statement;
    CommandRows& found = prepared.found;
    const bool recall = MayRecall();
    const size_t hash = recall ? FoundRows::HashOf(params) : 0;
    if (recall) {
        found.Sync(dataVersion_, command_);
        if (const CommandRows::Row* r = found.Find(params, hash))
            return r->found ? &r->values : nullptr;
    }
    bool any = false;
    {
        // The parameters outlive the look-up, which resets the statement before it returns.
        // Every use of a prepared statement resets it when it ends, so it is ready here; this
        // is the hottest path of a batch test, where a second reset showed in the profile.
        ResetWhenDone done(st);
        st.bindAll(params, false);
        lookUpRow_.clear();
        any = st.step();
        for (int i = 0; any && i < st.columnCount(); ++i) lookUpRow_.push_back(st.column(i));
    }
    if (!recall) return any ? &lookUpRow_ : nullptr;
    const CommandRows::Row& kept = found.Keep(params, hash, any, lookUpRow_);
    return any ? &kept.values : nullptr;
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
    static std::atomic<uint64_t> commandsBegun{0};
    command_ = ++commandsBegun;
    try {
        startRead(true);
    } catch (...) {
        --readDepth_;
        throw;
    }
    commandOpen_ = true;
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
    if (readDepth_ == 0 || --readDepth_ > 0) return;
    commandOpen_ = false;
    if (readBegun_) finishRead();
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
    // Under a limit on the size of a file below the database's own size, a write falls past the
    // limit part way, and the engine then cannot put back what it had written: until the program
    // ended the database could not even be read. Such a write is not begun.
    if (transDepth_ == 0 && PastFileSizeLimit(path_, 0)) throw FileSizeLimitError(path_);
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
