// Table-type recordsets: a current row that persists between callers, an index chosen by name,
// Seek and the walks, and the edits; and the memory of rows found within a command.

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "database.h"
#include "databaseparts.h"
#include "numbers.h"

using namespace databaseparts;

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

// ---------------------------------------------------------------- CommandRows

void CommandRows::Sync(uint64_t dataVersion, uint64_t command) {
    if (dataVersion != version_) {
        used_ = 0;
        rebuildSlots();
        version_ = dataVersion;
    }
    if (command == command_) return;
    command_ = command;
    // Rows of earlier commands fall out of use as new ones come; after a command that kept
    // many, they are dropped at once so that the slots stay few.
    if (used_ > 2 * kKeptBetweenCommands) dropUnusable();
}

size_t CommandRows::slotOf(size_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i] != 0 && rows_[slots_[i] - 1].hash != hash) i = (i + 1) & mask;
    return i;
}

void CommandRows::rebuildSlots() {
    size_t size = 64;
    while (size < 2 * (used_ + 1)) size *= 2;
    slots_.assign(size, 0);
    for (size_t r = 0; r < used_; ++r) slots_[slotOf(rows_[r].hash)] = static_cast<uint32_t>(r + 1);
}

void CommandRows::dropUnusable() {
    size_t kept = 0;
    for (size_t r = 0; r < used_; ++r)
        if (usable(rows_[r])) std::swap(rows_[kept++], rows_[r]);
    used_ = kept;
    rebuildSlots();
}

const CommandRows::Row* CommandRows::Find(const std::vector<Value>& keys, size_t hash) const {
    if (used_ == 0) return nullptr;
    const uint32_t slot = slots_[slotOf(hash)];
    if (slot == 0) return nullptr;
    const Row& r = rows_[slot - 1];
    return usable(r) && r.keys == keys ? &r : nullptr;
}

const CommandRows::Row& CommandRows::Keep(const std::vector<Value>& keys, size_t hash, bool found,
                                          const std::vector<Value>& values) {
    if (used_ >= kKeptInCommand) {
        dropUnusable();
        if (used_ >= kKeptInCommand) {
            used_ = 0;
            rebuildSlots();
        }
    }
    if (slots_.size() < 2 * (used_ + 1)) rebuildSlots();
    const size_t slot = slotOf(hash);
    if (slots_[slot] == 0) {
        if (used_ == rows_.size()) rows_.emplace_back();
        slots_[slot] = static_cast<uint32_t>(++used_);
    }
    // Assigned, not moved in: the row's vectors keep their room.
    Row& r = rows_[slots_[slot] - 1];
    r.hash = hash;
    r.keys = keys;
    r.found = found;
    r.values = values;
    r.kept = kept_++;
    r.command = command_;
    return r;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(Database& db, std::string table)
    : db_(db), table_(std::move(table)), quotedTable_(QuoteIdentifier(table_)) {
    if (!db_.TableExists(table_))
        throw AlteredDatabase(kErrNotFound, db_.Path(),
                              "the table '" + table_ + "' is missing from it");
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
    throw AlteredDatabase(
        kErrFieldNotFound, db_.Path(),
        "the field '" + std::string(name) + "' is missing from its table " + table_);
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
            throw AlteredDatabase(
                kErrIndexNotFound, db_.Path(),
                "the index '" + indexName + "' is missing from its table " + table_);
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
