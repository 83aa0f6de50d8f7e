// End to end through a real pseudo-terminal: the simulator plays a panel (directly or as the
// hardware buffer unit, with faults), the headless collector stores the events, and the full
// operating log is read back. The expected events come from the same bytes decoded in-process.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/devices/device_testutil.h"
#include "db/tables.h"
#include "devices/factory.h"
#include "panelsim.h"
#include "service/initialization.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/dates.h"

extern char** environ;

using namespace vrx;

namespace {

struct Event {
    long date;
    std::string text;
    bool operator==(const Event& o) const { return date == o.date && text == o.text; }
};

struct Case {
    const char* name;
    panelsim::Family family;
    int panelIndex;  // "Ustredna"
    int panelType;
    bool buffer;
    panelsim::FaultPlan faults;
};

class CollectorEndToEnd : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        shared = dir.path() + "/spol";
        priv = dir.path() + "/priv";
        std::filesystem::create_directories(shared);
        std::filesystem::create_directories(priv);
        std::filesystem::create_directories(dir.path() + "/media");
        setSettingsPath(dir.file("VORAX.INI"));
        const INISOUBOR& ini = settings();
        ini.writeString("ADRESARE", "SpolTabulky", shared);
        ini.writeString("ADRESARE", "PrivTabulky", priv);
        ini.writeString("ADRESARE", "Multimedia", dir.path() + "/media");
        service::initializeTables({service::InitTable::Kody, service::InitTable::Filtry, service::InitTable::Hesla,
                                   service::InitTable::Ctecky, service::InitTable::Histor,
                                   service::InitTable::Audit},
                                  nullptr);
    }
    void TearDown() override { setSettingsFile("VORAX.INI"); }

    // The events the decoder makes of these bytes, decoded here with a settings file of its own.
    std::vector<Event> expected(const Case& c, const std::string& bytes, long startDate) {
        std::string oracleIni = dir.file("ORACLE.INI");
        setSettingsPath(oracleIni);
        settings().writeString("ADRESARE", "SpolTabulky", shared);
        test::ScriptedReader* reader = nullptr;
        DeviceSources sources;
        sources.lineReader = [&](bool) {
            auto r = std::make_unique<test::ScriptedReader>();
            reader = r.get();
            return r;
        };
        auto device = createDevice(c.panelType, false, false, startDate, sources);
        reader->feed(bytes);
        std::vector<Event> out;
        long date;
        std::string text;
        for (int guard = 0; guard < 100000 && (reader->remaining() > 0 || reader->hasPartialLine()); ++guard) {
            if (device->nextEvent(date, text)) out.push_back({date, text});
        }
        device.reset();
        setSettingsPath(dir.file("VORAX.INI"));
        return out;
    }

    std::vector<Event> stored() {
        TABHISTOR h;
        std::vector<Event> out;
        if (!h.open(0, 0, 0)) return out;
        int number = 1;
        for (h.first(); !h.eof(); h.next(), ++number) {
            EXPECT_EQ(h.rec.Cislo, number);
            out.push_back({h.rec.Datum, h.rec.Retezec});
        }
        return out;
    }

    long storedCount() {
        TABHISTOR h;
        return h.open(0, 0, 0) ? h.recordCount() : -1;
    }

    test::TempDir dir;
    std::string shared, priv;
};

pid_t spawnCollector(const std::string& directory) {
    std::string exe = VRX_COLLECTOR;
    std::vector<std::string> args = {exe, "--directory", directory};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

}  // namespace

TEST_P(CollectorEndToEnd, EveryLineStoredOnceInOrderWithItsDate) {
    const Case& c = GetParam();
    const long first = text::today() - 3;
    text::DateParts p = text::dayToParts(first);
    std::vector<std::string> lines = panelsim::sampleLines(c.family, p.day, p.month, p.year);
    ASSERT_FALSE(lines.empty());
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    const long startDate = first - 1;
    std::vector<Event> want = expected(c, bytes, startDate);
    ASSERT_FALSE(want.empty());

    panelsim::PseudoTerminal pty;
    ASSERT_TRUE(pty.open());
    const INISOUBOR& ini = settings();
    ini.writeString("PORT", "Jmeno", pty.slavePath());
    ini.writeNumber("PORT", "Rychlost", 9600);
    ini.writeNumber("PORT", "DataBity", 8);
    ini.writeReal("PORT", "StopBity", 1.0);
    ini.writeString("PORT", "Parita", "zadna");
    ini.writeNumber("PORT", "Online", 1);
    ini.writeNumber("PORT", "Buffer", c.buffer ? 1 : 0);
    ini.writeNumber("PORT", "BufferTimeout", 300);
    ini.writeNumber("USTREDNA", "Ustredna", c.panelIndex);
    ini.writeDate("SYSTEM", "Datum", startDate);

    // A filter of the full operating log starts a program for each intrusion line, with the line as
    // an argument: the collector runs the filters' program actions.
    const std::string hits = dir.path() + "/hits";
    std::filesystem::create_directories(hits);
    {
        TABFILTRY f;
        ASSERT_TRUE(f.open(0, 1, 0));
        f.clearRecord();
        setText(f.rec.Maska, "NARUSENI");
        f.rec.Priorita = 5;
        f.rec.Denik = 3;
        setText(f.rec.Program, "/usr/bin/touch");
        setText(f.rec.PrgParams, hits + "/$$$");
        ASSERT_TRUE(f.save(1));
    }
    size_t intrusions = 0;
    for (const auto& e : want) intrusions += e.text.find("NARUSENI") != std::string::npos;
    if (c.family == panelsim::Family::Galaxy) ASSERT_GT(intrusions, 0u);

    std::atomic<bool> stop{false};
    std::unique_ptr<panelsim::BufferUnit> unit;
    std::thread panel;
    if (c.buffer) {
        unit = std::make_unique<panelsim::BufferUnit>(lines, "\r\n", c.faults);
        panel = std::thread([&] { panelsim::serveBuffer(pty.master(), *unit, stop); });
    } else {
        panel = std::thread([&] {
            panelsim::PrintOptions opt;
            opt.linesPerSecond = 0;
            panelsim::printLines(pty.master(), lines, opt, &stop, &pty);
        });
    }

    pid_t pid = spawnCollector(dir.path());
    ASSERT_GT(pid, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (storedCount() < static_cast<long>(want.size()) && std::chrono::steady_clock::now() < deadline) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ADD_FAILURE() << "collector ended early, status " << status;
            pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid > 0) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    stop = true;
    panel.join();

    std::vector<Event> got = stored();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].text, want[i].text) << "record " << i + 1;
        EXPECT_EQ(got[i].date, want[i].date) << "record " << i + 1 << " " << want[i].text;
    }
    // Programs are not waited for: their traces may come a moment after the records.
    auto countHits = [&] {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(hits)) ++n;
        return n;
    };
    for (int i = 0; i < 100 && countHits() < intrusions; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(countHits(), intrusions);
    for (const auto& e : want) {
        if (e.text.find("NARUSENI") != std::string::npos) EXPECT_TRUE(std::filesystem::exists(hits + "/" + e.text)) << e.text;
    }
    // The print-out's date lines moved the event date forward from the stored start date.
    EXPECT_GT(got.back().date, startDate);
    EXPECT_EQ(settings().readDate("SYSTEM", "Datum", 0), got.back().date);
    if (unit && c.faults.noiseEvery + c.faults.badChecksumEvery + c.faults.expireEvery + c.faults.silenceEvery) {
        const auto& s = unit->stats();
        EXPECT_GT(s.noise + s.badChecksums + s.expiries + s.silences, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Panels, CollectorEndToEnd,
    ::testing::Values(Case{"GalaxyDirect", panelsim::Family::Galaxy, 8, 1, false, {}},
                      Case{"Pc4020Direct", panelsim::Family::Pc4020, 24, 4, false, {}},
                      Case{"GalaxyBufferWithFaults", panelsim::Family::Galaxy, 8, 1, true, {3, 4, 5, 7}},
                      Case{"Pc4020Buffer", panelsim::Family::Pc4020, 24, 4, true, {0, 5, 0, 0}}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });
