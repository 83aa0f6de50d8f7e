// Table layer figures on a full operating log of one million records: appending in batches of ten
// (each batch one durable commit), key search by number, stepping through the whole table and
// positioning near its end. Prints records per second.
//
//   db_bench [records]   (default 1000000; the table is built in a temporary directory)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "db/tables.h"
#include "settings/inisoubor.h"
#include "text/strutil.h"

using namespace vrx;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void report(const char* what, long count, double secs) {
    std::printf("%-44s %10ld in %7.3f s  %12.0f /s\n", what, count, secs, count / secs);
}

std::string lineOf(long n) {
    static const char* kinds[] = {"POPLACH ZONA", "ZAPNUTO UZ.", "VYPNUTO UZ.", "PORUCHA SIT", "TAMPER"};
    return text::format("%02ld:%02ld  %s %03ld  SKUPINA %ld  C.%ld", (n / 60) % 24, n % 60, kinds[n % 5],
                        n % 512, n % 8 + 1, n);
}

}  // namespace

int main(int argc, char** argv) {
    const long base = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string dir = (std::filesystem::temp_directory_path() / ("vrx-dbbench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(dir);
    setSettingsPath(dir + "/VORAX.INI");
    settings().writeString("ADRESARE", "SpolTabulky", dir);

    TABHISTOR h;
    if (!h.create() || !h.open(0, 1, 0)) {
        std::fprintf(stderr, "cannot create HISTOR in %s\n", dir.c_str());
        return 1;
    }
    auto t0 = Clock::now();
    for (long n = 1; n <= base;) {
        h.beginTransaction();
        for (int k = 0; k < 20000 && n <= base; ++k, ++n) {
            h.clearRecord();
            h.rec.Cislo = static_cast<int>(n);
            h.rec.Datum = 45000 + n / 5000;
            setText(h.rec.Retezec, lineOf(n));
            h.save(1);
        }
        h.commitTransaction();
    }
    report("build (bulk, 20000 per commit)", base, seconds(t0));

    const long appended = 100000;
    t0 = Clock::now();
    long n = base + 1;
    for (long b = 0; b < appended / 10; ++b) {
        h.beginTransaction();
        for (int k = 0; k < 10; ++k, ++n) {
            h.clearRecord();
            h.rec.Cislo = static_cast<int>(n);
            h.rec.Datum = 45000 + n / 5000;
            setText(h.rec.Retezec, lineOf(n));
            if (!h.save(1)) return 2;
        }
        if (!h.commitTransaction()) return 3;
    }
    report("append, batches of 10, durable commit", appended, seconds(t0));
    const long total = base + appended;

    std::mt19937 rng(7);
    std::uniform_int_distribution<long> any(1, total);
    const long searches = 200000;
    t0 = Clock::now();
    long found = 0;
    for (long i = 0; i < searches; ++i) found += h.findEntry(static_cast<int>(any(rng)));
    report("key search by Cislo (random)", searches, seconds(t0));
    if (found != searches) std::printf("  (only %ld found)\n", found);

    t0 = Clock::now();
    long stepped = 0;
    for (h.first(); !h.eof(); h.next()) ++stepped;
    report("next over the whole table", stepped, seconds(t0));

    const long positions = 100000;
    std::uniform_int_distribution<long> nearEnd(total - 1000, total);
    t0 = Clock::now();
    for (long i = 0; i < positions; ++i) h.readAt(nearEnd(rng));
    report("readAt within 1000 of the end (CisloIdx)", positions, seconds(t0));

    h.selectIndex(1);
    const long secondary = 2000;
    t0 = Clock::now();
    for (long i = 0; i < secondary; ++i) h.readAt(nearEnd(rng));
    report("readAt within 1000 of the end (DatumCislo)", secondary, seconds(t0));
    std::uniform_int_distribution<long> middle(total / 2 - 1000, total / 2 + 1000);
    t0 = Clock::now();
    for (long i = 0; i < secondary / 10; ++i) h.readAt(middle(rng));
    report("readAt in the middle (DatumCislo)", secondary / 10, seconds(t0));
    h.close();

    std::error_code ec;
    std::printf("table file: %.1f MB\n", std::filesystem::file_size(dir + "/HISTOR.DB", ec) / 1e6);
    std::filesystem::remove_all(dir, ec);
    return 0;
}
