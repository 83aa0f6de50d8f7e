#include "db/tables.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "platform/messages.h"
#include "text/cz.h"

namespace vrx {
namespace {

struct Constants {
    unsigned char a, b;
};

Constants constantsFor(int key) {
    switch (((key % 5) + 5) % 5) {
        case 1: return {41, 77};
        case 2: return {36, 19};
        case 3: return {25, 34};
        case 4: return {50, 47};
        default: return {82, 24};
    }
}

// Stores a text member of `w + 1` bytes into a scrambled field of `w` bytes. The value is cut to
// w − 1 characters: the last scrambled byte of the block has no place in the field, and what it
// would have carried is restored on load (see loadScrambled).
template <size_t M>
std::string storeScrambled(const char (&member)[M], size_t w) {
    unsigned char block[M];
    std::memcpy(block, member, M);
    if (M == w + 1 && w >= 1) block[w - 1] = 0;
    scramble(block, M, kScrambleKey);
    return std::string(reinterpret_cast<const char*>(block), w);
}

// Loads a scrambled field of `w` bytes into a member of `M` bytes. When the member has the spare
// byte, that byte is chosen so that the byte it pairs with unscrambles to the terminator: every
// value of up to w − 1 characters reads back exactly, whatever the member held before.
template <size_t M>
void loadScrambled(char (&member)[M], const std::string& field, size_t w) {
    unsigned char block[M] = {};
    std::memcpy(block, field.data(), std::min(field.size(), w));
    if (M == w + 1 && M % 2 == 1) block[w] = constantsFor(kScrambleKey).a;
    unscramble(block, M, kScrambleKey);
    std::memcpy(member, block, M);
    member[M - 1] = '\0';
}

std::string hiddenFlag(bool set, size_t pos, unsigned char marker, std::minstd_rand& rng) {
    unsigned char bytes[10];
    for (auto& b : bytes) b = static_cast<unsigned char>(rng() & 0xFF);
    if (set) {
        bytes[pos] = marker;
    } else {
        unsigned char v;
        do v = static_cast<unsigned char>(rng() % 128);
        while (v == marker);
        bytes[pos] = v;
    }
    scramble(bytes, 10, kScrambleKey);
    return std::string(reinterpret_cast<const char*>(bytes), 10);
}

bool readHiddenFlag(const std::string& field, size_t pos, unsigned char marker) {
    unsigned char bytes[10] = {};
    std::memcpy(bytes, field.data(), std::min<size_t>(field.size(), 10));
    unscramble(bytes, 10, kScrambleKey);
    return bytes[pos] == marker;
}

template <size_t N>
void loadText(char (&dst)[N], const std::string& s) {
    setText(dst, s);
}

}  // namespace

void scramble(unsigned char* bytes, size_t length, int key) {
    Constants c = constantsFor(key);
    size_t i = 0;
    while (i < length) {
        if ((length - i) % 2 == 1) {
            bytes[i] = static_cast<unsigned char>(bytes[i] + c.a);
            ++i;
        } else {
            unsigned char x0 = bytes[i], x1 = bytes[i + 1];
            bytes[i] = static_cast<unsigned char>(x1 + c.b);
            bytes[i + 1] = static_cast<unsigned char>(x0 + c.a);
            i += 2;
        }
    }
}

void unscramble(unsigned char* bytes, size_t length, int key) {
    Constants c = constantsFor(key);
    size_t i = 0;
    while (i < length) {
        if ((length - i) % 2 == 1) {
            bytes[i] = static_cast<unsigned char>(bytes[i] - c.a);
            ++i;
        } else {
            unsigned char y0 = bytes[i], y1 = bytes[i + 1];
            bytes[i] = static_cast<unsigned char>(y1 - c.a);
            bytes[i + 1] = static_cast<unsigned char>(y0 - c.b);
            i += 2;
        }
    }
}

// ---- KODY ----

db::TableSchema TABKODY::schema() {
    return {{intField("Kod"), intField("Typ"), stringField("Jmeno", 15), stringField("Prijmeni", 20),
             stringField("Karta", 20), stringField("UniCislo", 10), boolField("Pritomen"),
             stringField("DuvodOdchodu", 20), stringField("Ctecka", 20), dateField("DatumUdalosti"),
             intField("CasUdalosti")},
            {primaryIndex("KodIdx", {"Kod"}), secondaryIndex("Jmeno", {"Jmeno"}),
             secondaryIndex("Prijmeni", {"Prijmeni"}), secondaryIndex("Karta", {"Karta"}),
             secondaryIndex("JmPr", {"Jmeno", "Prijmeni"}), secondaryIndex("UniCislo", {"UniCislo"}),
             secondaryIndex("DuvodOdchodu", {"DuvodOdchodu"}), secondaryIndex("Ctecka", {"Ctecka"})}};
}

bool TABKODY::loadRecord() {
    rec.Kod = static_cast<int>(fieldInt(0));
    rec.Typ = static_cast<int>(fieldInt(1));
    loadText(rec.Jmeno, fieldString(2));
    loadText(rec.Prijmeni, fieldString(3));
    loadText(rec.Karta, fieldString(4));
    loadText(rec.UniCislo, fieldString(5));
    rec.Pritomen = fieldBool(6);
    loadText(rec.DuvodOdchodu, fieldString(7));
    loadText(rec.Ctecka, fieldString(8));
    rec.DatumUdalosti = static_cast<long>(fieldInt(9));
    rec.CasUdalosti = static_cast<int>(fieldInt(10));
    return true;
}

bool TABKODY::storeRecord() {
    setField(0, rec.Kod);
    setField(1, rec.Typ);
    setField(2, rec.Jmeno);
    setField(3, rec.Prijmeni);
    setField(4, rec.Karta);
    setField(5, rec.UniCislo);
    setField(6, rec.Pritomen ? 1 : 0);
    setField(7, rec.DuvodOdchodu);
    setField(8, rec.Ctecka);
    setField(9, rec.DatumUdalosti);
    setField(10, rec.CasUdalosti);
    return true;
}

bool TABKODY::create() { return createTable(schema()); }

bool TABKODY::selectIndex(int n) {
    static const char* kNames[] = {"", "Jmeno", "Prijmeni", "Karta", "JmPr", "UniCislo", "DuvodOdchodu", "Ctecka"};
    return useIndex(n >= 1 && n <= 7 ? kNames[n] : "");
}

bool TABKODY::rebuildIndexes() { return rebuildIndexesOf(schema()); }

bool TABKODY::findCode(int kod, const char* jmeno, const char* prijmeni, const char* karta, const char* uniCislo) {
    std::vector<std::pair<std::string, db::Value>> key;
    if (kod != 0) key.push_back({"Kod", {kod, {}}});
    if (jmeno) key.push_back({"Jmeno", {0, jmeno}});
    if (prijmeni) key.push_back({"Prijmeni", {0, prijmeni}});
    if (karta) key.push_back({"Karta", {0, karta}});
    if (uniCislo) key.push_back({"UniCislo", {0, uniCislo}});
    return findKey(key);
}

// ---- HISTOR ----

db::TableSchema TABHISTOR::schema() {
    return {{intField("Cislo"), dateField("Datum"), stringField("Retezec", 200)},
            {primaryIndex("CisloIdx", {"Cislo"}), secondaryIndex("DatumCislo", {"Datum", "Cislo"})}};
}

bool TABHISTOR::loadRecord() {
    rec.Cislo = static_cast<int>(fieldInt(0));
    rec.Datum = static_cast<long>(fieldInt(1));
    loadText(rec.Retezec, fieldString(2));
    return true;
}

bool TABHISTOR::storeRecord() {
    setField(0, rec.Cislo);
    setField(1, rec.Datum);
    setField(2, rec.Retezec);
    return true;
}

// The engine keeps no table passwords: the file is created readable by its owner and group only.
bool TABHISTOR::create() { return createTable(schema()); }

bool TABHISTOR::selectIndex(int n) { return useIndex(n == 1 ? "DatumCislo" : ""); }

bool TABHISTOR::rebuildIndexes() { return rebuildIndexesOf(schema()); }

bool TABHISTOR::findEntry(int cislo, long datum) {
    std::vector<std::pair<std::string, db::Value>> key;
    if (cislo != 0) key.push_back({"Cislo", {cislo, {}}});
    if (datum != 0) key.push_back({"Datum", {datum, {}}});
    return findKey(key);
}

// ---- HESLA ----

db::TableSchema TABHESLA::schema() {
    return {{bytesField("Jmeno", 20), bytesField("Heslo", 20), bytesField("Opravneni", 100)}, {}};
}

bool TABHESLA::loadRecord() {
    loadScrambled(rec.Jmeno, fieldBytes(0), 20);
    loadScrambled(rec.Heslo, fieldBytes(1), 20);
    char rights[101];
    loadScrambled(rights, fieldBytes(2), 100);
    std::memcpy(rec.Opravneni, rights, sizeof rights);
    return true;
}

bool TABHESLA::storeRecord() {
    setField(0, storeScrambled(rec.Jmeno, 20));
    setField(1, storeScrambled(rec.Heslo, 20));
    char rights[101];
    std::memcpy(rights, rec.Opravneni, sizeof rights);
    setField(2, storeScrambled(rights, 100));
    return true;
}

bool TABHESLA::create() { return createTable(schema()); }

bool TABHESLA::findOperator(const char* name) {
    if (!name || !*name) return false;
    if (!first()) return false;
    while (!eof() && engineTable().hasCurrent()) {
        if (std::strcmp(rec.Jmeno, name) == 0) return true;
        if (!next()) break;
    }
    return false;
}

// ---- CTECKY ----

db::TableSchema TABCTECKY::schema() {
    return {{intField("Cislo"), stringField("Popis", 20), boolField("Dochazka"), intField("Ucel")},
            {primaryIndex("IdxCislo", {"Cislo"}), secondaryIndex("Popis", {"Popis"})}};
}

bool TABCTECKY::loadRecord() {
    rec.Cislo = static_cast<int>(fieldInt(0));
    loadText(rec.Popis, fieldString(1));
    rec.Dochazka = fieldBool(2);
    rec.Ucel = static_cast<int>(fieldInt(3));
    return true;
}

bool TABCTECKY::storeRecord() {
    setField(0, rec.Cislo);
    setField(1, rec.Popis);
    setField(2, rec.Dochazka ? 1 : 0);
    setField(3, rec.Ucel);
    return true;
}

bool TABCTECKY::create() { return createTable(schema()); }
bool TABCTECKY::selectIndex(int n) { return useIndex(n == 1 ? "Popis" : ""); }

bool TABCTECKY::rebuildIndexes() { return rebuildIndexesOf(schema()); }

bool TABCTECKY::findReader(int cislo) { return findKey({{"Cislo", {cislo, {}}}}); }

// ---- AUDIT ----

db::TableSchema TABAUDIT::schema() {
    return {{intField("Cislo"), dateField("Datum"), intField("Cas"), bytesField("Operator", 20),
             bytesField("Udalost", 80)},
            {primaryIndex("CisloIdx", {"Cislo"})}};
}

bool TABAUDIT::loadRecord() {
    rec.Cislo = static_cast<int>(fieldInt(0));
    rec.Datum = static_cast<long>(fieldInt(1));
    rec.Cas = static_cast<int>(fieldInt(2));
    loadScrambled(rec.Operator, fieldBytes(3), 20);
    loadScrambled(rec.Udalost, fieldBytes(4), 80);
    return true;
}

bool TABAUDIT::storeRecord() {
    setField(0, rec.Cislo);
    setField(1, rec.Datum);
    setField(2, rec.Cas);
    setField(3, storeScrambled(rec.Operator, 20));
    setField(4, storeScrambled(rec.Udalost, 80));
    return true;
}

bool TABAUDIT::create() { return createTable(schema()); }
bool TABAUDIT::selectIndex(int) { return useIndex(""); }

bool TABAUDIT::rebuildIndexes() { return rebuildIndexesOf(schema()); }

bool TABAUDIT::findEntry(int cislo) { return findKey({{"Cislo", {cislo, {}}}}); }

// ---- FILTRY ----

db::TableSchema TABFILTRY::schema() {
    return {{stringField("Maska", 120), intField("Priorita"), intField("Popredi"), intField("Pozadi"),
             stringField("Obrazek", 20), stringField("Zvuk", 20), stringField("Program", 260),
             stringField("PrgParams", 255), intField("Denik"), boolField("Alarm"), boolField("Opak"),
             boolField("SnmpTrap"), stringField("OID", 50), intField("Radky"), intField("TypFiltru"),
             intField("Casovac"), boolField("Nezapsat")},
            {primaryIndex("MaskaIdx", {"Maska"}), secondaryIndex("Priorita", {"Priorita"}, true)}};
}

int TABFILTRY::maskLines(std::string_view maska) {
    int lines = 1;
    for (size_t i = 0; i + 1 < maska.size(); ++i) {
        if (maska[i] == '\\' && maska[i + 1] == 'n') {
            ++lines;
            ++i;
        }
    }
    return lines;
}

bool TABFILTRY::loadRecord() {
    loadText(rec.Maska, fieldString(0));
    rec.Priorita = static_cast<int>(fieldInt(1));
    rec.Popredi = static_cast<int>(fieldInt(2));
    rec.Pozadi = static_cast<int>(fieldInt(3));
    loadText(rec.Obrazek, fieldString(4));
    loadText(rec.Zvuk, fieldString(5));
    loadText(rec.Program, fieldString(6));
    loadText(rec.PrgParams, fieldString(7));
    rec.Denik = static_cast<int>(fieldInt(8));
    rec.Alarm = fieldBool(9);
    rec.Opak = fieldBool(10);
    rec.SnmpTrap = fieldBool(11);
    loadText(rec.OID, fieldString(12));
    rec.Radky = static_cast<int>(fieldInt(13));
    rec.TypFiltru = static_cast<int>(fieldInt(14));
    rec.Casovac = static_cast<int>(fieldInt(15));
    rec.Nezapsat = fieldBool(16);
    return true;
}

bool TABFILTRY::storeRecord() {
    setField(0, rec.Maska);
    setField(1, rec.Priorita);
    setField(2, rec.Popredi);
    setField(3, rec.Pozadi);
    setField(4, rec.Obrazek);
    setField(5, rec.Zvuk);
    setField(6, rec.Program);
    setField(7, rec.PrgParams);
    setField(8, rec.Denik);
    setField(9, rec.Alarm ? 1 : 0);
    setField(10, rec.Opak ? 1 : 0);
    setField(11, rec.SnmpTrap ? 1 : 0);
    setField(12, rec.OID);
    // The mask as stored (cut to its field) decides the line count.
    setField(13, maskLines(std::string_view(rec.Maska).substr(0, 120)));
    setField(14, rec.TypFiltru);
    setField(15, rec.Casovac);
    setField(16, rec.Nezapsat ? 1 : 0);
    return true;
}

bool TABFILTRY::create() { return createTable(schema()); }
bool TABFILTRY::selectIndex(int n) { return useIndex(n == 1 ? "Priorita" : ""); }

bool TABFILTRY::rebuildIndexes() { return rebuildIndexesOf(schema()); }

bool TABFILTRY::findMask(const char* maska) { return findKey({{"Maska", {0, maska ? maska : ""}}}); }

// ---- PROHL, ONLINE ----

db::TableSchema TABRADKY::schema() { return {{stringField("Radek", 230)}, {}}; }

bool TABRADKY::loadRecord() {
    loadText(rec.Radek, fieldString(0));
    return true;
}

bool TABRADKY::storeRecord() {
    setField(0, rec.Radek);
    return true;
}

bool TABRADKY::create() { return createTable(schema()); }

bool TABPROHL::writeToFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        platform::error("Nelze otevřít soubor pro tisk."_cz);
        return false;
    }
    bool ok = true;
    if (first()) {
        while (!eof() && engineTable().hasCurrent()) {
            ok = ok && std::fprintf(f, "%s\r\n", rec.Radek) >= 0;
            if (!next()) break;
        }
    }
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

// ---- LOGIN ----

db::TableSchema TABLOGIN::schema() {
    return {{bytesField("P1", 20), bytesField("P2", 16), bytesField("P3", 10), bytesField("P4", 10)}, {}};
}

bool TABLOGIN::loadRecord() {
    loadScrambled(rec.P1, fieldBytes(0), 20);
    loadScrambled(rec.P2, fieldBytes(1), 16);
    rec.flag1 = readHiddenFlag(fieldBytes(2), 4, 17);
    rec.flag2 = readHiddenFlag(fieldBytes(3), 6, 49);
    return true;
}

bool TABLOGIN::storeRecord() {
    setField(0, storeScrambled(rec.P1, 20));
    setField(1, storeScrambled(rec.P2, 16));
    static std::minstd_rand rng(static_cast<unsigned>(std::time(nullptr)));
    setField(2, hiddenFlag(rec.flag1, 4, 17, rng));
    setField(3, hiddenFlag(rec.flag2, 6, 49, rng));
    return true;
}

bool TABLOGIN::create() { return createTable(schema()); }

bool TABLOGIN::findLogin(const char* user, const char* station, bool flag) {
    if (!user || !station) return false;
    if (!first()) return false;
    while (!eof() && engineTable().hasCurrent()) {
        if (std::strcmp(rec.P1, user) == 0 && std::strcmp(rec.P2, station) == 0 && rec.flag1 == flag) return true;
        if (!next()) break;
    }
    return false;
}

bool TABLOGIN::findStation(const char* station) {
    if (!station) return false;
    if (!first()) return false;
    while (!eof() && engineTable().hasCurrent()) {
        if (std::strcmp(rec.P2, station) == 0) return true;
        if (!next()) break;
    }
    return false;
}

}  // namespace vrx
