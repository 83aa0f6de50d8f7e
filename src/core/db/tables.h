#pragma once
// The nine tables of the system with their record buffers.
//
// Each class keeps one record buffer `rec`; text members are zero-terminated Windows-1250 bytes.
// Scrambled fields (operator names, passwords, rights, audit texts, station names) are stored as
// fixed-width byte fields through `scramble`/`unscramble` with one fixed key.
#include <cstdint>
#include <string>
#include <string_view>

#include "db/tabulka.h"

namespace vrx {

// The key every scrambled field uses, in every program.
constexpr int kScrambleKey = 1998;

void scramble(unsigned char* bytes, size_t length, int key);
void unscramble(unsigned char* bytes, size_t length, int key);

// Copies text into a fixed buffer, cut to fit, zero-terminated.
template <size_t N>
void setText(char (&dst)[N], std::string_view src) {
    size_t n = src.size() < N - 1 ? src.size() : N - 1;
    src.copy(dst, n);
    dst[n] = '\0';
}

// Card users and attendance event codes.
class TABKODY : public TABULKA {
public:
    struct Record {
        int Kod = 0;
        int Typ = 0;
        char Jmeno[31] = {};
        char Prijmeni[31] = {};
        char Karta[31] = {};
        char UniCislo[11] = {};
        bool Pritomen = false;
        char DuvodOdchodu[21] = {};
        char Ctecka[21] = {};
        long DatumUdalosti = 0;
        int CasUdalosti = 0;
    } rec;

    TABKODY(std::string_view alias = "VRXSPOL", std::string_view name = "KODY") : TABULKA(alias, name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int n) override;
    bool rebuildIndexes() override;
    // Key search on the active index with each non-zero / non-empty argument as a key field.
    bool findCode(int kod, const char* jmeno = nullptr, const char* prijmeni = nullptr, const char* karta = nullptr,
                  const char* uniCislo = nullptr);
    static db::TableSchema schema();
};

// The full operating log.
class TABHISTOR : public TABULKA {
public:
    struct Record {
        int Cislo = 0;
        long Datum = 0;
        char Retezec[201] = {};
    } rec;

    TABHISTOR(std::string_view alias = "VRXSPOL", std::string_view name = "HISTOR") : TABULKA(alias, name) {}
    explicit TABHISTOR(InDirectory dir, std::string_view name = "HISTOR") : TABULKA(std::move(dir), name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int n) override;
    bool rebuildIndexes() override;
    bool findEntry(int cislo, long datum = 0);
    static db::TableSchema schema();
};

// Operators.
class TABHESLA : public TABULKA {
public:
    struct Record {
        char Jmeno[21] = {};
        char Heslo[21] = {};
        unsigned char Opravneni[101] = {};
    } rec;

    TABHESLA(std::string_view alias = "VRXSPOL", std::string_view name = "HESLA") : TABULKA(alias, name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int) override { return false; }
    // From the first record on, the first operator whose name equals `name` exactly.
    bool findOperator(const char* name);
    static db::TableSchema schema();
};

// Card readers.
class TABCTECKY : public TABULKA {
public:
    struct Record {
        int Cislo = 0;
        char Popis[21] = {};
        bool Dochazka = false;
        int Ucel = 0;
    } rec;

    TABCTECKY(std::string_view alias = "VRXSPOL", std::string_view name = "CTECKY") : TABULKA(alias, name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int n) override;
    bool rebuildIndexes() override;
    bool findReader(int cislo);
    static db::TableSchema schema();
};

// The audit trail.
class TABAUDIT : public TABULKA {
public:
    struct Record {
        int Cislo = 0;
        long Datum = 0;
        int Cas = 0;
        char Operator[21] = {};
        char Udalost[81] = {};
    } rec;

    TABAUDIT(std::string_view alias = "VRXSPOL", std::string_view name = "AUDIT") : TABULKA(alias, name) {}
    explicit TABAUDIT(InDirectory dir, std::string_view name = "AUDIT") : TABULKA(std::move(dir), name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int n) override;
    bool rebuildIndexes() override;
    bool findEntry(int cislo);
    static db::TableSchema schema();
};

// Filters of the operating logs.
class TABFILTRY : public TABULKA {
public:
    struct Record {
        char Maska[121] = {};
        int Priorita = 0;
        int Popredi = 0;
        int Pozadi = 16777215;
        char Obrazek[21] = {};
        char Zvuk[21] = {};
        char Program[260] = {};
        char PrgParams[255] = {};
        int Denik = 0;
        bool Alarm = false;
        bool Opak = false;
        bool SnmpTrap = false;
        char OID[51] = {};
        int Radky = 0;
        int TypFiltru = 0;
        int Casovac = 0;
        bool Nezapsat = false;
    } rec;

    TABFILTRY(std::string_view alias = "VRXPRIV", std::string_view name = "FILTRY") : TABULKA(alias, name) {}
    bool loadRecord() override;
    // "Radky" is not taken from the buffer: it is the number of lines of the mask.
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int n) override;
    bool rebuildIndexes() override;
    bool findMask(const char* maska);
    static db::TableSchema schema();
    // Lines of a mask: the count of the two-character separators "\n" plus one.
    static int maskLines(std::string_view maska);
};

// One printed line: the view table (PROHL) and the online print queue (ONLINE).
class TABRADKY : public TABULKA {
public:
    struct Record {
        char Radek[231] = {};
    } rec;

    TABRADKY(std::string_view alias, std::string_view name) : TABULKA(alias, name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int) override { return false; }
    static db::TableSchema schema();
};

class TABPROHL : public TABRADKY {
public:
    TABPROHL(std::string_view alias = "VRXPRIV", std::string_view name = "PROHL") : TABRADKY(alias, name) {}
    // Writes every record as one line to `path` (replacing the file). When the file cannot be
    // opened: beep and "Nelze otevřít soubor pro tisk.", false.
    bool writeToFile(const std::string& path);
};

class TABONLTISK : public TABRADKY {
public:
    TABONLTISK(std::string_view alias = "VRXPRIV", std::string_view name = "ONLINE") : TABRADKY(alias, name) {}
};

// Stations working on the shared tables.
class TABLOGIN : public TABULKA {
public:
    struct Record {
        char P1[21] = {};  // operator
        char P2[16] = {};  // station
        bool flag1 = false;
        bool flag2 = false;
    } rec;

    TABLOGIN(std::string_view alias = "VRXSPOL", std::string_view name = "LOGIN") : TABULKA(alias, name) {}
    bool loadRecord() override;
    bool storeRecord() override;
    void clearRecord() override { rec = Record{}; }
    bool create() override;
    bool selectIndex(int) override { return false; }
    bool findLogin(const char* user, const char* station, bool flag);
    bool findStation(const char* station);
    static db::TableSchema schema();
};

}  // namespace vrx
