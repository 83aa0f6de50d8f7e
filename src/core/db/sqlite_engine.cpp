// Tables on SQLite.
//
// Storage: the file "<dir>/<NAME>.DB" holds one SQL table named NAME whose columns are the fields in
// field order. Declared types carry the field type and size: INTEGER, BOOLEAN and DATE hold integers
// (flags 0/1, day numbers), VARCHAR(n) holds UTF-8 text, BLOB(n) holds exactly n bytes. Indexes are
// SQLite indexes under their own names; the primary index is the one unique index.
//
// The cursor is a key position: the active index's key values of the current record (plus the rowid
// where the index is not unique). Every movement is one indexed query from that position, so
// stepping costs O(log n) however large the table is and records added or removed by other
// processes are simply met or passed at the next step.
//
// Sharing: the database runs in WAL mode (one writer, many readers, readers never see a half
// written record) with full synchronisation on every commit. Opening a table takes a flock() on the
// file: shared for a normal open, exclusive for an exclusive one, so exclusive opens are honoured
// across processes.
#include "db/sqlite_engine.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "text/charset.h"
#include "text/strutil.h"

namespace vrx::db {
namespace {

constexpr int kBusyTimeoutMs = 5000;

std::string quoted(const std::string& name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

std::string declaredType(const FieldDef& f) {
    switch (f.type) {
        case FieldType::Integer: return "INTEGER";
        case FieldType::Boolean: return "BOOLEAN";
        case FieldType::Date: return "DATE";
        case FieldType::String: return "VARCHAR(" + std::to_string(f.size) + ")";
        case FieldType::Bytes: return "BLOB(" + std::to_string(f.size) + ")";
    }
    return "INTEGER";
}

FieldDef fieldFromDeclared(const std::string& name, const std::string& decl) {
    FieldDef f;
    f.name = name;
    std::string up = decl;
    for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto sizeOf = [&](const std::string& d) {
        size_t p = d.find('(');
        return p == std::string::npos ? 0 : static_cast<int>(text::readLong(d.substr(p + 1)));
    };
    if (up.rfind("VARCHAR", 0) == 0) {
        f.type = FieldType::String;
        f.size = sizeOf(up);
    } else if (up.rfind("BLOB", 0) == 0) {
        f.type = FieldType::Bytes;
        f.size = sizeOf(up);
    } else if (up == "BOOLEAN") {
        f.type = FieldType::Boolean;
    } else if (up == "DATE") {
        f.type = FieldType::Date;
    } else {
        f.type = FieldType::Integer;
    }
    return f;
}

std::string defaultOf(const FieldDef& f) {
    switch (f.type) {
        case FieldType::String: return "''";
        case FieldType::Bytes: return "X''";
        default: return "0";
    }
}

std::string createTableSql(const std::string& name, const TableSchema& schema) {
    std::string sql = "CREATE TABLE " + quoted(name) + " (";
    for (size_t i = 0; i < schema.fields.size(); ++i) {
        const FieldDef& f = schema.fields[i];
        if (i) sql += ", ";
        sql += quoted(f.name) + " " + declaredType(f) + " NOT NULL DEFAULT " + defaultOf(f);
    }
    return sql + ")";
}

std::string createIndexSql(const std::string& table, const IndexDef& ix) {
    std::string sql = std::string("CREATE ") + (ix.primary || ix.unique ? "UNIQUE " : "") + "INDEX " +
                      quoted(ix.name) + " ON " + quoted(table) + " (";
    for (size_t i = 0; i < ix.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += quoted(ix.fields[i]) + (ix.descending ? " DESC" : "");
    }
    return sql + ")";
}

bool exec(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void removeSidecars(const std::string& path) {
    ::unlink((path + "-wal").c_str());
    ::unlink((path + "-shm").c_str());
    ::unlink((path + "-journal").c_str());
}

void syncDirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A whole-file lock beside SQLite's own locking; released when the descriptor is closed.
class FileLock {
public:
    bool acquire(const std::string& path, bool exclusive) {
        release();
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return false;
        if (::flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            release();
            return false;
        }
        return true;
    }
    void release() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    ~FileLock() { release(); }

private:
    int fd_ = -1;
};

// Opens a connection with the settings every table uses.
sqlite3* openConnection(const std::string& path, bool create) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    if (!exec(db, "PRAGMA journal_mode=WAL") || !exec(db, "PRAGMA synchronous=FULL")) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

bool readSchema(sqlite3* db, const std::string& table, TableSchema& schema) {
    schema = TableSchema{};
    sqlite3_stmt* st = nullptr;
    std::string sql = "PRAGMA table_info(" + quoted(table) + ")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return false;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const char* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        const char* decl = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
        schema.fields.push_back(fieldFromDeclared(name ? name : "", decl ? decl : ""));
    }
    sqlite3_finalize(st);
    if (schema.fields.empty()) return false;

    sql = "PRAGMA index_list(" + quoted(table) + ")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return false;
    std::vector<std::pair<std::string, bool>> names;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const char* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        names.emplace_back(name ? name : "", sqlite3_column_int(st, 2) != 0);
    }
    sqlite3_finalize(st);
    for (auto& [name, unique] : names) {
        IndexDef ix;
        ix.name = name;
        ix.unique = unique;
        ix.primary = unique;
        sql = "PRAGMA index_xinfo(" + quoted(name) + ")";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return false;
        while (sqlite3_step(st) == SQLITE_ROW) {
            if (sqlite3_column_int(st, 5) == 0) continue;  // not a key column
            const char* col = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
            ix.fields.push_back(col ? col : "");
            if (sqlite3_column_int(st, 3)) ix.descending = true;
        }
        sqlite3_finalize(st);
        schema.indexes.push_back(std::move(ix));
    }
    return true;
}

class SqliteTable : public EngineTable {
public:
    SqliteTable(std::string directory, std::string name)
        : dir_(std::move(directory)), name_(std::move(name)), path_(dir_ + "/" + name_ + ".DB") {}
    ~SqliteTable() override { close(); }

    const std::string& filePath() const override { return path_; }
    const TableSchema& schema() const override { return schema_; }
    bool isOpen() const override { return db_ != nullptr; }
    bool bof() const override { return bof_; }
    bool eof() const override { return eof_; }
    bool hasCurrent() const override { return has_; }
    const Record& current() const override { return has_ ? cur_ : empty_; }

    bool exists() override {
        if (isOpen()) return true;
        if (!open(false, true)) return false;
        close();
        return true;
    }

    bool open(bool exclusive, bool readOnly) override {
        if (isOpen()) return false;
        if (!fileExists(path_)) return false;
        if (!lock_.acquire(path_, exclusive)) return false;
        db_ = openConnection(path_, false);
        if (!db_ || !readSchema(db_, name_, schema_)) {
            close();
            return false;
        }
        readOnly_ = readOnly;
        empty_.assign(schema_.fields.size(), Value{});
        if (!selectIndex("")) {
            close();
            return false;
        }
        return first();
    }

    void close() override {
        for (auto& [sql, st] : stmts_) sqlite3_finalize(st);
        stmts_.clear();
        if (db_) {
            if (inTransaction_) exec(db_, "ROLLBACK");
            sqlite3_close(db_);
        }
        db_ = nullptr;
        inTransaction_ = false;
        lock_.release();
        dropAhead();
        has_ = false;
        bof_ = eof_ = true;
        countVersion_ = -1;
    }

    bool create(const TableSchema& schema) override {
        close();
        FileLock guard;
        if (fileExists(path_) && !guard.acquire(path_, true)) return false;
        std::string tmp = path_ + ".new";
        ::unlink(tmp.c_str());
        removeSidecars(tmp);
        sqlite3* db = openConnection(tmp, true);
        bool ok = db && exec(db, createTableSql(name_, schema));
        for (const auto& ix : schema.indexes) ok = ok && exec(db, createIndexSql(name_, ix));
        if (db) sqlite3_close(db);
        if (ok) {
            // The tables hold the station's records: only the owner and its group may read them.
            ::chmod(tmp.c_str(), 0660);
            removeSidecars(path_);
            ok = ::rename(tmp.c_str(), path_.c_str()) == 0;
            syncDirectoryOf(path_);
        }
        if (!ok) {
            ::unlink(tmp.c_str());
            removeSidecars(tmp);
        }
        return ok;
    }

    bool drop() override {
        close();
        FileLock guard;
        if (!guard.acquire(path_, true)) return false;
        bool ok = ::unlink(path_.c_str()) == 0;
        removeSidecars(path_);
        return ok;
    }

    bool addIndex(const IndexDef& index) override {
        if (!isOpen() || readOnly_) return false;
        if (!exec(db_, createIndexSql(name_, index))) return false;
        resetStatements();
        return readSchema(db_, name_, schema_) && selectIndex(activeName_);
    }

    bool emptyAll() override {
        if (!isOpen() || readOnly_) return false;
        if (!exec(db_, "DELETE FROM " + quoted(name_))) return false;
        dropAhead();
        has_ = false;
        bof_ = eof_ = true;
        return true;
    }

    bool copyTo(const std::string& directory, const std::string& name) override {
        // Read the source through SQLite so that records still in the WAL are part of the copy.
        TableSchema schema;
        bool wasOpen = isOpen();
        sqlite3* src = wasOpen ? db_ : openConnection(path_, false);
        if (!src) return false;
        bool ok = readSchema(src, name_, schema);
        if (!wasOpen) sqlite3_close(src);
        if (!ok) return false;

        std::string dest = directory + "/" + name + ".DB";
        if (dest == path_) return false;
        FileLock guard;
        if (fileExists(dest) && !guard.acquire(dest, true)) return false;
        std::string tmp = dest + ".new";
        ::unlink(tmp.c_str());
        removeSidecars(tmp);
        sqlite3* db = openConnection(tmp, true);
        ok = db && exec(db, createTableSql(name, schema));
        ok = ok && exec(db, "ATTACH DATABASE " + sqlLiteral(path_) + " AS src");
        ok = ok && exec(db, "INSERT INTO " + quoted(name) + " SELECT * FROM src." + quoted(name_) +
                                " ORDER BY rowid");
        if (db) exec(db, "DETACH DATABASE src");
        for (const auto& ix : schema.indexes) ok = ok && exec(db, createIndexSql(name, ix));
        if (db) sqlite3_close(db);
        if (ok) {
            struct stat st;
            ::chmod(tmp.c_str(), ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0660);
            removeSidecars(dest);
            ok = ::rename(tmp.c_str(), dest.c_str()) == 0;
            syncDirectoryOf(dest);
        }
        if (!ok) {
            ::unlink(tmp.c_str());
            removeSidecars(tmp);
        }
        return ok;
    }

    bool selectIndex(const std::string& name) override {
        if (!isOpen()) return false;
        const IndexDef* chosen = nullptr;
        for (const auto& ix : schema_.indexes) {
            if (name.empty() ? ix.primary : ix.name == name) {
                chosen = &ix;
                break;
            }
        }
        if (!name.empty() && !chosen) return false;
        activeName_ = chosen ? chosen->name : std::string();
        keyFields_.clear();
        keyDesc_.clear();
        unique_ = chosen && chosen->unique;
        if (chosen) {
            for (const auto& f : chosen->fields) {
                int i = schema_.fieldIndex(f);
                if (i < 0) return false;
                keyFields_.push_back(i);
                keyDesc_.push_back(chosen->descending);
            }
        }
        contiguousCandidate_ = chosen && chosen->primary && keyFields_.size() == 1 &&
                               schema_.fields[static_cast<size_t>(keyFields_[0])].type == FieldType::Integer &&
                               !chosen->descending;
        countVersion_ = -1;
        dropAhead();
        aheadBatch_ = 0;
        buildSql();
        // The record stays current; its position is now in the order of the new index.
        return true;
    }

    bool first() override {
        if (!isOpen()) return false;
        bool found = fetchOne(sqlFirst_, false, 0);
        bof_ = true;
        eof_ = !found;
        if (!found) has_ = false;
        return true;
    }

    bool last() override {
        if (!isOpen()) return false;
        bool found = fetchOne(sqlLast_, false, 0);
        eof_ = true;
        bof_ = !found;
        if (!found) has_ = false;
        return true;
    }

    // Stepping forward reads ahead: the records after the current one come in growing batches (up
    // to 1024) and are served from memory until this connection changes the table or the cursor
    // moves otherwise. A walk therefore sees other stations' changes at the next batch; checking
    // them at every step would cost a read transaction (and its file locks) per record.
    bool next() override {
        if (!isOpen() || !has_) {
            eof_ = true;
            return false;
        }
        if (aheadPos_ < ahead_.size()) {
            if (sqlite3_total_changes64(db_) == aheadChanges_) {
                Ahead& a = ahead_[aheadPos_++];
                rowid_ = a.rowid;
                std::swap(cur_, a.record);
                bof_ = eof_ = false;
                return true;
            }
        }
        const size_t batch = aheadBatch_ == 0 ? 1 : std::min<size_t>(aheadBatch_ * 4, 1024);
        if (batch == 1 ? !fetchOne(sqlAfter_, true, 0) : !fetchAhead(batch)) {
            eof_ = true;
            return false;
        }
        aheadBatch_ = batch;
        bof_ = eof_ = false;
        return true;
    }

    bool prior() override {
        if (!isOpen() || !has_) {
            bof_ = true;
            return false;
        }
        if (fetchOne(sqlBefore_, true, 0)) {
            bof_ = eof_ = false;
            return true;
        }
        bof_ = true;
        return false;
    }

    bool moveBy(long n) override {
        if (!isOpen()) return false;
        if (n == 0) return true;
        if (!has_) return false;
        bool found = n > 0 ? fetchOne(sqlAfterOffset_, true, n - 1) : fetchOne(sqlBeforeOffset_, true, -n - 1);
        if (found) {
            bof_ = eof_ = false;
            return true;
        }
        if (n > 0) last();
        else first();
        return false;
    }

    long recordCount() override {
        if (!isOpen()) return -1;
        if (!refreshCounts()) return -1;
        return count_;
    }

    // Fast positioning: a contiguous integer primary key is addressed directly; otherwise the nearer
    // end of the table is the starting point.
    bool seek(long n) override {
        long count = recordCount();
        if (count < 0 || n < 1 || n > count) return false;
        if (contiguous_) {
            Value key;
            key.num = minKey_ + n - 1;
            std::vector<std::pair<std::string, Value>> k{
                {schema_.fields[static_cast<size_t>(keyFields_[0])].name, key}};
            if (gotoKey(k)) {
                bof_ = n == 1;
                eof_ = false;
                return true;
            }
        }
        bool found = n - 1 <= count - n ? fetchOne(sqlFirstOffset_, false, n - 1)
                                         : fetchOne(sqlLastOffset_, false, count - n);
        if (!found) return false;
        bof_ = n == 1;
        eof_ = false;
        return true;
    }

    long sequenceNumber() override {
        if (!isOpen() || !has_) return -1;
        if (!refreshCounts()) return -1;
        if (contiguous_) return static_cast<long>(cur_[static_cast<size_t>(keyFields_[0])].num - minKey_ + 1);
        sqlite3_stmt* st = prepare(sqlCountBefore_);
        if (!st) return -1;
        bindKey(st, 1);
        long n = -1;
        if (sqlite3_step(st) == SQLITE_ROW) n = static_cast<long>(sqlite3_column_int64(st, 0)) + 1;
        sqlite3_reset(st);
        return n;
    }

    bool refresh() override {
        if (!isOpen()) return false;
        if (!fileExists(path_)) return false;
        countVersion_ = -1;
        if (!has_) return first();
        sqlite3_stmt* st = prepare(sqlByRowid_);
        if (!st) return false;
        sqlite3_bind_int64(st, 1, rowid_);
        bool found = false;
        if (sqlite3_step(st) == SQLITE_ROW) {
            readRow(st);
            found = true;
        }
        sqlite3_reset(st);
        if (!found) positionAfterRemoved();
        return true;
    }

    bool gotoKey(const std::vector<std::pair<std::string, Value>>& key) override {
        if (!isOpen() || key.empty()) return false;
        std::string sql = "SELECT " + selectList_ + " FROM " + quoted(name_) + " WHERE ";
        std::vector<int> fields;
        for (size_t i = 0; i < key.size(); ++i) {
            int f = schema_.fieldIndex(key[i].first);
            if (f < 0) return false;
            fields.push_back(f);
            if (i) sql += " AND ";
            sql += quoted(key[i].first) + " = ?";
        }
        sql += " ORDER BY " + orderAsc_ + " LIMIT 1";
        sqlite3_stmt* st = prepare(sql);
        if (!st) return false;
        for (size_t i = 0; i < key.size(); ++i) bindValue(st, static_cast<int>(i) + 1, fields[i], key[i].second);
        bool found = false;
        if (sqlite3_step(st) == SQLITE_ROW) {
            readRow(st);
            found = true;
        }
        sqlite3_reset(st);
        if (found) bof_ = eof_ = false;
        return found;
    }

    bool append(const Record& record) override {
        if (!isOpen() || readOnly_ || record.size() != schema_.fields.size()) return false;
        sqlite3_stmt* st = prepare(sqlInsert_);
        if (!st) return false;
        for (size_t i = 0; i < record.size(); ++i) bindValue(st, static_cast<int>(i) + 1, static_cast<int>(i), record[i]);
        int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE) return false;
        return loadRowid(sqlite3_last_insert_rowid(db_));
    }

    bool update(const Record& record) override {
        if (!isOpen() || readOnly_ || !has_ || record.size() != schema_.fields.size()) return false;
        sqlite3_stmt* st = prepare(sqlUpdate_);
        if (!st) return false;
        for (size_t i = 0; i < record.size(); ++i) bindValue(st, static_cast<int>(i) + 1, static_cast<int>(i), record[i]);
        sqlite3_bind_int64(st, static_cast<int>(record.size()) + 1, rowid_);
        int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE || sqlite3_changes(db_) != 1) return false;
        return loadRowid(rowid_);
    }

    bool deleteCurrent() override {
        if (!isOpen() || readOnly_ || !has_) return false;
        sqlite3_stmt* st = prepare(sqlDelete_);
        if (!st) return false;
        sqlite3_bind_int64(st, 1, rowid_);
        int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) return false;
        positionAfterRemoved();
        return true;
    }

    bool flush() override {
        if (!isOpen()) return false;
        // Every commit is already on disk; fold the log into the table file as far as readers allow.
        return sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr) == SQLITE_OK;
    }

    bool beginTransaction() override {
        if (!isOpen() || readOnly_ || inTransaction_) return false;
        inTransaction_ = exec(db_, "BEGIN IMMEDIATE");
        return inTransaction_;
    }

    bool commit() override {
        if (!inTransaction_) return false;
        if (!exec(db_, "COMMIT")) return false;
        inTransaction_ = false;
        return true;
    }

    void rollback() override {
        if (!inTransaction_) return;
        exec(db_, "ROLLBACK");
        inTransaction_ = false;
        countVersion_ = -1;
        if (has_) refresh();
    }

private:
    static std::string sqlLiteral(const std::string& s) {
        std::string q = "'";
        for (char c : s) {
            if (c == '\'') q += '\'';
            q += c;
        }
        return q + "'";
    }

    void resetStatements() {
        for (auto& [sql, st] : stmts_) sqlite3_finalize(st);
        stmts_.clear();
    }

    sqlite3_stmt* prepare(const std::string& sql) {
        auto it = stmts_.find(sql);
        if (it != stmts_.end()) return it->second;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            return nullptr;
        }
        stmts_.emplace(sql, st);
        return st;
    }

    // Order columns: the active index's fields, then the rowid unless the index is unique.
    void buildSql() {
        selectList_ = "rowid";
        for (const auto& f : schema_.fields) selectList_ += ", " + quoted(f.name);
        orderCols_.clear();
        orderDesc_.clear();
        for (size_t i = 0; i < keyFields_.size(); ++i) {
            orderCols_.push_back(quoted(schema_.fields[static_cast<size_t>(keyFields_[i])].name));
            orderDesc_.push_back(keyDesc_[i]);
        }
        if (!unique_) {
            orderCols_.push_back("rowid");
            orderDesc_.push_back(false);
        }
        orderAsc_.clear();
        std::string orderDesc;
        for (size_t i = 0; i < orderCols_.size(); ++i) {
            if (i) {
                orderAsc_ += ", ";
                orderDesc += ", ";
            }
            orderAsc_ += orderCols_[i] + (orderDesc_[i] ? " DESC" : " ASC");
            orderDesc += orderCols_[i] + (orderDesc_[i] ? " ASC" : " DESC");
        }
        std::string from = "SELECT " + selectList_ + " FROM " + quoted(name_);
        sqlFirst_ = from + " ORDER BY " + orderAsc_ + " LIMIT 1";
        sqlLast_ = from + " ORDER BY " + orderDesc + " LIMIT 1";
        sqlFirstOffset_ = from + " ORDER BY " + orderAsc_ + " LIMIT 1 OFFSET ?";
        sqlLastOffset_ = from + " ORDER BY " + orderDesc + " LIMIT 1 OFFSET ?";
        std::string after = position(true), before = position(false);
        sqlAfter_ = from + " WHERE " + after + " ORDER BY " + orderAsc_ + " LIMIT 1";
        sqlBefore_ = from + " WHERE " + before + " ORDER BY " + orderDesc + " LIMIT 1";
        sqlAfterOffset_ = from + " WHERE " + after + " ORDER BY " + orderAsc_ + " LIMIT 1 OFFSET ?";
        sqlAfterBatch_ = from + " WHERE " + after + " ORDER BY " + orderAsc_ + " LIMIT ?";
        sqlBeforeOffset_ = from + " WHERE " + before + " ORDER BY " + orderDesc + " LIMIT 1 OFFSET ?";
        sqlCountBefore_ = "SELECT count(*) FROM " + quoted(name_) + " WHERE " + before;
        sqlByRowid_ = from + " WHERE rowid = ?";
        sqlInsert_ = "INSERT INTO " + quoted(name_) + " (";
        std::string marks;
        sqlUpdate_ = "UPDATE " + quoted(name_) + " SET ";
        for (size_t i = 0; i < schema_.fields.size(); ++i) {
            if (i) {
                sqlInsert_ += ", ";
                marks += ", ";
                sqlUpdate_ += ", ";
            }
            sqlInsert_ += quoted(schema_.fields[i].name);
            marks += "?";
            sqlUpdate_ += quoted(schema_.fields[i].name) + " = ?";
        }
        sqlInsert_ += ") VALUES (" + marks + ")";
        sqlUpdate_ += " WHERE rowid = ?";
        sqlDelete_ = "DELETE FROM " + quoted(name_) + " WHERE rowid = ?";
    }

    // The condition "comes after (or before) the current record" in the active order, with the
    // current key bound to ?1..?n.
    std::string position(bool after) const {
        bool uniform = true;
        for (bool d : orderDesc_) uniform = uniform && d == orderDesc_.front();
        const size_t n = orderCols_.size();
        if (uniform) {
            bool greater = after != orderDesc_.front();
            std::string l = "(", r = "(";
            for (size_t i = 0; i < n; ++i) {
                if (i) {
                    l += ", ";
                    r += ", ";
                }
                l += orderCols_[i];
                r += "?" + std::to_string(i + 1);
            }
            return l + ") " + (greater ? ">" : "<") + " " + r + ")";
        }
        std::string cond;
        for (size_t i = 0; i < n; ++i) {
            if (i) cond += " OR ";
            cond += "(";
            for (size_t j = 0; j < i; ++j) cond += orderCols_[j] + " = ?" + std::to_string(j + 1) + " AND ";
            bool greater = after != orderDesc_[i];
            cond += orderCols_[i] + (greater ? " > ?" : " < ?") + std::to_string(i + 1) + ")";
        }
        return "(" + cond + ")";
    }

    void bindValue(sqlite3_stmt* st, int slot, int field, const Value& v) {
        const FieldDef& f = schema_.fields[static_cast<size_t>(field)];
        switch (f.type) {
            case FieldType::String: {
                std::string s = v.str.substr(0, std::min(v.str.size(), v.str.find('\0')));
                if (f.size > 0 && s.size() > static_cast<size_t>(f.size)) s.resize(static_cast<size_t>(f.size));
                std::string utf8 = text::cp1250ToUtf8(s);
                sqlite3_bind_text(st, slot, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
                break;
            }
            case FieldType::Bytes: {
                std::string b = v.str;
                b.resize(static_cast<size_t>(f.size), '\0');
                sqlite3_bind_blob(st, slot, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
                break;
            }
            case FieldType::Boolean: sqlite3_bind_int64(st, slot, v.num != 0); break;
            default: sqlite3_bind_int64(st, slot, v.num); break;
        }
    }

    // Binds the current record's order key to ?1..?n.
    void bindKey(sqlite3_stmt* st, int firstSlot) {
        int slot = firstSlot;
        for (int f : keyFields_) bindValue(st, slot++, f, cur_[static_cast<size_t>(f)]);
        if (!unique_) sqlite3_bind_int64(st, slot, rowid_);
    }

    // The current record from a statement's row; every movement except reading ahead comes here.
    void readRow(sqlite3_stmt* st) {
        dropAhead();
        aheadBatch_ = 0;
        rowid_ = readRowInto(st, cur_);
        has_ = true;
    }

    long long readRowInto(sqlite3_stmt* st, Record& out) {
        out.resize(schema_.fields.size());
        for (size_t i = 0; i < schema_.fields.size(); ++i) {
            int col = static_cast<int>(i) + 1;
            Value& v = out[i];
            switch (schema_.fields[i].type) {
                case FieldType::String: {
                    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
                    v.str = t ? text::utf8ToCp1250(std::string_view(t, static_cast<size_t>(sqlite3_column_bytes(st, col))))
                              : std::string();
                    v.num = 0;
                    break;
                }
                case FieldType::Bytes: {
                    const void* b = sqlite3_column_blob(st, col);
                    int n = sqlite3_column_bytes(st, col);
                    v.str.assign(b ? static_cast<const char*>(b) : "", b ? static_cast<size_t>(n) : 0);
                    v.str.resize(static_cast<size_t>(schema_.fields[i].size), '\0');
                    v.num = 0;
                    break;
                }
                default:
                    v.num = sqlite3_column_int64(st, col);
                    v.str.clear();
                    break;
            }
        }
        return sqlite3_column_int64(st, 0);
    }

    void dropAhead() {
        ahead_.clear();
        aheadPos_ = 0;
    }

    // Fills the read-ahead with up to `count` records after the current one and makes the first
    // of them current; false when there is none.
    bool fetchAhead(size_t count) {
        dropAhead();
        if (!tableVersion(aheadVersion_, aheadChanges_)) return false;
        sqlite3_stmt* st = prepare(sqlAfterBatch_);
        if (!st) return false;
        bindKey(st, 1);
        sqlite3_bind_int64(st, static_cast<int>(orderCols_.size()) + 1, static_cast<long long>(count));
        ahead_.reserve(count);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Ahead a;
            a.rowid = readRowInto(st, a.record);
            ahead_.push_back(std::move(a));
        }
        sqlite3_reset(st);
        if (ahead_.empty()) return false;
        rowid_ = ahead_[0].rowid;
        std::swap(cur_, ahead_[0].record);
        aheadPos_ = 1;
        has_ = true;
        return true;
    }

    // Changes the table has seen: by other connections (data_version) and by this one.
    bool tableVersion(long long& version, long long& changes) {
        sqlite3_stmt* st = prepare("PRAGMA data_version");
        if (!st) return false;
        bool ok = sqlite3_step(st) == SQLITE_ROW;
        if (ok) version = sqlite3_column_int64(st, 0);
        sqlite3_reset(st);
        changes = sqlite3_total_changes64(db_);
        return ok;
    }

    // Runs a positioning query; `relative` binds the current key first. Moves only when found.
    bool fetchOne(const std::string& sql, bool relative, long offset) {
        sqlite3_stmt* st = prepare(sql);
        if (!st) return false;
        int slot = 1;
        if (relative) {
            bindKey(st, 1);
            slot = static_cast<int>(orderCols_.size()) + 1;
        }
        if (sql.size() > 7 && sql.compare(sql.size() - 8, 8, "OFFSET ?") == 0) sqlite3_bind_int64(st, slot, offset);
        bool found = false;
        if (sqlite3_step(st) == SQLITE_ROW) {
            readRow(st);
            found = true;
        }
        sqlite3_reset(st);
        return found;
    }

    bool loadRowid(long long rowid) {
        sqlite3_stmt* st = prepare(sqlByRowid_);
        if (!st) return false;
        sqlite3_bind_int64(st, 1, rowid);
        bool found = false;
        if (sqlite3_step(st) == SQLITE_ROW) {
            readRow(st);
            found = true;
        }
        sqlite3_reset(st);
        if (found) bof_ = eof_ = false;
        return found;
    }

    // After the current record went away: the following record becomes current; without one the
    // cursor stands on the last record at the end, and an empty table has no current record.
    void positionAfterRemoved() {
        if (fetchOne(sqlAfter_, true, 0)) {
            bof_ = eof_ = false;
            return;
        }
        if (fetchOne(sqlLast_, false, 0)) {
            eof_ = true;
            bof_ = false;
            return;
        }
        dropAhead();
        has_ = false;
        bof_ = eof_ = true;
    }

    // Record count (and for an integer primary key its range), recomputed only when the table has
    // changed since, by this connection or by any other.
    bool refreshCounts() {
        long long version = -1, changes = -1;
        if (!tableVersion(version, changes)) return false;
        if (version == countVersion_ && changes == countChanges_) return true;
        sqlite3_stmt* st = prepare("SELECT count(*) FROM " + quoted(name_));
        if (!st) return false;
        bool ok = sqlite3_step(st) == SQLITE_ROW;
        if (ok) count_ = static_cast<long>(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
        if (!ok) return false;
        contiguous_ = false;
        if (contiguousCandidate_ && count_ > 0) {
            std::string col = quoted(schema_.fields[static_cast<size_t>(keyFields_[0])].name);
            st = prepare("SELECT min(" + col + "), max(" + col + ") FROM " + quoted(name_));
            if (st && sqlite3_step(st) == SQLITE_ROW) {
                minKey_ = sqlite3_column_int64(st, 0);
                long long maxKey = sqlite3_column_int64(st, 1);
                contiguous_ = maxKey - minKey_ + 1 == count_;
            }
            if (st) sqlite3_reset(st);
        }
        countVersion_ = version;
        countChanges_ = changes;
        return true;
    }

    std::string dir_, name_, path_;
    sqlite3* db_ = nullptr;
    FileLock lock_;
    bool readOnly_ = false;
    bool inTransaction_ = false;
    TableSchema schema_;
    std::unordered_map<std::string, sqlite3_stmt*> stmts_;

    std::string activeName_;
    std::vector<int> keyFields_;
    std::vector<bool> keyDesc_;
    bool unique_ = false;
    std::vector<std::string> orderCols_;
    std::vector<bool> orderDesc_;
    std::string selectList_, orderAsc_;
    std::string sqlFirst_, sqlLast_, sqlFirstOffset_, sqlLastOffset_, sqlAfter_, sqlBefore_, sqlAfterOffset_,
        sqlBeforeOffset_, sqlAfterBatch_, sqlCountBefore_, sqlByRowid_, sqlInsert_, sqlUpdate_, sqlDelete_;

    bool has_ = false;
    long long rowid_ = 0;
    Record cur_, empty_;
    bool bof_ = true, eof_ = true;

    struct Ahead {
        long long rowid = 0;
        Record record;
    };
    std::vector<Ahead> ahead_;
    size_t aheadPos_ = 0;
    size_t aheadBatch_ = 0;
    long long aheadVersion_ = -1, aheadChanges_ = -1;

    long long countVersion_ = -1, countChanges_ = -1;
    long count_ = 0;
    bool contiguousCandidate_ = false, contiguous_ = false;
    long long minKey_ = 0;
};

}  // namespace

std::unique_ptr<EngineTable> SqliteEngine::table(const std::string& directory, const std::string& name) {
    return std::make_unique<SqliteTable>(directory, name);
}

}  // namespace vrx::db
