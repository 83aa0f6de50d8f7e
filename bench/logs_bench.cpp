// The in-memory logs at start-up: a full operating log of one million panel lines and twenty filters
// (plain, wildcard, regular expressions and one of three lines), all applying to both logs. Prints
// the time to rebuild the UPD and EPD logs from the table, the time of the pipeline a user would
// otherwise run over the same table with the same patterns,
//
//   sqlite3 HISTOR.DB "select Retezec from HISTOR order by Cislo" | grep -c -E -e P1 -e P2 ...
//
// and their ratio (the goal is 1.0 or less), and the memory the logs take.
//
// For comparison it also rebuilds the logs from one forward scan of the table file (a statement
// stepped from the first record to the last) instead of the table cursor, whose every step is a
// keyed query: this says how much of the rebuild is the logs' own work.
//
//   logs_bench [records] [directory]   (default 1000000 records in a temporary directory, removed
//                                       afterwards; a directory given is kept and its table reused
//                                       when it holds the same number of records)
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "db/tables.h"
#include "db/tabulka.h"
#include "logs/deniky.h"
#include "logs/filtermgr.h"
#include "logs/maska.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/cz.h"
#include "text/strutil.h"

using namespace vrx;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// ---- the table ----

struct Zone {
    int number;
    const char* name;
};

// Panel lines as the decoders store them: time, date, event, details; a few Czech names.
class LineMaker {
  public:
    std::string line(long n) {
        int sec = static_cast<int>(n * 7 % 86400);
        std::string stamp = text::format("%02d:%02d:%02d %02ld.%02ld.2024  ", sec / 3600, sec / 60 % 60,
                                         sec % 60, n / 3000 % 28 + 1, n / 84000 % 12 + 1);
        unsigned r = rng_() % 1000;
        const Zone& z = kZones[rng_() % std::size(kZones)];
        int user = static_cast<int>(rng_() % 120);
        const char* person = kPeople[rng_() % std::size(kPeople)];
        int group = static_cast<int>(rng_() % 8) + 1;
        int card = static_cast<int>(rng_() % 900000) + 100000;
        int reader = static_cast<int>(rng_() % 10);
        if (r < 380) return stamp + text::format("KARTA %06d  PRISTUP POVOLEN  CTECKA %d", card, reader);
        if (r < 420) return stamp + text::format("KARTA %06d  PRISTUP ODEPREN  CTECKA %d", card, reader);
        if (r < 520)
            return stamp + text::format("ZAPNUTI      SKUPINA %d  UZIVATEL %03d %s", group, user, person);
        if (r < 620)
            return stamp + text::format("VYPNUTI      SKUPINA %d  UZIVATEL %03d %s", group, user, person);
        if (r < 700) return stamp + text::format("VSTUP   %s", person);
        if (r < 780) return stamp + text::format("ODCHOD  %s", person);
        if (r < 810) return stamp + text::format("POPLACH      ZONA %04d  %s", z.number, z.name);
        if (r < 830) return stamp + text::format("OBNOVA       ZONA %04d  %s", z.number, z.name);
        if (r < 845) return stamp + text::format("SABOTAZ      ZONA %04d  %s", z.number, z.name);
        if (r < 860) return stamp + "PORUCHA      SIT 230V";
        if (r < 875) return stamp + "OBNOVA       SIT 230V";
        if (r < 885) return stamp + text::format("NIZKE NAPETI AKU  ZONA %04d", z.number);
        if (r < 990) return stamp + "TEST KOMUNIKACE OK";
        return stamp + text::format("TISK   %s", "Denn\xED p\xF8\xEDhled ud\xE1lost\xED");
    }

  private:
    static constexpr Zone kZones[] = {
        {1, "Vstupni dvere"}, {2, "Chodba 1.NP"}, {17, "Sklad"},  {33, "Kancelar"},  {101, "Serverovna"},
        {102, "Chodba 2.NP"}, {245, "Pokladna"},  {512, "Garaz"}, {1003, "Sklad 2"}, {1004, "Kuchy\xF2ka"}};
    static constexpr const char* kPeople[] = {"Novak",  "Svoboda",  "Dvo\xF8\xE1k", "Cerny",   "Prochazka",
                                              "Kucera", "Vesely",   "Horak",        "Nemec",   "Pokorny",
                                              "Marek",  "Pospisil", "H\xE1jek",     "Jelinek", "Kral"};
    std::mt19937 rng_{1998};
};

bool buildTable(long records) {
    TABHISTOR h;
    if (!h.create() || !h.open(0, 1, 0)) return false;
    LineMaker maker;
    for (long n = 1; n <= records;) {
        if (!h.beginTransaction()) return false;
        for (int k = 0; k < 50000 && n <= records; ++k, ++n) {
            h.clearRecord();
            h.rec.Cislo = static_cast<int>(n);
            h.rec.Datum = 45292 + n / 3000;
            setText(h.rec.Retezec, maker.line(n));
            if (!h.save(1)) return false;
        }
        if (!h.commitTransaction()) return false;
    }
    return true;
}

// ---- the filters ----

struct BenchFilter {
    const char* mask;
    int type;
};

// Every element these masks use means the same in the filter dialect and in POSIX extended
// regular expressions, so the converted masks serve grep as they are.
const BenchFilter kFilters[] = {
    {"POPLACH", kMaskPlain},
    {"SABOTAZ", kMaskPlain},
    {"PORUCHA", kMaskPlain},
    {"PRISTUP ODEPREN", kMaskPlain},
    {"NIZKE NAPETI", kMaskPlain},
    {"TEST KOMUNIKACE CHYBA", kMaskPlain},
    {"Serverovna", kMaskPlain},
    {"ZONA 00?? ", kMaskWildcard},
    {"UZIVATEL 00? Nov*", kMaskWildcard},
    {"KARTA 1????? *ODEPREN", kMaskWildcard},
    {"SKUPINA 3 *UZIVATEL 11", kMaskWildcard},
    {"*CTECKA 7", kMaskWildcard},
    {"VYPNUTI*UZIVATEL 09?", kMaskWildcard},
    {"^[0-9:]+ [0-9.]+  POPLACH", kMaskRegex},
    {"ZONA 0[0-4][0-9][0-9]  Chodba", kMaskRegex},
    {"KARTA [0-9]+  PRISTUP POVOLEN  CTECKA [89]$", kMaskRegex},
    {"OBNOVA +SIT", kMaskRegex},
    {"SKUPINA [5-8]  UZIVATEL 1[01][0-9]", kMaskRegex},
    {"[^A-Z]KARTA 99[0-9]+ ", kMaskRegex},
    {"VSTUP   Novak\\nODCHOD\\nVSTUP", kMaskPlain},
};

bool writeFilters() {
    TABFILTRY f;
    if (!f.create() || !f.open(0, 1, 0)) return false;
    int colour = 0x203040;
    for (const auto& bf : kFilters) {
        f.clearRecord();
        setText(f.rec.Maska, bf.mask);
        f.rec.TypFiltru = bf.type;
        f.rec.Denik = kScopeEpd | kScopeUpd;
        f.rec.Popredi = colour;
        colour += 0x010101;
        if (!f.save(1)) return false;
    }
    return true;
}

// The first line of a filter's mask as an extended regular expression for grep.
std::string grepPattern(const BenchFilter& bf) {
    std::string mask = bf.mask;
    mask = mask.substr(0, mask.find("\\n"));
    if (bf.type == kMaskWildcard) return logs::wildcardToRegex(mask);
    if (bf.type == kMaskRegex) return mask;
    std::string out;
    for (char c : mask) {
        if (std::strchr(".[]()*+?{}|^$\\", c)) out += '\\';
        out += c;
    }
    return out;
}

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// ---- the forward scan (comparison only) ----

class ScanSource : public HistorSource {
  public:
    explicit ScanSource(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return;
        sqlite3_prepare_v2(db_, "SELECT Cislo, Datum, Retezec FROM HISTOR WHERE Cislo >= ?1 ORDER BY Cislo",
                           -1, &st_, nullptr);
    }
    ~ScanSource() override {
        sqlite3_finalize(st_);
        sqlite3_close(db_);
    }
    bool isOpen() const override { return st_ != nullptr; }
    bool locate(int recordNumber) override {
        sqlite3_reset(st_);
        sqlite3_bind_int(st_, 1, recordNumber);
        if (sqlite3_step(st_) != SQLITE_ROW || sqlite3_column_int(st_, 0) != recordNumber) return false;
        load();
        return true;
    }
    bool next() override {
        if (sqlite3_step(st_) != SQLITE_ROW) return false;
        load();
        return true;
    }
    int number() const override { return number_; }
    long date() const override { return date_; }
    std::string_view text() const override { return text_; }

  private:
    void load() {
        number_ = sqlite3_column_int(st_, 0);
        date_ = static_cast<long>(sqlite3_column_int64(st_, 1));
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, 2));
        text_ = text::utf8ToCp1250(
            std::string_view(t ? t : "", static_cast<size_t>(sqlite3_column_bytes(st_, 2))));
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
    int number_ = 0;
    long date_ = 0;
    std::string text_;
};

// ---- memory ----

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    }
    return -1;
}

bool resetPeakRss() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    return static_cast<bool>(out.flush());
}

struct Rebuilt {
    double seconds = 0, updSeconds = 0;
    int upd = 0, epd = 0;
    size_t memory = 0;
};

template <typename MakeSource>
Rebuilt rebuild(FILTERMANAGER& filters, MakeSource makeSource) {
    Rebuilt r;
    auto t0 = Clock::now();
    ALARMLOG upd(filters, kScopeUpd, makeSource());
    QUIETLOG epd(filters, kScopeEpd, makeSource());
    epd.SetOptions(true, false, 0, 0);  // the extract's start-up default: matching records only
    upd.Reset();
    upd.Update(false);
    r.updSeconds = seconds(t0);
    epd.Reset();
    epd.Update();
    r.seconds = seconds(t0);
    r.upd = upd.Count();
    r.epd = epd.Count();
    r.memory = upd.memoryBytes() + epd.memoryBytes();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
    const bool keep = argc > 2;
    std::string dir =
        keep ? std::string(argv[2])
             : (std::filesystem::temp_directory_path() / ("vrx-logsbench-" + std::to_string(::getpid())))
                   .string();
    std::filesystem::create_directories(dir);
    dir = std::filesystem::canonical(dir).string();
    setSettingsPath(dir + "/VORAX.INI");
    setAliasDirectory("VRXSPOL", dir);
    setAliasDirectory("VRXPRIV", dir);

    bool reuse = false;
    {
        TABHISTOR h;
        reuse = keep && h.open(0, 0, 0) && h.recordCount() == records;
    }
    std::printf("HISTOR: %ld panel lines in %s\n", records, dir.c_str());
    if (!reuse) {
        auto t0 = Clock::now();
        if (!buildTable(records)) {
            std::fprintf(stderr, "cannot build HISTOR in %s\n", dir.c_str());
            return 1;
        }
        std::printf("  built in %.2f s\n", seconds(t0));
    } else {
        std::printf("  reused\n");
    }
    if (!writeFilters()) {
        std::fprintf(stderr, "cannot write FILTRY in %s\n", dir.c_str());
        return 1;
    }
    std::printf(
        "FILTRY: 20 filters (7 plain, 6 wildcard, 6 regular expressions, 1 of three lines), all for both "
        "logs\n\n");

    FILTERMANAGER filters;
    if (!filters.isOpen() || filters.Count() != 20) {
        std::fprintf(stderr, "filters not loaded\n");
        return 1;
    }

    // The logs as start-up rebuilds them, each through its own table cursor.
    long rssBefore = statusKb("VmRSS:");
    bool peakReset = resetPeakRss();
    Rebuilt cursor = rebuild(filters, [] { return std::make_unique<TableHistorSource>(); });
    long peak = statusKb("VmHWM:");
    std::printf("start-up rebuild of the UPD and EPD logs    %7.3f s  (UPD %.3f s, EPD %.3f s)\n",
                cursor.seconds, cursor.updSeconds, cursor.seconds - cursor.updSeconds);
    std::printf("  UPD log %d entries, EPD log %d entries\n", cursor.upd, cursor.epd);

    // The peer pipeline with the same patterns, best of three: as it runs in this environment's
    // locale, and in the C locale, where grep need not decode UTF-8.
    std::string query =
        "sqlite3 " + shellQuoted(dir + "/HISTOR.DB") + " \"select Retezec from HISTOR order by Cislo\"";
    std::string patterns;
    for (const auto& bf : kFilters) patterns += " -e " + shellQuoted(grepPattern(bf));
    const char* lang = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : std::getenv("LANG");
    struct Pipeline {
        std::string label, command;
        double seconds = 1e9;
        long count = -1;
    } pipelines[] = {
        {text::format("locale %s", lang && *lang ? lang : "POSIX"), query + " | grep -c -E" + patterns},
        {"LC_ALL=C", query + " | LC_ALL=C grep -c -E" + patterns},
    };
    for (auto& pl : pipelines) {
        for (int run = 0; run < 3; ++run) {
            auto t0 = Clock::now();
            FILE* p = ::popen(pl.command.c_str(), "r");
            if (!p) break;
            char buf[64] = {};
            if (!std::fgets(buf, sizeof buf, p)) buf[0] = 0;
            int status = ::pclose(p);
            double s = seconds(t0);
            if (status == -1 || !WIFEXITED(status) || buf[0] == 0) {
                std::fprintf(stderr, "pipeline failed: %s\n", pl.command.c_str());
                return 1;
            }
            pl.count = std::atol(buf);
            pl.seconds = std::min(pl.seconds, s);
        }
    }
    const double pipeline = pipelines[0].seconds;
    std::printf("pipeline sqlite3 | grep -c -E (20 patterns) %7.3f s  (%s; %ld lines counted)\n", pipeline,
                pipelines[0].label.c_str(), pipelines[0].count);
    std::printf("  the same with LC_ALL=C grep               %7.3f s\n", pipelines[1].seconds);
    std::printf("  (grep also counts the lines that match only the first line of the three-line mask)\n");
    std::printf(
        "ratio rebuild / pipeline                    %7.2f  (goal: 1.0 or less; %.2f against LC_ALL=C)\n\n",
        cursor.seconds / pipeline, cursor.seconds / pipelines[1].seconds);

    std::printf("memory of the two logs                      %7.2f MiB  (%.2f bytes per entry)\n",
                cursor.memory / 1048576.0, static_cast<double>(cursor.memory) / (cursor.upd + cursor.epd));
    if (peakReset && peak > 0 && rssBefore > 0)
        std::printf(
            "peak resident memory during the rebuild     %7.2f MiB above the start (tables' caches "
            "included)\n",
            (peak - rssBefore) / 1024.0);

    // The same logs from one forward scan each; best of three.
    Rebuilt scan;
    scan.seconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        Rebuilt r = rebuild(filters, [&] { return std::make_unique<ScanSource>(dir + "/HISTOR.DB"); });
        if (r.upd != cursor.upd || r.epd != cursor.epd) {
            std::fprintf(stderr, "the forward scan built other logs (%d, %d)\n", r.upd, r.epd);
            return 1;
        }
        if (r.seconds < scan.seconds) scan = r;
    }
    std::printf(
        "\nfor comparison, the logs fed by one forward scan of the table file instead of the cursor:\n");
    std::printf("rebuild of the UPD and EPD logs             %7.3f s  (UPD %.3f s, EPD %.3f s)\n",
                scan.seconds, scan.updSeconds, scan.seconds - scan.updSeconds);
    std::printf("ratio to the pipeline                       %7.2f  (%.2f against LC_ALL=C)\n",
                scan.seconds / pipeline, scan.seconds / pipelines[1].seconds);

    if (!keep) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    return 0;
}
