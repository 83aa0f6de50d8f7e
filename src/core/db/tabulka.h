#pragma once
// The base of every table class: one engine table bound to an alias and a table name, a fixed set
// of operations on it, and every engine failure turned into a false result.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/engine.h"

namespace vrx {

// Directory of an alias ("VRXSPOL", "VRXPRIV", "VRXZSPOL", "VRXZPRIV", "VRXZUPD", "VRXZAU"; compared
// without case), read from section "ADRESARE" of the program's settings file; empty when unknown.
std::string aliasDirectory(std::string_view alias);
// Points an alias at a directory for this process, ahead of the settings file (command-line
// options of the tools); an empty directory removes the override.
void setAliasDirectory(std::string_view alias, std::string directory);

class TABULKA {
public:
    // Binds to (alias, table name); opens nothing.
    TABULKA(std::string_view alias, std::string_view tableName, int tableType = 1);
    // Binds to a table file in an explicit directory (archives, copies chosen by the user).
    struct InDirectory {
        std::string directory;
    };
    TABULKA(InDirectory dir, std::string_view tableName);
    virtual ~TABULKA();
    TABULKA(const TABULKA&) = delete;
    TABULKA& operator=(const TABULKA&) = delete;

    virtual bool loadRecord() = 0;
    virtual bool storeRecord() = 0;
    virtual void clearRecord() = 0;
    virtual bool exists();
    virtual bool create() = 0;
    virtual bool drop();
    virtual bool open(int exclusive, int writable, int createIfMissing);
    virtual bool flush();
    virtual bool close();
    virtual bool empty();
    virtual bool copyTo(std::string_view alias, std::string_view name);
    virtual long recordCount();
    virtual bool reload();
    virtual bool first();
    virtual bool last();
    virtual bool prior();
    virtual bool next();
    virtual bool readAt(long n);
    virtual bool save(int mode);
    virtual bool deleteCurrent();
    virtual bool resetCurrent();
    virtual bool goFirst();
    virtual bool goLast();
    virtual bool goTo(long n);
    virtual bool selectIndex(int n) = 0;
    virtual bool rebuildIndexes();

    std::string tableName() const { return tableName_; }
    const std::string& alias() const { return alias_; }
    long recordNumber();

    // The end flags of the cursor: `first` sets the beginning flag, stepping past the last record
    // (or `last`) sets the end flag.
    bool eof() const;
    bool bof() const;
    bool isOpen() const;
    void setExclusive(bool on) { exclusive_ = on; }
    bool exclusive() const { return exclusive_; }

    // A write transaction around several saves (one commit for a batch of events); other writers
    // wait meanwhile. Not part of the classic table operations; used where batches are written.
    bool beginTransaction();
    bool commitTransaction();
    void rollbackTransaction();

    // Copy of the whole table into an explicit directory under `name`.
    bool copyToDirectory(const std::string& directory, std::string_view name);
    // The file holding the table.
    std::string filePath() const;

protected:
    // Field access for the table classes: reads come from the current record, writes go to the
    // record being edited or appended.
    long long fieldInt(int i) const;
    bool fieldBool(int i) const { return fieldInt(i) != 0; }
    std::string fieldString(int i) const;
    std::string fieldBytes(int i) const;
    void setField(int i, long long v);
    void setField(int i, std::string_view v);

    // Creates the table anew with the given layout (replacing it).
    bool createTable(const db::TableSchema& schema);
    // Reopens the table exclusively and adds the layout's indexes in order; false at the first one
    // the engine refuses (the ones added before it stay). The table is closed afterwards.
    bool rebuildIndexesOf(const db::TableSchema& schema);
    // Makes the named index active ("" = primary); false when the table has no such index.
    bool useIndex(const std::string& name);
    // Key search on the active index; on success the record is current and loaded.
    bool findKey(const std::vector<std::pair<std::string, db::Value>>& key);

    db::EngineTable& engineTable() { return *table_; }

private:
    void bind(const std::string& directory);

    std::string tableName_;
    std::string alias_;
    int tableType_ = 1;
    bool exclusive_ = false;
    std::unique_ptr<db::EngineTable> table_;
    db::Record edit_;
    enum class State { Browse, Edit, Insert } state_ = State::Browse;
};

// Builders used by the table classes to describe their layout.
db::FieldDef intField(const char* name);
db::FieldDef boolField(const char* name);
db::FieldDef dateField(const char* name);
db::FieldDef stringField(const char* name, int size);
db::FieldDef bytesField(const char* name, int size);
db::IndexDef primaryIndex(const char* name, std::vector<std::string> fields);
db::IndexDef secondaryIndex(const char* name, std::vector<std::string> fields, bool descending = false);

}  // namespace vrx
