#pragma once
// What the table layer needs of a database engine. One engine object serves the process; it hands
// out one `EngineTable` per table object. The SQLite engine is the first implementation; a server
// engine for stations on several machines can be added behind the same classes.
#include <memory>
#include <string>
#include <vector>

namespace vrx::db {

enum class FieldType { Integer, String, Boolean, Date, Bytes };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Integer;
    int size = 0;  // characters of a string, bytes of a bytes field
};

struct IndexDef {
    std::string name;
    std::vector<std::string> fields;  // "Jmeno;Prijmeni" split at ';'
    bool primary = false;
    bool unique = false;
    bool descending = false;
};

struct TableSchema {
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    int fieldIndex(const std::string& name) const;
};

// One value of a field: numbers, flags and day numbers in `num`; Windows-1250 text and raw bytes
// in `str`.
struct Value {
    long long num = 0;
    std::string str;
};
using Record = std::vector<Value>;

// A table of the engine with a cursor. Every operation reports failure as false (or −1 for counts);
// nothing throws. The cursor follows the order of the active index; records added or removed by
// other stations are seen at the next movement.
class EngineTable {
public:
    virtual ~EngineTable() = default;

    // Structure.
    virtual bool exists() = 0;
    virtual bool create(const TableSchema& schema) = 0;  // replaces a table of the same name
    virtual bool drop() = 0;
    virtual bool addIndex(const IndexDef& index) = 0;  // needs an exclusive open
    virtual bool emptyAll() = 0;                         // needs an exclusive open
    virtual bool copyTo(const std::string& directory, const std::string& name) = 0;

    // Opening. An exclusive open fails while anybody else has the table open, and a shared open fails
    // while somebody holds it exclusively, across processes.
    virtual bool open(bool exclusive, bool readOnly) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual const TableSchema& schema() const = 0;
    virtual const std::string& filePath() const = 0;

    // Navigation.
    virtual bool selectIndex(const std::string& name) = 0;  // "" is the primary index
    virtual bool first() = 0;
    virtual bool last() = 0;
    virtual bool next() = 0;   // false, not moved, at the last record
    virtual bool prior() = 0;  // false, not moved, at the first record
    virtual bool moveBy(long n) = 0;
    // The n-th record (1-based) of the active order becomes current; false when there is none.
    virtual bool seek(long n);
    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual bool hasCurrent() const = 0;
    virtual long recordCount() = 0;     // −1 on failure
    virtual long sequenceNumber() = 0;  // 1-based position of the current record, −1 without one
    virtual bool refresh() = 0;
    virtual bool gotoKey(const std::vector<std::pair<std::string, Value>>& key) = 0;

    // The current record (an empty record when there is none) and changes to it.
    virtual const Record& current() const = 0;
    virtual bool append(const Record& record) = 0;  // the new record becomes current
    virtual bool update(const Record& record) = 0;
    virtual bool deleteCurrent() = 0;  // the following record becomes current

    virtual bool flush() = 0;
    virtual bool beginTransaction() = 0;  // a write transaction: other writers wait
    virtual bool commit() = 0;
    virtual void rollback() = 0;
};

class Engine {
public:
    virtual ~Engine() = default;
    // The table `name` in `directory` (its file is "<directory>/<name>.DB" for file-based engines).
    virtual std::unique_ptr<EngineTable> table(const std::string& directory, const std::string& name) = 0;
};

// The process's engine; SQLite unless a program installs another.
Engine& engine();
void setEngine(std::unique_ptr<Engine> e);

}  // namespace vrx::db
