#pragma once
// The embedded engine: one SQLite database file per table ("HISTOR.DB" holds table HISTOR).
#include <memory>
#include <string>

#include "db/engine.h"

namespace vrx::db {

class SqliteEngine : public Engine {
public:
    std::unique_ptr<EngineTable> table(const std::string& directory, const std::string& name) override;
};

}  // namespace vrx::db
