#include "db/tabulka.h"

#include "settings/inisoubor.h"
#include "text/strutil.h"

namespace vrx {

namespace {
std::vector<std::pair<std::string, std::string>>& aliasOverrides() {
    static std::vector<std::pair<std::string, std::string>> o;
    return o;
}
}  // namespace

void setAliasDirectory(std::string_view alias, std::string directory) {
    auto& o = aliasOverrides();
    std::erase_if(o, [&](const auto& e) { return text::equalsNoCase(e.first, alias); });
    if (!directory.empty()) o.emplace_back(std::string(alias), std::move(directory));
}

std::string aliasDirectory(std::string_view alias) {
    for (const auto& [name, dir] : aliasOverrides()) {
        if (text::equalsNoCase(name, alias)) return dir;
    }
    static const struct {
        const char* alias;
        const char* key;
    } kAliases[] = {{"VRXSPOL", "SpolTabulky"}, {"VRXPRIV", "PrivTabulky"}, {"VRXZSPOL", "SpolZaloha"},
                    {"VRXZPRIV", "PrivZaloha"}, {"VRXZUPD", "ZalohaHist"},  {"VRXZAU", "ZalohaAudit"}};
    for (const auto& a : kAliases) {
        if (text::equalsNoCase(alias, a.alias)) {
            std::string dir = settings().readString("ADRESARE", a.key, "", 4095);
            // Directories may have been entered with a trailing separator or in Windows style.
            for (auto& c : dir) {
                if (c == '\\') c = '/';
            }
            while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
            return dir;
        }
    }
    return {};
}

TABULKA::TABULKA(std::string_view alias, std::string_view tableName, int tableType)
    : tableName_(tableName), alias_(alias), tableType_(tableType) {
    bind(aliasDirectory(alias));
}

TABULKA::TABULKA(InDirectory dir, std::string_view tableName) : tableName_(tableName) {
    bind(dir.directory);
}

void TABULKA::bind(const std::string& directory) {
    // An unknown alias leaves an empty directory: the table then lives nowhere and every open fails.
    table_ = db::engine().table(directory.empty() ? std::string("/nonexistent-alias") : directory, tableName_);
}

TABULKA::~TABULKA() { close(); }

bool TABULKA::exists() { return table_->exists(); }

bool TABULKA::drop() { return table_->drop(); }

bool TABULKA::open(int exclusive, int writable, int createIfMissing) {
    if (createIfMissing == 1 && !exists()) {
        if (!create()) return false;
    }
    exclusive_ = exclusive == 1;
    state_ = State::Browse;
    if (table_->isOpen()) table_->close();
    return table_->open(exclusive_, writable == 0);
}

bool TABULKA::flush() { return table_->flush(); }

bool TABULKA::close() {
    if (table_) table_->close();
    state_ = State::Browse;
    return true;
}

bool TABULKA::isOpen() const { return table_->isOpen(); }
bool TABULKA::eof() const { return table_->eof(); }
bool TABULKA::bof() const { return table_->bof(); }

bool TABULKA::empty() {
    const bool wasExclusive = exclusive_;
    const bool wasOpen = table_->isOpen();
    bool ok;
    if (!exclusive_ || !wasOpen) {
        table_->close();
        exclusive_ = true;
        if (!table_->open(true, false)) {
            exclusive_ = false;
            table_->open(false, false);
        }
    }
    if (exclusive_) {
        ok = table_->emptyAll();
    } else {
        // Somebody else has the table open: remove the records one by one.
        ok = table_->isOpen() && table_->first();
        while (ok && !table_->eof() && table_->hasCurrent()) ok = table_->deleteCurrent();
    }
    table_->close();
    exclusive_ = wasExclusive;
    if (wasOpen) table_->open(exclusive_, false);
    resetCurrent();
    return ok;
}

bool TABULKA::copyTo(std::string_view alias, std::string_view name) {
    std::string dir = aliasDirectory(alias);
    if (dir.empty()) return false;
    return copyToDirectory(dir, name);
}

bool TABULKA::copyToDirectory(const std::string& directory, std::string_view name) {
    return table_->copyTo(directory, std::string(name));
}

std::string TABULKA::filePath() const { return table_->filePath(); }

long TABULKA::recordCount() {
    long n = table_->recordCount();
    return n < 0 ? 0 : n;
}

bool TABULKA::reload() { return loadRecord(); }

bool TABULKA::first() {
    if (!table_->first()) return false;
    return loadRecord();
}

bool TABULKA::last() {
    if (!table_->last()) return false;
    return loadRecord();
}

bool TABULKA::prior() {
    if (!table_->prior()) return false;
    return loadRecord();
}

bool TABULKA::next() {
    if (!table_->next()) return false;
    return loadRecord();
}

bool TABULKA::readAt(long n) {
    if (!goTo(n)) return false;
    return loadRecord();
}

bool TABULKA::goTo(long n) {
    if (!table_->isOpen()) return false;
    long count = table_->recordCount();
    if (count < 0 || count < n || count == 0) return false;
    if (n < 1) n = 1;  // "first record, then move by n − 1": nothing lies before the first
    return table_->seek(n);
}

bool TABULKA::save(int mode) {
    if (!table_->isOpen()) return false;
    if (mode == 1) {
        state_ = State::Insert;
        edit_.assign(table_->schema().fields.size(), db::Value{});
    } else if (state_ != State::Edit) {
        if (!table_->hasCurrent()) return false;
        state_ = State::Edit;
        edit_ = table_->current();
    }
    bool ok = storeRecord();
    if (ok) ok = state_ == State::Insert ? table_->append(edit_) : table_->update(edit_);
    // A failed post is cancelled: the table is back in browse mode either way.
    state_ = State::Browse;
    return ok;
}

bool TABULKA::deleteCurrent() {
    state_ = State::Browse;
    return table_->deleteCurrent();
}

bool TABULKA::resetCurrent() {
    if (!table_->isOpen()) {
        clearRecord();
        return false;
    }
    state_ = State::Edit;
    clearRecord();
    edit_.assign(table_->schema().fields.size(), db::Value{});
    return true;
}

bool TABULKA::goFirst() { return table_->first(); }
bool TABULKA::goLast() { return table_->last(); }

bool TABULKA::rebuildIndexes() { return false; }

long TABULKA::recordNumber() { return table_->sequenceNumber(); }

bool TABULKA::beginTransaction() { return table_->beginTransaction(); }
bool TABULKA::commitTransaction() { return table_->commit(); }
void TABULKA::rollbackTransaction() { table_->rollback(); }

long long TABULKA::fieldInt(int i) const {
    const db::Record& r = table_->current();
    return i >= 0 && static_cast<size_t>(i) < r.size() ? r[static_cast<size_t>(i)].num : 0;
}

std::string TABULKA::fieldString(int i) const {
    const db::Record& r = table_->current();
    return i >= 0 && static_cast<size_t>(i) < r.size() ? r[static_cast<size_t>(i)].str : std::string();
}

std::string TABULKA::fieldBytes(int i) const { return fieldString(i); }

void TABULKA::setField(int i, long long v) {
    if (i >= 0 && static_cast<size_t>(i) < edit_.size()) edit_[static_cast<size_t>(i)].num = v;
}

void TABULKA::setField(int i, std::string_view v) {
    if (i >= 0 && static_cast<size_t>(i) < edit_.size()) edit_[static_cast<size_t>(i)].str.assign(v);
}

bool TABULKA::createTable(const db::TableSchema& schema) {
    close();
    return table_->create(schema);
}

bool TABULKA::rebuildIndexesOf(const db::TableSchema& schema) {
    close();
    exclusive_ = true;
    if (!table_->open(true, false)) return false;
    bool ok = true;
    for (const auto& ix : schema.indexes) {
        if (!(ok = table_->addIndex(ix))) break;
    }
    close();
    return ok;
}

bool TABULKA::useIndex(const std::string& name) { return table_->selectIndex(name); }

bool TABULKA::findKey(const std::vector<std::pair<std::string, db::Value>>& key) {
    if (!table_->gotoKey(key)) return false;
    return loadRecord();
}

db::FieldDef intField(const char* name) { return {name, db::FieldType::Integer, 0}; }
db::FieldDef boolField(const char* name) { return {name, db::FieldType::Boolean, 0}; }
db::FieldDef dateField(const char* name) { return {name, db::FieldType::Date, 0}; }
db::FieldDef stringField(const char* name, int size) { return {name, db::FieldType::String, size}; }
db::FieldDef bytesField(const char* name, int size) { return {name, db::FieldType::Bytes, size}; }
db::IndexDef primaryIndex(const char* name, std::vector<std::string> fields) {
    return {name, std::move(fields), true, true, false};
}
db::IndexDef secondaryIndex(const char* name, std::vector<std::string> fields, bool descending) {
    return {name, std::move(fields), false, false, descending};
}

}  // namespace vrx
