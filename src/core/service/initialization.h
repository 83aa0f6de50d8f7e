#pragma once
// Creating tables anew (initialization) and adding missing indexes (indexing), as the service tool
// does them. The windowed dialogs and the command line share these procedures.
#include <functional>
#include <string>
#include <vector>

namespace vrx::service {

// The tables that initialization can create, in the order it creates them.
enum class InitTable { Kody, Filtry, Hesla, Ctecky, Histor, Audit };

// File name of a table ("KODY.DB", ...).
const char* fileNameOf(InitTable t);
// Table by its name ("KODY", "kody.db", ...); false when unknown.
bool tableByName(const std::string& name, InitTable& out);

using ProgressLine = std::function<void(const std::string& line)>;

// Creates each chosen table anew, empty, in the fixed order; one line "%-14s %s" (file name, "OK" or
// "CHYBA") per table; then the audit entry "Inicializace tabulek". Returns true when every chosen
// table was created.
bool initializeTables(const std::vector<InitTable>& chosen, const ProgressLine& progress);

// Adds the indexes of KODY, HISTOR, FILTRY, CTECKY and AUDIT; one line per table; then the audit
// entry "Indexování tabulek".
void indexTables(const ProgressLine& progress);

}  // namespace vrx::service
