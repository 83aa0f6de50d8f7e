#include "service/initialization.h"

#include <algorithm>
#include <memory>

#include "db/tables.h"
#include "operators/audit.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::service {
namespace {

std::unique_ptr<TABULKA> makeTable(InitTable t) {
    switch (t) {
        case InitTable::Kody: return std::make_unique<TABKODY>();
        case InitTable::Filtry: return std::make_unique<TABFILTRY>();
        case InitTable::Hesla: return std::make_unique<TABHESLA>();
        case InitTable::Ctecky: return std::make_unique<TABCTECKY>();
        case InitTable::Histor: return std::make_unique<TABHISTOR>();
        case InitTable::Audit: return std::make_unique<TABAUDIT>();
    }
    return nullptr;
}

constexpr InitTable kOrder[] = {InitTable::Kody,   InitTable::Filtry, InitTable::Hesla,
                                InitTable::Ctecky, InitTable::Histor, InitTable::Audit};

}  // namespace

const char* fileNameOf(InitTable t) {
    switch (t) {
        case InitTable::Kody: return "KODY.DB";
        case InitTable::Filtry: return "FILTRY.DB";
        case InitTable::Hesla: return "HESLA.DB";
        case InitTable::Ctecky: return "CTECKY.DB";
        case InitTable::Histor: return "HISTOR.DB";
        case InitTable::Audit: return "AUDIT.DB";
    }
    return "";
}

bool tableByName(const std::string& name, InitTable& out) {
    for (InitTable t : kOrder) {
        std::string file = fileNameOf(t);
        std::string bare = file.substr(0, file.size() - 3);
        if (text::equalsNoCase(name, file) || text::equalsNoCase(name, bare)) {
            out = t;
            return true;
        }
    }
    return false;
}

bool initializeTables(const std::vector<InitTable>& chosen, const ProgressLine& progress) {
    bool all = true;
    for (InitTable t : kOrder) {
        if (std::find(chosen.begin(), chosen.end(), t) == chosen.end()) continue;
        auto table = makeTable(t);
        bool ok = table->create();
        all = all && ok;
        if (progress) progress(text::format("%-14s %s", fileNameOf(t), ok ? "OK" : "CHYBA"));
    }
    writeAudit("Inicializace tabulek");
    return all;
}

void indexTables(const ProgressLine& progress) {
    const InitTable order[] = {InitTable::Kody, InitTable::Histor, InitTable::Filtry, InitTable::Ctecky,
                               InitTable::Audit};
    for (InitTable t : order) {
        auto table = makeTable(t);
        std::string line = text::format("%-13s- ", fileNameOf(t));
        if (!table->open(1, 1, 0)) {
            line += "nelze otevřít."_cz;
        } else {
            line += table->rebuildIndexes() ? "index OK." : "nelze indexovat."_cz;
            table->close();
        }
        if (progress) progress(line);
    }
    writeAudit("Indexování tabulek"_cz);
}

}  // namespace vrx::service
