// Decoder figures: events per second through the whole path of one event (line assembly from the
// port's bytes, decoding, the event handed out), per decoder, on lines in each panel's print-out
// layout. Name insertion is measured with card users in memory and with the codes table KODY of the
// shared tables (500 card users, one lookup per line that carries a user number).
//
//   decoder_bench [events]   (default 200000 per decoder; settings and tables in a temporary
//                             directory)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/tables.h"
#include "devices/galaxy.h"
#include "devices/kody_card_users.h"
#include "devices/panels.h"
#include "devices/pc4020.h"
#include "devices/pc6010.h"
#include "devices/simple.h"
#include "settings/inisoubor.h"
#include "text/dates.h"
#include "text/strutil.h"

using namespace vrx;
using Clock = std::chrono::steady_clock;

namespace {

// Serves the print-out over and over, as a port whose driver always has the next bytes.
class LoopReader : public LINE_READER {
  public:
    explicit LoopReader(std::string bytes) : bytes_(std::move(bytes)) {}
    bool readByte(unsigned char& b) override {
        if (pos_ == bytes_.size()) pos_ = 0;
        b = static_cast<unsigned char>(bytes_[pos_++]);
        return true;
    }

  private:
    std::string bytes_;
    size_t pos_ = 0;
};

class MemoryCardUsers : public CardUserTable {
  public:
    bool open() override { return true; }
    bool find(long code, std::string& first, std::string& last) override {
        if (code < 1 || code > 500) return false;
        first = "Jan";
        last = "Novak";
        return true;
    }
};

using Make = std::function<std::unique_ptr<DEVICE>(std::unique_ptr<LINE_READER>)>;

struct Case {
    const char* name;
    bool insertNames;
    Make make;
    std::string printout;  // the lines with the panel's line ends
};

std::string lines(const std::function<std::string(int)>& line, const char* end, int count = 64) {
    std::string out;
    for (int i = 0; i < count; ++i) out += line(i) + end;
    return out;
}

template <class T>
Make plain() {
    return [](std::unique_ptr<LINE_READER> r) { return std::make_unique<T>(text::today(), 0, std::move(r)); };
}

template <class T>
Make withCards(bool kody) {
    return [kody](std::unique_ptr<LINE_READER> r) -> std::unique_ptr<DEVICE> {
        std::unique_ptr<CardUserTable> cards =
            kody ? makeKodyCardUsers() : std::unique_ptr<CardUserTable>(std::make_unique<MemoryCardUsers>());
        return std::make_unique<T>(text::today(), 0, std::move(r), std::move(cards));
    };
}

void fillKody(int count) {
    TABKODY k;
    if (!k.open(0, 1, 1)) {
        std::fprintf(stderr, "cannot create KODY\n");
        std::exit(1);
    }
    k.beginTransaction();
    for (int i = 1; i <= count; ++i) {
        k.clearRecord();
        k.rec.Kod = i;
        setText(k.rec.Jmeno, text::format("Jmeno%d", i));
        setText(k.rec.Prijmeni, text::format("Prijmeni%d", i));
        k.save(1);
    }
    k.commitTransaction();
    k.close();
}

}  // namespace

int main(int argc, char** argv) {
    long events = argc > 1 ? std::atol(argv[1]) : 200000;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("decoder_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir / "spol");
    setSettingsPath((dir / "VORAX.INI").string());
    settings().writeString("ADRESARE", "SpolTabulky", (dir / "spol").string());
    fillKody(500);

    text::DateParts now = text::dayToParts(text::today());
    auto galaxyLine = [&](int i) {
        if (i % 16 == 0) return text::format("PO %02d BRE %4d %02d:%02d", now.day, now.year, i / 60, i % 60);
        return text::format("%02d:%02d  ZAPNUTO UZ. %03d SKUPINA A1 KLAVESNICE %d", i / 60 % 24, i % 60,
                            i * 7 % 500 + 1, i % 8);
    };
    auto pc4020Line = [&](int i) {
        std::string s =
            text::format("Access Granted %02d.%02d.%02d %02d:%02dam Door %02d Module %02d", now.month,
                         now.day, now.year % 100, i % 12 + 1, i % 60, i % 2 + 1, i % 16 + 1);
        s.resize(65, ' ');
        s += text::format("%04d", i * 7 % 500 + 1);
        s.resize(82, ' ');
        return s + "Card " + std::to_string(10000 + i);
    };
    auto pc6010Line = [&](int i) {
        std::string s = text::format("Pristup povolen%02d.%02d.%02d %02d:%02d  UZIVATEL %04d", now.year % 100,
                                     now.month, now.day, i % 24, i % 60, i * 7 % 500 + 1);
        s.resize(64, ' ');
        return s + "dvere " + std::to_string(i % 2 + 1);
    };
    const char* crlf = "\r\n";
    std::vector<Case> cases = {
        {"UNSPEC", false, plain<UNSPEC>(),
         lines([](int i) { return text::format("  ALARM ZONA %d  SKUPINA %d  ", i, i % 8); }, crlf)},
        {"COMMONDEV", false, plain<COMMONDEV>(),
         lines([](int i) { return text::format("ALARM ZONA %d SKUPINA %d", i, i % 8); }, "\n")},
        {"GALAXY", false, withCards<GALAXY>(false), lines(galaxyLine, crlf)},
        {"GALAXY names (memory)", true, withCards<GALAXY>(false), lines(galaxyLine, crlf)},
        {"GALAXY names (KODY)", true, withCards<GALAXY>(true), lines(galaxyLine, crlf)},
        {"ATIS", false, plain<ATIS>(),
         lines(
             [&](int i) {
                 return text::format("Po %02d Bre %4d %02d:%02d Zapnuto", now.day, now.year, i / 60, i % 60);
             },
             crlf)},
        {"PC4020V30", false, withCards<PC4020V30>(false), lines(pc4020Line, crlf)},
        {"PC4020V30 names (memory)", true, withCards<PC4020V30>(false), lines(pc4020Line, crlf)},
        {"PC4020V30 names (KODY)", true, withCards<PC4020V30>(true), lines(pc4020Line, crlf)},
        {"PC4020V30 continued lines", false, withCards<PC4020V30>(false),
         lines(
             [&](int i) {
                 return i % 2 ? "03/15 10:15am User " + std::to_string(i) : pc4020Line(i).substr(0, 50) + "-";
             },
             crlf)},
        {"PC4020V33", false, withCards<PC4020V33>(false), lines(pc4020Line, crlf)},
        {"PC_6010", false, withCards<PC_6010>(false), lines(pc6010Line, crlf)},
        {"PC_6010 names (KODY)", true, withCards<PC_6010>(true), lines(pc6010Line, crlf)},
        {"DIGIPLEX", false, plain<DIGIPLEX>(),
         lines(
             [&](int i) {
                 return text::format("%4d/%02d/%02d %02d:%02d Alarm zona %d", now.year, now.month, now.day,
                                     i % 24, i % 60, i);
             },
             crlf)},
        {"APLEX", false, plain<APLEX>(),
         lines(
             [&](int i) {
                 return text::format("%02d.%02d.%02d %02d:%02d Pozar smycka %d", now.day, now.month,
                                     now.year % 100, i % 24, i % 60, i);
             },
             crlf)},
        {"ORBIT", false, plain<ORBIT>(),
         lines(
             [&](int i) {
                 return text::format("BRE %02d %4d 10:%02d Alarm zona %d", now.day, now.year, i % 60, i);
             },
             crlf)},
        {"LOOP500", false, plain<LOOP500>(),
         lines(
             [&](int i) {
                 return text::format("AL %02d.%02d  10:%02d Po\xa0\xa1r smy\x87ka %d", now.day, now.month,
                                     i % 60, i);
             },
             crlf)},
        {"CONCEPT", false, plain<CONCEPT>(),
         lines(
             [&](int i) {
                 return text::format("%04d Bre%02d 10:%02d Z%03d Pozar zona %d", i, now.day, i % 60, i, i);
             },
             "\r\n")},
        {"ESSER", false, plain<ESSER>(),
         lines(
             [&](int i) {
                 std::string s = text::format("Alarm Melder %d/%d Sch\x84rfung", i % 32, i % 8);
                 s.resize(34, ' ');
                 return s + text::format("%02d.%02d. 10:%02d", now.day, now.month, i % 60);
             },
             crlf)},
    };

    std::printf("%-28s %10s %9s %14s\n", "decoder", "events", "seconds", "events/s");
    for (const Case& c : cases) {
        setInsertNames(c.insertNames);
        auto dev = c.make(std::make_unique<LoopReader>(c.printout));
        long got = 0, calls = 0;
        long date = 0;
        std::string textOut;
        auto start = Clock::now();
        while (got < events) {
            if (dev->nextEvent(date, textOut)) ++got;
            if (++calls > events * 4) break;  // a decoder that stopped producing events
        }
        double secs = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%-28s %10ld %9.3f %14.0f\n", c.name, got, secs, got / secs);
        if (std::getenv("DECODER_BENCH_SAMPLE")) std::printf("    %s\n", textOut.c_str());
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
