#include "db/engine.h"

#include "db/sqlite_engine.h"

namespace vrx::db {
namespace {
std::unique_ptr<Engine>& engineSlot() {
    static std::unique_ptr<Engine> e = std::make_unique<SqliteEngine>();
    return e;
}
}  // namespace

int TableSchema::fieldIndex(const std::string& name) const {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

bool EngineTable::seek(long n) {
    if (n < 1 || !first() || !hasCurrent()) return false;
    return n == 1 || moveBy(n - 1);
}

Engine& engine() { return *engineSlot(); }
void setEngine(std::unique_ptr<Engine> e) {
    if (e) engineSlot() = std::move(e);
}

}  // namespace vrx::db
