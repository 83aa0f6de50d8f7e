#include "cli.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "db/tables.h"
#include "operators/audit.h"
#include "service/initialization.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::dedado {
namespace {

void printLine(const std::string& cp1250) { std::printf("%s\n", text::cp1250ToUtf8(cp1250).c_str()); }

int usage(FILE* out) {
    std::fprintf(out,
                 "Použití:\n"
                 "  Dedado init [--shared DIR] [--private DIR] [TABULKA ...]\n"
                 "      vytvoří tabulky znovu a prázdné (výchozí: KODY FILTRY HESLA CTECKY HISTOR AUDIT)\n"
                 "  Dedado index [--shared DIR] [--private DIR]\n"
                 "      doplní indexy tabulek KODY, HISTOR, FILTRY, CTECKY a AUDIT\n"
                 "  Dedado show [--shared DIR] [--private DIR] TABULKA [--last N]\n"
                 "      vypíše záznamy tabulky HISTOR, AUDIT, KODY, CTECKY nebo FILTRY\n"
                 "Adresáře tabulek se jinak berou ze souboru DEDADO.INI v pracovním adresáři\n"
                 "(sekce ADRESARE, klíče SpolTabulky a PrivTabulky).\n");
    return out == stderr ? 2 : 0;
}

// Prints the last `last` records (all when 0) of a table, one line each.
template <class T, class F>
int show(T& table, long last, F line) {
    if (!table.open(0, 0, 0)) {
        std::fprintf(stderr, "Tabulku %s nelze otevřít.\n", table.tableName().c_str());
        return 1;
    }
    long count = table.recordCount();
    long start = last > 0 && count > last ? count - last + 1 : 1;
    if (count == 0 || !table.readAt(start)) return 0;
    do printLine(line(table.rec));
    while (table.next());
    return 0;
}

int showTable(const std::string& name, long last) {
    if (text::equalsNoCase(name, "HISTOR")) {
        TABHISTOR t;
        return show(t, last, [](const TABHISTOR::Record& r) {
            return std::to_string(r.Cislo) + "  " + text::formatDate(r.Datum) + "  " + r.Retezec;
        });
    }
    if (text::equalsNoCase(name, "AUDIT")) {
        TABAUDIT t;
        return show(t, last, [](const TABAUDIT::Record& r) {
            return std::to_string(r.Cislo) + "  " + text::formatDate(r.Datum) + " " + text::formatTime(r.Cas) +
                   "  " + r.Operator + "  " + r.Udalost;
        });
    }
    if (text::equalsNoCase(name, "KODY")) {
        TABKODY t;
        return show(t, last, [](const TABKODY::Record& r) {
            return std::to_string(r.Kod) + "  " + std::to_string(r.Typ) + "  " + r.Jmeno + " " + r.Prijmeni +
                   "  " + r.Karta;
        });
    }
    if (text::equalsNoCase(name, "CTECKY")) {
        TABCTECKY t;
        return show(t, last, [](const TABCTECKY::Record& r) {
            return std::to_string(r.Cislo) + "  " + r.Popis + "  " + (r.Dochazka ? "1" : "0");
        });
    }
    if (text::equalsNoCase(name, "FILTRY")) {
        TABFILTRY t;
        return show(t, last, [](const TABFILTRY::Record& r) {
            return std::to_string(r.Priorita) + "  " + std::to_string(r.Denik) + "  " + r.Maska;
        });
    }
    std::fprintf(stderr, "Neznámá tabulka: %s\n", name.c_str());
    return 2;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    if (argc < 2) return -1;
    std::string command = argv[1];
    if (command == "--help" || command == "-h") return usage(stdout);
    if (command != "init" && command != "index" && command != "show") return -1;

    setSettingsFile("DEDADO.INI");
    std::vector<std::string> names;
    long last = 0;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--shared" || a == "--private" || a == "--last") && i + 1 < argc) {
            std::string v = argv[++i];
            if (a == "--shared") setAliasDirectory("VRXSPOL", v);
            else if (a == "--private") setAliasDirectory("VRXPRIV", v);
            else last = std::atol(v.c_str());
        } else if (!a.empty() && a[0] == '-') {
            return usage(stderr);
        } else {
            names.push_back(a);
        }
    }

    if (command == "show") {
        if (names.size() != 1) return usage(stderr);
        return showTable(names[0], last);
    }
    if (command == "index") {
        if (!names.empty()) return usage(stderr);
        service::indexTables(printLine);
        return 0;
    }
    std::vector<service::InitTable> chosen;
    if (names.empty()) {
        chosen = {service::InitTable::Kody, service::InitTable::Filtry, service::InitTable::Hesla,
                  service::InitTable::Ctecky, service::InitTable::Histor, service::InitTable::Audit};
    }
    for (const auto& n : names) {
        service::InitTable t;
        if (!service::tableByName(n, t)) {
            std::fprintf(stderr, "Neznámá tabulka: %s\n", n.c_str());
            return 2;
        }
        chosen.push_back(t);
    }
    if (aliasDirectory("VRXSPOL").empty() || aliasDirectory("VRXPRIV").empty()) {
        bool needShared = false, needPrivate = false;
        for (auto t : chosen) (t == service::InitTable::Filtry ? needPrivate : needShared) = true;
        if ((needShared && aliasDirectory("VRXSPOL").empty()) || (needPrivate && aliasDirectory("VRXPRIV").empty())) {
            std::fprintf(stderr, "Není nastaven adresář tabulek (--shared/--private nebo DEDADO.INI).\n");
            return 2;
        }
    }
    return service::initializeTables(chosen, printLine) ? 0 : 1;
}

}  // namespace vrx::dedado
