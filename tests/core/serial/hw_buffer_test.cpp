#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "memory_port.h"
#include "serial/hw_buffer.h"
#include "settings/inisoubor.h"
#include "testutil.h"

using vrx::BUFFERED_LINE_READER;
using vrx::test::Bytes;
using vrx::test::ChangeDir;
using vrx::test::FakeClock;
using vrx::test::MemoryPort;
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

using Port = MemoryPort<BUFFERED_LINE_READER>;

Bytes damaged(Bytes p) {
    p.back() = static_cast<unsigned char>(p.back() + 1);
    return p;
}
Bytes operator+(const std::string& noise, const Bytes& p) {
    Bytes b(noise.begin(), noise.end());
    b.insert(b.end(), p.begin(), p.end());
    return b;
}
const Bytes kAccepted = reply(6);
const Bytes kExpired = reply(1);
const Bytes kNoMoreData = reply(0);

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class HwBuffer : public ::testing::Test {
  protected:
    void SetUp() override { useSettings(""); }
    void TearDown() override { vrx::setSettingsPath(dir_.file("none.ini")); }

    void useSettings(const std::string& port) {
        std::ofstream(dir_.file("VORAX.INI"), std::ios::binary) << "[PORT]\r\n" << port;
        vrx::setSettingsPath(dir_.file("VORAX.INI"));
    }

    // A reader on an in-memory line whose far side answers each command with the next reply
    // queued for that command byte, and stays silent when none is left.
    std::unique_ptr<Port> reader(bool debug = false) {
        auto r = std::make_unique<Port>();
        r->setClock(&clock_);
        r->setEndChar(10);
        const unsigned char cr = 13;
        r->setIgnored(&cr, 1);
        Port* p = r.get();
        r->onWrite = [this, p](const Bytes& w) {
            auto& q = replies_[w[0]];
            if (q.empty()) return;
            p->feed(q.front());
            q.pop_front();
        };
        EXPECT_TRUE(r->open("COM1", 9600, 8, 0, 0, 2048, 1024, false, debug));
        return r;
    }

    void answer(unsigned char command, std::initializer_list<Bytes> rs) {
        for (const Bytes& b : rs) replies_[command].push_back(b);
    }

    // Polls n times as the intake does, collecting the completed lines.
    std::vector<std::string> poll(Port& r, int n) {
        std::vector<std::string> lines;
        for (int i = 0; i < n; ++i) {
            if (r.readLine() == 2) {
                lines.emplace_back(r.lineBuffer(), static_cast<size_t>(r.lineLength()));
                r.setLineLength(0);
            }
        }
        return lines;
    }

    TempDir dir_;
    ChangeDir cd_{dir_.path()};
    FakeClock clock_;
    RecordingMessages messages_;
    std::map<unsigned char, std::deque<Bytes>> replies_;
};

using Writes = std::vector<Bytes>;

TEST_F(HwBuffer, CommandsOnTheWire) {
    const unsigned char name[] = {'B', 'U', 'F', 'F', 'E', 'R'};
    EXPECT_EQ(vrx::hwbuf::packet(9, name, 6), kOpen);

    auto r = reader();
    EXPECT_FALSE(r->isContinuous());
    EXPECT_TRUE(r->isHardwareBuffer());
    r->startContinuousReading();
    EXPECT_TRUE(r->isContinuous());
    EXPECT_EQ(r->writes, Writes{kOpen});
    EXPECT_EQ(r->phase(), BUFFERED_LINE_READER::kCommandPhase);
    r->stopReading();
    EXPECT_FALSE(r->isContinuous());
    EXPECT_FALSE(r->timeoutRunning());

    r->writes.clear();
    answer(9, {kAccepted, kAccepted});
    answer(4, {kAccepted});
    answer(5, {kAccepted, kAccepted});
    EXPECT_TRUE(r->startFromBeginning());
    EXPECT_EQ(r->writes, (Writes{kOpen, kFirst, kNext}));
    EXPECT_EQ(r->phase(), BUFFERED_LINE_READER::kDataPhase);
    EXPECT_TRUE(r->timeoutRunning());  // the request waits for its record
    EXPECT_EQ(clock_.waited, 0);       // the unit answered at once: no waiting

    r->writes.clear();
    EXPECT_TRUE(r->erase());
    EXPECT_EQ(r->writes, (Writes{kOpen, kErase0, kErase1}));
}

TEST_F(HwBuffer, ContinuousReadingToNoMoreData) {
    auto r = reader();
    answer(9, {kAccepted});
    answer(2, {record("ALARM 1\r\n"), record("ALARM 2\r\n"), kNoMoreData, kNoMoreData, kNoMoreData});
    r->startContinuousReading();
    EXPECT_EQ(poll(*r, 3), (std::vector<std::string>{"ALARM 1", "ALARM 2"}));
    EXPECT_FALSE(r->bufferEmpty());
    EXPECT_TRUE(poll(*r, 1).empty());
    EXPECT_TRUE(r->bufferEmpty());
    // The unit is asked again at every poll.
    EXPECT_TRUE(poll(*r, 2).empty());
    EXPECT_EQ(r->writes, (Writes{kOpen, kNext, kNext, kNext, kNext, kNext, kNext}));
    EXPECT_TRUE(r->bufferEmpty());
    EXPECT_EQ(messages_.beeps, 0);
}

TEST_F(HwBuffer, NoiseBeforeTheHeadByteIsIgnored) {
    auto r = reader();
    answer(9, {std::string("\x00\x55\xaa\xffxyz", 7) + kAccepted});
    answer(2, {std::string("\x02\x06", 2) + record("DATA\n"), kNoMoreData});
    r->startContinuousReading();
    EXPECT_EQ(poll(*r, 3), std::vector<std::string>{"DATA"});
    EXPECT_EQ(r->writes, (Writes{kOpen, kNext, kNext, kNext}));
}

TEST_F(HwBuffer, BadChecksumRepeatsTheRequest) {
    auto r = reader();
    answer(9, {damaged(kAccepted), kAccepted});
    answer(2, {damaged(record("ONCE\n")), kNoMoreData});
    answer(3, {record("ONCE\n")});
    r->startContinuousReading();
    EXPECT_EQ(poll(*r, 5), std::vector<std::string>{"ONCE"});
    // Command phase: the last command again; data phase: command 3.
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext, kRepeat, kNext, kNext}));
    EXPECT_TRUE(r->bufferEmpty());
}

TEST_F(HwBuffer, ExpiredConnectionIsOpenedAgain) {
    auto r = reader();
    answer(9, {kExpired, kAccepted, kAccepted});
    answer(2, {kExpired, record("AFTER\n")});
    r->startContinuousReading();
    EXPECT_EQ(poll(*r, 5), std::vector<std::string>{"AFTER"});
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext, kOpen, kNext, kNext}));
}

TEST_F(HwBuffer, CommandNotUnderstoodIsSentAgain) {
    auto r = reader();
    answer(9, {reply(21), kAccepted});
    r->startContinuousReading();
    poll(*r, 2);
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext}));
}

TEST_F(HwBuffer, MissingReplyTimesOut) {
    useSettings("BufferTimeout=500\r\n");
    auto r = reader();
    EXPECT_EQ(r->replyTimeoutMs(), 500);
    r->startContinuousReading();
    clock_.now += 499;
    poll(*r, 1);
    EXPECT_EQ(r->writes, Writes{kOpen});
    EXPECT_EQ(messages_.beeps, 0);
    clock_.now += 1;
    answer(9, {kAccepted});
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 1);
    // The command is sent again, its acceptance stops the time-out, the request starts a new one.
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext}));
    clock_.now += 499;
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 1);
    clock_.now += 1;
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 2);
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext, kOpen}));
    EXPECT_EQ(r->phase(), BUFFERED_LINE_READER::kCommandPhase);
}

TEST_F(HwBuffer, DefaultReplyTimeout) {
    auto r = reader();
    EXPECT_EQ(r->replyTimeoutMs(), 15000);
    r->startContinuousReading();
    clock_.now += 14999;
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 0);
    clock_.now += 1;
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 1);
}

TEST_F(HwBuffer, RecordsAndLines) {
    auto r = reader();
    answer(9, {kAccepted});
    answer(2, {record("L1\r\nL2\r\n"), record("SPL"), record("IT\r\n"),
               record(std::string(250, 'x') + "\r\n"), kNoMoreData});
    r->startContinuousReading();
    poll(*r, 1);
    EXPECT_EQ(poll(*r, 1), std::vector<std::string>{"L1"});
    // The rest of the record is used before the next one is requested.
    EXPECT_EQ(r->writes, (Writes{kOpen, kNext}));
    EXPECT_EQ(poll(*r, 1), std::vector<std::string>{"L2"});
    EXPECT_EQ(r->writes.size(), 3u);
    EXPECT_TRUE(poll(*r, 1).empty());  // "SPL" waits for the rest of its line
    EXPECT_EQ(poll(*r, 1), std::vector<std::string>{"SPLIT"});
    EXPECT_EQ(poll(*r, 3), (std::vector<std::string>{std::string(200, 'x'), std::string(50, 'x')}));
    EXPECT_TRUE(r->bufferEmpty());
}

TEST_F(HwBuffer, PacketWithoutDataDoesNotStall) {
    auto r = reader();
    const Bytes empty = {17, 0, 17};
    answer(9, {empty, kAccepted});
    answer(2, {empty, record("NEXT\n")});
    r->startContinuousReading();
    EXPECT_EQ(poll(*r, 4), std::vector<std::string>{"NEXT"});
    EXPECT_EQ(r->writes, (Writes{kOpen, kOpen, kNext, kNext, kNext}));
}

TEST_F(HwBuffer, ManualOperationsGiveUpWithoutAcceptance) {
    struct Case {
        const char* name;
        bool erase;
        std::map<unsigned char, std::deque<Bytes>> replies;
        Writes writesStart;  // the first writes
        long long waited;
    };
    std::vector<Case> cases = {
        {"SilentUnit", false, {}, {kOpen}, 2000},
        {"FirstRecordExpired", false, {{9, {kAccepted}}, {4, {kExpired}}}, {kOpen, kFirst, kOpen}, 0},
        {"DamagedAcceptance", false, {{9, {damaged(kAccepted)}}}, {kOpen, kOpen}, 0},
        {"EraseSecondStepSilent",
         true,
         {{9, {kAccepted}}, {5, {kAccepted}}},
         {kOpen, kErase0, kErase1},
         2000},
        {"EraseFirstStepRefused", true, {{9, {kAccepted}}, {5, {reply(21)}}}, {kOpen, kErase0, kErase0}, 0},
    };
    for (Case& c : cases) {
        replies_ = c.replies;
        clock_.waited = 0;
        auto r = reader();
        EXPECT_FALSE(c.erase ? r->erase() : r->startFromBeginning()) << c.name;
        EXPECT_EQ(r->writes, c.writesStart) << c.name;
        EXPECT_EQ(clock_.waited, c.waited) << c.name;
    }
}

TEST_F(HwBuffer, ManualOperationsIgnoreAnOldAnswer) {
    // The answer to the request sent after the last "no more data" of an earlier reading.
    for (bool erase : {false, true}) {
        replies_ = {{9, {kAccepted}}, {4, {kAccepted}}, {5, {kAccepted, kAccepted}}};
        auto r = reader();
        r->feed(kNoMoreData);
        EXPECT_TRUE(erase ? r->erase() : r->startFromBeginning()) << erase;
        EXPECT_EQ(r->writes[0], kOpen);
        EXPECT_EQ(r->writes.size(), 3u);
    }
}

TEST_F(HwBuffer, ManualWaitEndsWhenTheReplyIsComplete) {
    auto r = reader();
    // The acceptance arrives in two pieces, 30 ms apart.
    Port* p = r.get();
    int calls = 0;
    struct SplitClock : FakeClock {
        std::function<void()> onWait;
        void waitMs(int ms) override {
            FakeClock::waitMs(ms);
            if (onWait) onWait();
        }
    } clock;
    r->setClock(&clock);
    r->onWrite = [&](const Bytes& w) {
        if (w[0] == 9) p->feed(Bytes{17, 1});
        if (w[0] == 4) p->feed(kAccepted);
    };
    clock.onWait = [&] {
        if (++calls == 3) p->feed(Bytes{6, 24});
    };
    EXPECT_TRUE(r->startFromBeginning());
    EXPECT_EQ(clock.waited, 30);
}

TEST_F(HwBuffer, TraceFile) {
    auto r = reader(true);
    ASSERT_TRUE(r->trace());
    answer(9, {"x" + kExpired, damaged(kAccepted), reply(21), kAccepted});
    answer(2, {kExpired, kNoMoreData});
    r->startContinuousReading();
    poll(*r, 7);

    auto cekam = [](const char* state, unsigned char b) {
        char buf[64];
        int n = std::snprintf(buf, sizeof buf, "Cekam:%-4s prislo:%02X = %c\r\n", state, b, b);
        return std::string(buf, static_cast<size_t>(n));
    };
    auto packetLines = [&](const Bytes& p) {
        std::string s = cekam("HEAD", p[0]) + cekam("LNG ", p[1]);
        for (size_t i = 2; i + 1 < p.size(); ++i) s += cekam("DATA", p[i]);
        return s + cekam("CRC ", p.back());
    };
    std::string expected = cekam("HEAD", 'x') + packetLines(kExpired) +
                           "Chyba - vyprsela platnost spojeni\r\n" + packetLines(damaged(kAccepted)) +
                           "Chyba - CRC ocekavano:18 \r\n" + packetLines(reply(21)) +
                           "Chyba - buffer nerozumel povelu\r\n" + packetLines(kAccepted) +
                           packetLines(kExpired) + "Chyba - vyprsela platnost spojeni\r\n";
    EXPECT_EQ(slurp(dir_.file("ladici.$")), expected);

    r->feed(kAccepted);  // the unit answers the last opening late
    poll(*r, 2);
    expected += packetLines(kAccepted) + packetLines(kNoMoreData) + "\r\nBuffer nema data\r\n\r\n";
    EXPECT_EQ(slurp(dir_.file("ladici.$")), expected);
    EXPECT_EQ(cekam("HEAD", 0), std::string("Cekam:HEAD prislo:00 = \0\r\n", 26));
}

TEST_F(HwBuffer, TraceFlagFollowsTheSettingsAndThePort) {
    useSettings("DebugBuffer=1\r\n");
    {
        Port r;
        EXPECT_TRUE(r.trace());  // from the settings until the port is opened
        ASSERT_TRUE(r.open("COM1", 9600, 8, 0, 0, 2048, 1024, false, false));
        EXPECT_FALSE(r.trace());  // then the port's debug flag
    }
    {
        auto r = reader(false);
        answer(9, {kAccepted});
        r->startContinuousReading();
        poll(*r, 1);
        EXPECT_FALSE(std::filesystem::exists(dir_.file("ladici.$")));
    }
}

TEST_F(HwBuffer, ClosingStopsTheTimeout) {
    auto r = reader();
    r->startContinuousReading();
    EXPECT_TRUE(r->timeoutRunning());
    EXPECT_TRUE(r->close());
    EXPECT_FALSE(r->timeoutRunning());
    clock_.now += 100000;
    poll(*r, 1);
    EXPECT_EQ(messages_.beeps, 0);
}

}  // namespace
