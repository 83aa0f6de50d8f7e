#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "memory_port.h"
#include "panelsim.h"
#include "serial/hw_buffer.h"
#include "serial/line_reader.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/strutil.h"

extern char** environ;

using vrx::BUFFERED_LINE_READER;
using vrx::DIRECT_LINE_READER;
using vrx::LINE_READER;
using vrx::panelsim::BufferUnit;
using vrx::panelsim::Bytes;
using vrx::panelsim::Family;
using vrx::panelsim::FaultPlan;
using vrx::panelsim::PseudoTerminal;
using vrx::test::RecordingMessages;
using vrx::test::TempDir;
using vrx::test::kErase0;
using vrx::test::kErase1;
using vrx::test::kFirst;
using vrx::test::kNext;
using vrx::test::kOpen;
using vrx::test::kRepeat;
using vrx::test::record;
using vrx::test::reply;

namespace {

using Clock = std::chrono::steady_clock;

Bytes send(BufferUnit& unit, const Bytes& command) {
    return unit.receive(command.data(), command.size());
}

// Polls a reader until `want` lines came (and, for a buffer reader, the unit reported no more
// data), or the time is up.
std::vector<std::string> readLines(LINE_READER& r, size_t want, int timeoutMs = 20000) {
    std::vector<std::string> lines;
    auto* buffered = dynamic_cast<BUFFERED_LINE_READER*>(&r);
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (r.readLine() == 2) {
            lines.emplace_back(r.lineBuffer(), static_cast<size_t>(r.lineLength()));
            r.setLineLength(0);
            continue;
        }
        if (lines.size() >= want && (!buffered || buffered->bufferEmpty())) break;
        r.waitForInput(20);
    }
    return lines;
}

// ------------------------------------------------------------------------------------------------
// The unit's answers

TEST(BufferUnit, AnswersTheCommands) {
    BufferUnit unit({"ONE", "TWO"}, "\r\n");
    EXPECT_EQ(send(unit, kNext), reply(1));  // no connection yet
    const Bytes wrongName = vrx::hwbuf::packet(9, reinterpret_cast<const unsigned char*>("BUFFEX"), 6);
    EXPECT_EQ(send(unit, wrongName), reply(21));
    EXPECT_EQ(send(unit, kOpen), reply(6));
    EXPECT_EQ(send(unit, kNext), record("ONE\r\n"));
    EXPECT_EQ(send(unit, kRepeat), record("ONE\r\n"));
    EXPECT_EQ(send(unit, kNext), record("TWO\r\n"));
    EXPECT_EQ(send(unit, kNext), reply(0));
    EXPECT_EQ(send(unit, kRepeat), reply(0));  // the last answer again, not an old record
    EXPECT_EQ(send(unit, kFirst), reply(6));
    EXPECT_EQ(send(unit, kNext), record("ONE\r\n"));
    EXPECT_EQ(send(unit, kErase1), reply(21));  // the second step alone erases nothing
    EXPECT_EQ(unit.recordCount(), 2u);
    EXPECT_EQ(send(unit, kErase0), reply(6));
    EXPECT_EQ(send(unit, kErase1), reply(6));
    EXPECT_EQ(unit.recordCount(), 0u);
    EXPECT_EQ(send(unit, kNext), reply(0));
    EXPECT_EQ(send(unit, Bytes{5, 1, 2, 8}), reply(21));
    EXPECT_TRUE(send(unit, Bytes{7, 1, 0, 8}).empty());  // no command of the unit
}

TEST(BufferUnit, ReadsCommandsInPiecesAndSkipsGarbage) {
    BufferUnit unit({"A"}, "\n");
    Bytes stream = {0xFF, 0x00, 0x13, 0x02, 0xFF, 0x09, 0x06, 0x00};
    stream.insert(stream.end(), kOpen.begin(), kOpen.end());
    stream.insert(stream.end(), kNext.begin(), kNext.end());
    Bytes out;
    for (unsigned char b : stream) {
        Bytes part = unit.receive(&b, 1);
        out.insert(out.end(), part.begin(), part.end());
    }
    Bytes expected = reply(6);
    Bytes rec = record("A\n");
    expected.insert(expected.end(), rec.begin(), rec.end());
    EXPECT_EQ(out, expected);
}

TEST(BufferUnit, SplitsLongLinesIntoRecords) {
    BufferUnit unit({std::string(300, 'x')}, "\r\n");
    ASSERT_EQ(unit.recordCount(), 2u);
    send(unit, kOpen);
    EXPECT_EQ(send(unit, kNext), record(std::string(255, 'x')));
    EXPECT_EQ(send(unit, kNext), record(std::string(45, 'x') + "\r\n"));
}

TEST(BufferUnit, InjectsFaults) {
    FaultPlan plan;
    plan.noiseEvery = 2;
    plan.badChecksumEvery = 2;
    plan.expireEvery = 3;
    plan.silenceEvery = 5;
    BufferUnit unit({"R1", "R2", "R3", "R4"}, "\n", plan);
    EXPECT_EQ(send(unit, kOpen), reply(6));  // reply 1
    Bytes noisy = {0x00, 0x55, 0xAA, 0xFF, 0x0D, 0x0A};
    Bytes r1 = record("R1\n");
    noisy.insert(noisy.end(), r1.begin(), r1.end());
    EXPECT_EQ(send(unit, kNext), noisy);  // request 1, reply 2: noise
    Bytes damaged = record("R2\n");       // request 2: bad checksum
    damaged.back() = static_cast<unsigned char>(damaged.back() + 1);
    EXPECT_EQ(send(unit, kNext), damaged);  // reply 3
    Bytes again = send(unit, kRepeat);      // reply 4: noise, then the clean record
    EXPECT_EQ(Bytes(again.end() - 6, again.end()), record("R2\n"));
    EXPECT_EQ(send(unit, kNext), reply(1));  // request 3: expired (reply 5)
    Bytes noConnection = send(unit, kNext);  // request 4: still no connection (reply 6, noise)
    EXPECT_EQ(Bytes(noConnection.end() - 4, noConnection.end()), reply(1));
    send(unit, kOpen);
    EXPECT_TRUE(send(unit, kNext).empty());  // request 5: silence
    EXPECT_EQ(unit.readPosition(), 2u);      // nothing was handed out meanwhile
    EXPECT_EQ(unit.stats().silences, 1);
    EXPECT_EQ(unit.stats().expiries, 1);
    EXPECT_EQ(unit.stats().badChecksums, 1);
    EXPECT_EQ(unit.stats().noise, 3);
    for (const Bytes& b : {send(unit, kOpen), send(unit, kNext)})
        EXPECT_EQ(std::count(b.begin(), b.end(), 17), 1) << "noise never holds the head byte";
}

// ------------------------------------------------------------------------------------------------
// The built-in samples

TEST(Samples, GalaxyDateLinesSitInTheDecoderColumns) {
    std::vector<std::string> lines = vrx::panelsim::sampleLines(Family::Galaxy, 5, 3, 2024);
    const char* months[] = {"LED", "UNO", "BRE", "DUB", "KVE", "CRN",
                            "CRC", "SRP", "ZAR", "RIJ", "LIS", "PRO"};
    struct Found {
        long day;
        std::string month;
        long year;
        size_t base;  // the column the general form counts from; 26 for the history header
    };
    std::vector<Found> dates;
    for (const std::string& l : lines) {
        if (l.rfind("   HIST.ON-LINE (", 0) == 0) {
            ASSERT_GE(l.size(), 38u);
            dates.push_back(
                {vrx::text::readLong(l.substr(26)), l.substr(29, 3), vrx::text::readLong(l.substr(33)), 26});
            continue;
        }
        if (l.size() <= 13) continue;
        size_t base = std::isdigit(static_cast<unsigned char>(l[3])) ? 0 : 1;
        std::string month = l.substr(6 + base, 3);
        if (std::find(std::begin(months), std::end(months), month) == std::end(months)) continue;
        dates.push_back(
            {vrx::text::readLong(l.substr(2 + base)), month, vrx::text::readLong(l.substr(10 + base)), base});
    }
    ASSERT_EQ(dates.size(), 3u);
    // Both layouts of the general form, then the history header; the date moves on by a day.
    EXPECT_EQ(dates[0].base, 1u);
    EXPECT_EQ(dates[0].day, 5);
    EXPECT_EQ(dates[0].month, "BRE");
    EXPECT_EQ(dates[0].year, 2024);
    EXPECT_EQ(dates[1].base, 0u);
    EXPECT_EQ(dates[1].day, 6);
    EXPECT_EQ(dates[1].month, "BRE");
    EXPECT_EQ(dates[2].base, 26u);
    EXPECT_EQ(dates[2].day, 6);
    EXPECT_EQ(dates[2].year, 2024);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        size_t p = l.find(" UZ. ");
        return p != std::string::npos && l.size() > p + 9 &&
               std::isdigit(static_cast<unsigned char>(l[p + 5]));
    }));

    // Across the end of a year the month word and the year follow.
    lines = vrx::panelsim::sampleLines(Family::Galaxy, 31, 12, 2023);
    EXPECT_NE(lines[0].find("31 PRO 2023"), std::string::npos);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("01 LED 2024") != std::string::npos; }));
}

TEST(Samples, Pc4020LinesCarryTheirDateAndContinuation) {
    std::vector<std::string> lines = vrx::panelsim::sampleLines(Family::Pc4020, 11, 3, 2024);
    int dated = 0, continued = 0, coded = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.size() > 23 && l[17] == '/' && l[20] == '/') {
            int month = (l[15] - '0') * 10 + (l[16] - '0');
            int day = (l[18] - '0') * 10 + (l[19] - '0');
            int year = (l[21] - '0') * 10 + (l[22] - '0');
            EXPECT_EQ(month, 3) << l;
            EXPECT_TRUE(day == 11 || day == 12) << l;
            EXPECT_EQ(year, 24) << l;
            ++dated;
        }
        if (l.size() > 82 && std::isdigit(static_cast<unsigned char>(l[65]))) ++coded;
        if (l.back() == '-') {
            ++continued;
            ASSERT_LT(i + 1, lines.size());
            EXPECT_EQ(lines[i + 1].substr(0, 14), l.substr(0, 14));  // the next line repeats the header
        }
    }
    EXPECT_EQ(dated, static_cast<int>(lines.size()) - 1);
    EXPECT_EQ(continued, 1);
    EXPECT_GE(coded, 2);
}

TEST(Samples, GeneralLinesNeedTrimming) {
    std::vector<std::string> lines = vrx::panelsim::sampleLines(Family::General, 1, 1, 2024);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return !l.empty() && l.front() == ' ' && l.back() == ' ' && vrx::text::trim(l).size() > 0;
    }));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& l) { return vrx::text::trim(l).empty(); }));
}

// ------------------------------------------------------------------------------------------------
// On a pseudo-terminal

class OnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.open());
        std::ofstream(dir_.file("VORAX.INI"), std::ios::binary) << "[PORT]\r\nBufferTimeout=1000\r\n";
        vrx::setSettingsPath(dir_.file("VORAX.INI"));
    }
    void TearDown() override {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
        vrx::setSettingsPath(dir_.file("none.ini"));
    }
    // Plays the unit on the pseudo-terminal until the test ends.
    BufferUnit& serve(const std::vector<std::string>& lines, FaultPlan plan = {}) {
        unit_ = std::make_unique<BufferUnit>(lines, "\r\n", plan);
        worker_ = std::thread([this] { vrx::panelsim::serveBuffer(pty_.master(), *unit_, stop_); });
        return *unit_;
    }

    TempDir dir_;
    PseudoTerminal pty_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<BufferUnit> unit_;
    std::thread worker_;
};

TEST_F(OnPty, PrintedLinesArriveWithEachLineEnd) {
    struct Case {
        const char* lineEnd;
        int endChar;
        std::string ignored;
    } cases[] = {{"crlf", 10, "\r"}, {"lf", 10, ""}, {"cr", 13, ""}, {"lfcr", 10, "\r"}};
    const std::vector<std::string> lines = {"  ALARM ZONA 5  ", "PORUCHA \x8a\x9e", "", "X"};
    for (const Case& c : cases) {
        vrx::panelsim::PrintOptions options;
        ASSERT_TRUE(vrx::panelsim::parseLineEnd(c.lineEnd, options.lineEnd));
        // The printer waits for the port to be opened, so the opening discards nothing.
        worker_ =
            std::thread([&] { vrx::panelsim::printLines(pty_.master(), lines, options, &stop_, &pty_); });
        DIRECT_LINE_READER r;
        r.setEndChar(c.endChar);
        r.setIgnored(reinterpret_cast<const unsigned char*>(c.ignored.data()),
                     static_cast<int>(c.ignored.size()));
        ASSERT_TRUE(r.open(pty_.slavePath(), 9600, 8, 0, 0, 2048, 1024, false, false));
        EXPECT_EQ(readLines(r, lines.size()), lines) << c.lineEnd;
        worker_.join();
        r.close();
    }
}

TEST_F(OnPty, BufferReadThroughFaults) {
    std::vector<std::string> lines = vrx::panelsim::sampleLines(Family::Galaxy, 11, 3, 2024);
    for (int i = 0; i < 40; ++i)
        lines.push_back(vrx::text::format("%02d:00:00 1001 +NARUSENI   ZONA %d", i % 24, i));
    FaultPlan plan;
    plan.noiseEvery = 3;
    plan.badChecksumEvery = 4;
    plan.expireEvery = 7;
    plan.silenceEvery = 25;
    BufferUnit& unit = serve(lines, plan);

    RecordingMessages messages;
    BUFFERED_LINE_READER r;
    r.setEndChar(10);
    const unsigned char cr = 13;
    r.setIgnored(&cr, 1);
    ASSERT_TRUE(r.open(pty_.slavePath(), 9600, 8, 0, 0, 2048, 1024, false, false));
    r.startContinuousReading();
    EXPECT_EQ(readLines(r, lines.size()), lines);
    EXPECT_TRUE(r.bufferEmpty());
    r.stopReading();
    stop_ = true;
    worker_.join();
    EXPECT_GT(unit.stats().badChecksums, 0);
    EXPECT_GT(unit.stats().expiries, 0);
    EXPECT_GT(unit.stats().noise, 0);
    EXPECT_GT(unit.stats().silences, 0);
    // Every silent request cost one time-out, announced by a beep.
    EXPECT_EQ(messages.beeps, unit.stats().silences);
}

TEST_F(OnPty, ReadFromTheStartAndErase) {
    const std::vector<std::string> lines = {"FIRST", "SECOND", "THIRD"};
    serve(lines);
    BUFFERED_LINE_READER r;
    const unsigned char cr = 13;
    r.setIgnored(&cr, 1);
    ASSERT_TRUE(r.open(pty_.slavePath(), 9600, 8, 0, 0, 2048, 1024, false, false));

    auto start = Clock::now();
    ASSERT_TRUE(r.startFromBeginning());
    EXPECT_EQ(readLines(r, lines.size()), lines);
    // The answer to the request that follows "no more data" may still be on its way; the next
    // operation must not take it for its own answer.
    ASSERT_TRUE(r.waitForInput(2000));
    ASSERT_TRUE(r.startFromBeginning());  // the same records once more
    EXPECT_EQ(readLines(r, lines.size()), lines);
    ASSERT_TRUE(r.waitForInput(2000));
    ASSERT_TRUE(r.erase());
    ASSERT_TRUE(r.startFromBeginning());
    EXPECT_TRUE(readLines(r, 0).empty());
    EXPECT_TRUE(r.bufferEmpty());
    // Each step ended with the unit's answer, well before its two seconds.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(6));
    r.stopReading();
}

// ------------------------------------------------------------------------------------------------
// The program

class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), PANELSIM_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, PANELSIM_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    // The first line the program writes on standard output.
    std::string firstLine(int timeoutMs = 10000) {
        std::string s;
        auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end && s.find('\n') == std::string::npos) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char c;
                if (::read(out_, &c, 1) != 1) break;
                s += c;
            }
        }
        return s.substr(0, s.find('\n'));
    }
    // Ends the program as Ctrl+C does; its exit status, -1 when it had to be killed.
    int interrupt() {
        ::kill(pid_, SIGINT);
        return wait();
    }
    int wait(int timeoutMs = 10000) {
        auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (Clock::now() < end) {
            pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    bool started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

TEST_F(OnPty, ProgramPlaysTheBufferUnit) {
    Program sim({"--buffer", "--family", "galaxy", "--date", "11.3.2024", "--noise", "2", "--bad-checksum",
                 "3", "--expire", "4", "--silence", "9"});
    ASSERT_TRUE(sim.started());
    std::string slave = sim.firstLine();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    RecordingMessages messages;
    BUFFERED_LINE_READER r;
    const unsigned char cr = 13;
    r.setIgnored(&cr, 1);
    ASSERT_TRUE(r.open(slave, 9600, 8, 0, 0, 2048, 1024, false, false));
    r.startContinuousReading();
    EXPECT_EQ(readLines(r, 14), vrx::panelsim::sampleLines(Family::Galaxy, 11, 3, 2024));
    EXPECT_GT(messages.beeps, 0);  // the silent requests timed out
    r.close();
    EXPECT_EQ(sim.interrupt(), 0);
}

TEST_F(OnPty, ProgramPrintsAFile) {
    std::ofstream(dir_.file("lines.txt"), std::ios::binary) << "FIRST LINE\r\nSECOND\nTHIRD \xe8\r\n";
    Program sim({"--rate", "0", "--line-end", "lf", "--exit", dir_.file("lines.txt")});
    std::string slave = sim.firstLine();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    DIRECT_LINE_READER r;
    ASSERT_TRUE(r.open(slave, 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_EQ(readLines(r, 3), (std::vector<std::string>{"FIRST LINE", "SECOND", "THIRD \xe8"}));
    r.close();  // the program ends when the station lets go of the port
    EXPECT_EQ(sim.wait(), 0);
}

TEST(Program, RefusesBadOptions) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--rate", "fast"},
                                          {"--family", "nokia"},
                                          {"--line-end", "crcr"},
                                          {"--bogus"},
                                          {"--silence"}}) {
        Program sim(args);
        EXPECT_EQ(sim.wait(), 2) << args[0];
    }
    Program help({"--help"});
    EXPECT_NE(help.firstLine().find("Usage: vorax-panelsim"), std::string::npos);
    EXPECT_EQ(help.wait(), 0);
}

}  // namespace
