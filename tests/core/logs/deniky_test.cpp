// The in-memory logs: update passes, multi-line matches, the extract options and the actions.
#include "logs/deniky.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "core/logs/logs_fixture.h"
#include "logs/operating_logs.h"
#include "settings/inisoubor.h"

using namespace vrx;
using vrx::test::Entry;
using vrx::test::FilterSpec;
using vrx::test::RecordingActions;
using Entries = std::vector<Entry>;
using Calls = std::vector<std::string>;

namespace {

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF;
constexpr int kW = 0xFFFFFF;

Entry plain(int record) {
    return {record, 0, kW};
}
Entry red(int record) {
    return {record, kRed, kW};
}
Entry green(int record) {
    return {record, kGreen, kW};
}

class Logs : public test::LogsFixture {
  protected:
    // Events "x1", "x2", ... up to record n.
    void fill(int n) {
        std::vector<std::string> texts;
        for (int i = 1; i <= n; ++i) texts.push_back("x" + std::to_string(i));
        addEvents(texts);
    }
};

}  // namespace

TEST(Log, EntriesInBlocks) {
    static_assert(sizeof(LOGRECORD) == 12);
    LOG log;
    int r, f, b;
    EXPECT_FALSE(log.Get(0, r, f, b));
    const int n = 100000;  // several blocks
    for (int i = 0; i < n; ++i) log.Add(i + 1, i * 3, i * 7);
    ASSERT_EQ(log.Count(), n);
    for (int i : {0, 1, 8191, 8192, 8193, 50000, n - 1}) {
        ASSERT_TRUE(log.Get(i, r, f, b)) << i;
        EXPECT_EQ(r, i + 1);
        EXPECT_EQ(f, i * 3);
        EXPECT_EQ(b, i * 7);
    }
    EXPECT_FALSE(log.Get(n, r, f, b));
    EXPECT_FALSE(log.Get(-1, r, f, b));
    EXPECT_LE(log.memoryBytes(), static_cast<size_t>(n) * 16);
    log.Clear();
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(log.memoryBytes(), 0u);
    EXPECT_FALSE(log.Get(0, r, f, b));
    log.Add(5, 1, 2);
    ASSERT_TRUE(log.Get(0, r, f, b));
    EXPECT_EQ(r, 5);
}

TEST_F(Logs, EmptyTableAndMissingTable) {
    FILTERMANAGER m;
    ALARMLOG upd(m);
    ASSERT_TRUE(upd.tableOpen());
    EXPECT_FALSE(upd.Update(true));
    EXPECT_EQ(upd.Count(), 0);
    EXPECT_EQ(upd.LastProcessed(), 0);

    std::filesystem::remove(shared + "/HISTOR.DB");
    QUIETLOG epd(m);
    EXPECT_FALSE(epd.tableOpen());
    EXPECT_FALSE(epd.Update());
    EXPECT_EQ(epd.Count(), 0);
}

TEST_F(Logs, WithoutFiltersEveryRecordInDefaultColoursAndPassesAreIncremental) {
    fill(5);
    FILTERMANAGER m;
    ALARMLOG upd(m);
    EXPECT_FALSE(upd.Update(true));  // nothing completed a match
    EXPECT_EQ(entries(upd), (Entries{plain(1), plain(2), plain(3), plain(4), plain(5)}));
    EXPECT_EQ(upd.LastProcessed(), 5);
    EXPECT_FALSE(upd.Update(true));  // nothing new
    EXPECT_EQ(upd.Count(), 5);
    addEvents({"x6", "x7"});
    upd.Update(true);
    EXPECT_EQ(entries(upd), (Entries{plain(1), plain(2), plain(3), plain(4), plain(5), plain(6), plain(7)}));
    EXPECT_EQ(upd.LastProcessed(), 7);
    upd.Reset();
    EXPECT_EQ(upd.Count(), 0);
    EXPECT_EQ(upd.LastProcessed(), 0);
    upd.Update(false);
    EXPECT_EQ(upd.Count(), 7);
}

TEST_F(Logs, ExtractOptionsAndDayWindow) {
    addFilter({.mask = "MATCH", .logs = kScopeEpd, .foreground = kRed});
    addEvents({"MATCH 1"}, 100);
    addEvents({"other 2"}, 101);
    addEvents({"MATCH 3"}, 102);
    addEvents({"MATCH 4"}, 103);
    addEvents({"other 5"}, 104);
    struct Case {
        bool onlyMatching, useWindow;
        int from, to;
        Entries expected;
    } cases[] = {
        {false, false, 0, 0, {red(1), plain(2), red(3), red(4), plain(5)}},
        {true, false, 0, 0, {red(1), red(3), red(4)}},
        {true, true, 102, 103, {red(3), red(4)}},  // both ends of the window included
        {true, true, 100, 102, {red(1), red(3)}},
        {true, true, 101, 101, {}},
        {true, true, 105, 200, {}},
        {false, true, 102, 102, {red(1), plain(2), red(3), red(4), plain(5)}},  // window needs onlyMatching
    };
    FILTERMANAGER m;
    for (const auto& c : cases) {
        QUIETLOG epd(m);
        epd.SetOptions(c.onlyMatching, c.useWindow, c.from, c.to);
        EXPECT_EQ(epd.Update(), !c.expected.empty());
        EXPECT_EQ(entries(epd), c.expected) << c.onlyMatching << c.useWindow << " " << c.from << "-" << c.to;
        EXPECT_EQ(epd.LastProcessed(), 5);
    }
    // The UPD log does not see an EPD-only filter.
    ALARMLOG upd(m);
    upd.Update(false);
    EXPECT_EQ(entries(upd), (Entries{plain(1), plain(2), plain(3), plain(4), plain(5)}));
}

TEST_F(Logs, ExtractPassReportsOnlyCompletedMatches) {
    addFilter({.mask = "MATCH", .logs = kScopeEpd, .foreground = kRed});
    FILTERMANAGER m;
    QUIETLOG epd(m);
    epd.SetOptions(false, false, 0, 0);
    addEvents({"a", "b"});
    EXPECT_FALSE(epd.Update());  // records added, but no match completed
    EXPECT_EQ(epd.Count(), 2);
    addEvents({"c MATCH"});
    EXPECT_TRUE(epd.Update());
    EXPECT_EQ(entries(epd), (Entries{plain(1), plain(2), red(3)}));
}

TEST_F(Logs, ThreeLineMatchEntersTogetherAndFiresOnceForItsLastRecord) {
    addFilter({.mask = "AAA\\nBBB\\nCCC",
               .foreground = kRed,
               .sound = "s.wav",
               .picture = "p.bmp",
               .program = "prog",
               .parameters = "-t $$$"});
    fill(9);
    addEvents({"AAA 10", "BBB 11", "CCC 12", "x13"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    EXPECT_TRUE(upd.Update(true));
    Entries expected;
    for (int i = 1; i <= 9; ++i) expected.push_back(plain(i));
    expected.insert(expected.end(), {red(10), red(11), red(12), plain(13)});
    EXPECT_EQ(entries(upd), expected);
    EXPECT_EQ(actions.calls,
              (Calls{"sound s.wav", "picture p.bmp 12 CCC 12", "program prog [-t $$$] CCC 12"}));
    EXPECT_EQ(upd.sound(), "s.wav");
    EXPECT_EQ(upd.program(), "prog");
}

TEST_F(Logs, FailedAttemptResumesAtItsFirstRecordWithTheNextFilter) {
    addFilter({.mask = "AAA\\nBBB\\nCCC", .priority = 10, .foreground = kRed, .sound = "r.wav"});
    addFilter({.mask = "AAA", .priority = 5, .foreground = kGreen, .sound = "g.wav"});
    addEvents({"AAA", "AAA", "BBB", "CCC", "AAA", "BBB", "x", "BBB"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    EXPECT_TRUE(upd.Update(true));
    // 1: the three-line attempt fails at 2, so 1 goes to the next filter. 2-4 complete the
    // three-line filter. 5-6 fail at 7: 5 to the next filter; 6, 7 and 8 from the first filter again.
    EXPECT_EQ(entries(upd),
              (Entries{green(1), red(2), red(3), red(4), green(5), plain(6), plain(7), plain(8)}));
    EXPECT_EQ(actions.calls, (Calls{"sound g.wav", "sound r.wav", "sound g.wav"}));

    // In the extract with onlyMatching the unmatched records stay out.
    QUIETLOG epd(m);
    epd.SetOptions(true, false, 0, 0);
    EXPECT_TRUE(epd.Update());
    EXPECT_EQ(entries(epd), (Entries{green(1), red(2), red(3), red(4), green(5)}));
}

TEST_F(Logs, FailedAttemptWithoutAnotherFilter) {
    addFilter({.mask = "AAA\\nBBB", .foreground = kRed});
    addEvents({"AAA", "AAA", "BBB", "AAA"});
    FILTERMANAGER m;
    ALARMLOG upd(m);
    EXPECT_TRUE(upd.Update(false));
    // 1 fails at 2 and is settled in default colours; 2-3 match; 4 is pending at the end.
    EXPECT_EQ(entries(upd), (Entries{plain(1), red(2), red(3)}));
    EXPECT_EQ(upd.LastProcessed(), 4);
    addEvents({"zzz"});
    EXPECT_FALSE(upd.Update(false));
    EXPECT_EQ(entries(upd), (Entries{plain(1), red(2), red(3), plain(4), plain(5)}));
}

TEST_F(Logs, MultiLineMatchSpanningTwoPasses) {
    addFilter({.mask = "AAA\\nBBB\\nCCC", .foreground = kRed, .program = "p", .parameters = "$$$"});
    addFilter({.mask = "AAA", .priority = -1, .foreground = kGreen});
    addEvents({"x1", "AAA 2", "BBB 3"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    EXPECT_FALSE(upd.Update(true));
    EXPECT_EQ(entries(upd), (Entries{plain(1)}));  // 2 and 3 are pending
    EXPECT_EQ(upd.LastProcessed(), 3);
    EXPECT_FALSE(upd.Update(true));  // no new record: nothing happens
    addEvents({"CCC 4", "x5"});
    EXPECT_TRUE(upd.Update(true));
    EXPECT_EQ(entries(upd), (Entries{plain(1), red(2), red(3), red(4), plain(5)}));
    EXPECT_EQ(actions.calls, (Calls{"program p [$$$] CCC 4"}));

    // The same start, but the next pass brings a record that breaks the match: the first record
    // of the attempt goes to the next filter, the rest are evaluated anew.
    addEvents({"AAA 6", "BBB 7"});
    EXPECT_FALSE(upd.Update(true));
    addEvents({"BBB 8"});
    EXPECT_TRUE(upd.Update(true));
    EXPECT_EQ(entries(upd),
              (Entries{plain(1), red(2), red(3), red(4), plain(5), green(6), plain(7), plain(8)}));
    EXPECT_EQ(actions.calls.size(), 1u);  // the green filter has no actions
}

TEST_F(Logs, LaterLinesFollowTheMaskType) {
    addFilter({.mask = "VSTUP\\nodchod", .priority = 3, .type = kMaskPlain, .foreground = kRed});
    addFilter({.mask = "ZONA ?\\nODCHOD*", .priority = 2, .type = kMaskWildcard, .foreground = kGreen});
    addFilter({.mask = "^KARTA\\n^OK [0-9]+$", .priority = 1, .type = kMaskRegex, .foreground = kBlue});
    addEvents({"VSTUP", "ODCHOD", "ZONA 1", "xODCHOD 5", "KARTA 7", "OK 12", "KARTA 8", "OK 12!"});
    FILTERMANAGER m;
    QUIETLOG epd(m);
    epd.SetOptions(true, false, 0, 0);
    epd.Update();
    // Plain lines are case-sensitive substrings; wildcard lines are converted; regular expressions
    // keep their anchors.
    EXPECT_EQ(entries(epd), (Entries{green(3), green(4), {5, kBlue, kW}, {6, kBlue, kW}}));
}

TEST_F(Logs, HigherPriorityDecidesColoursAndActions) {
    addFilter({.mask = "ALARM", .priority = 1, .foreground = kRed, .sound = "low.wav"});
    addFilter({.mask = "ZONA", .priority = 5, .foreground = kBlue, .alarm = true, .sound = "high.wav"});
    addEvents({"ZONA 3 ALARM", "ALARM"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    EXPECT_TRUE(upd.Update(true));
    EXPECT_EQ(entries(upd), (Entries{{1, kBlue, kW}, red(2)}));
    EXPECT_EQ(actions.calls, (Calls{"front", "sound high.wav", "sound low.wav"}));
}

TEST_F(Logs, BatchFiresEachMatchOnceInTableOrderWithItsOwnRecord) {
    addFilter({.mask = "ALARM", .foreground = kRed, .program = "notify", .parameters = "-m \"$$$\""});
    addFilter({.mask = "PORUCHA",
               .foreground = kYellow,
               .alarm = true,
               .repeat = true,
               .sound = "loop.wav",
               .picture = "p.bmp"});
    addFilter({.mask = "EPD ONLY", .logs = kScopeEpd, .program = "never"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    addEvents({"ALARM 1", "x2", "PORUCHA 3", "ALARM 4", "EPD ONLY 5", "x6"});
    EXPECT_TRUE(upd.Update(true));
    // The event text is that of the record that matched, not the newest of the batch.
    EXPECT_EQ(actions.calls, (Calls{"program notify [-m \"$$$\"] ALARM 1", "front", "sound loop.wav repeat",
                                    "picture p.bmp 3 PORUCHA 3", "program notify [-m \"$$$\"] ALARM 4"}));
    EXPECT_TRUE(upd.bringToFront() == false && upd.program() == "notify");  // the last match's actions

    // Without actions (rebuilds, the hardware buffer) nothing fires.
    actions.calls.clear();
    upd.Reset();
    EXPECT_TRUE(upd.Update(false));
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(upd.Count(), 6);
}

TEST_F(Logs, ActionsComeFromTheMatchingFiltersCurrentRecord) {
    addFilter({.mask = "ZZZ", .program = "prog-z"});
    addFilter({.mask = "BBB", .sound = "b.wav"});
    addFilter({.mask = "AAA", .sound = "a.wav"});
    FILTERMANAGER m;
    RecordingActions actions;
    ALARMLOG upd(m);
    upd.setActions(&actions);
    // Changed without reloading the filters: a filter that sorts before the others is added, one
    // is moved to the extract only, one gets a new program.
    addFilter({.mask = "0-FIRST", .sound = "first.wav"});
    editFilter("BBB", [](TABFILTRY::Record& r) { r.Denik = kScopeEpd; });
    editFilter("ZZZ", [](TABFILTRY::Record& r) { std::strcpy(r.Program, "prog-new"); });
    addEvents({"AAA", "BBB", "ZZZ"});
    upd.Update(true);
    // BBB no longer has actions in the UPD: the earlier match's sound is not repeated.
    EXPECT_EQ(actions.calls, (Calls{"sound a.wav", "program prog-new [] ZZZ"}));
}

TEST_F(Logs, IncrementalPassesGiveTheSameLogAsOneRebuild) {
    addFilter({.mask = "A\\nB\\nC", .priority = 9, .foreground = kRed, .sound = "abc"});
    addFilter({.mask = "A\\nB", .priority = 8, .foreground = kGreen, .sound = "ab"});
    addFilter({.mask = "B\\nB", .priority = 7, .foreground = kBlue, .sound = "bb"});
    addFilter({.mask = "C", .priority = 6, .logs = kScopeEpd, .foreground = kYellow});
    addFilter({.mask = "A", .priority = 5, .foreground = 0x777777, .sound = "a"});
    std::mt19937 rng(11);
    std::vector<std::string> texts;
    for (int i = 0; i < 400; ++i) texts.push_back(std::string(1, "ABCD"[rng() % 4]) + std::to_string(i));
    FILTERMANAGER m;
    for (bool onlyMatching : {false, true}) {
        SCOPED_TRACE(onlyMatching);
        ASSERT_TRUE(TABHISTOR().create());
        RecordingActions incremental, whole;
        ALARMLOG a(m), b(m);
        QUIETLOG e(m), f(m);
        a.setActions(&incremental);
        b.setActions(&whole);
        for (auto* l : {static_cast<COLOREDLOG*>(&a), static_cast<COLOREDLOG*>(&b),
                        static_cast<COLOREDLOG*>(&e), static_cast<COLOREDLOG*>(&f)})
            l->SetOptions(onlyMatching, false, 0, 0);
        size_t pos = 0;
        while (pos < texts.size()) {
            size_t n = std::min<size_t>(rng() % 5, texts.size() - pos);
            addEvents(std::vector<std::string>(texts.begin() + static_cast<long>(pos),
                                               texts.begin() + static_cast<long>(pos + n)));
            pos += n;
            a.Update(true);
            e.Update();
        }
        b.Update(true);
        f.Update();
        EXPECT_EQ(entries(a), entries(b));
        EXPECT_EQ(entries(e), entries(f));
        EXPECT_EQ(incremental.calls, whole.calls);
        EXPECT_GT(whole.calls.size(), 20u);
        if (!onlyMatching) EXPECT_EQ(a.Count(), 400);
    }
}

TEST_F(Logs, OperatingLogSet) {
    addFilter({.mask = "ALARM", .logs = 3, .foreground = kRed, .sound = "s.wav"});
    addEvents({"ALARM 1", "x2"});
    {
        // Start-up defaults: the extract shows only matching records.
        OperatingLogSet logs;
        ASSERT_TRUE(logs.valid());
        EXPECT_TRUE(logs.epd().onlyMatching());
        EXPECT_FALSE(logs.epd().useWindow());
        EXPECT_FALSE(logs.upd().onlyMatching());
    }
    settings().writeNumber("EPD", "PouzeFiltrovane", 0);
    settings().writeNumber("EPD", "PouzitCasoveOkno", 1);
    settings().writeLong("EPD", "OdData", 100);
    settings().writeLong("EPD", "DoData", 200);
    RecordingActions actions;
    OperatingLogSet logs(&actions);
    EXPECT_FALSE(logs.epd().onlyMatching());
    EXPECT_TRUE(logs.epd().useWindow());
    EXPECT_EQ(logs.epd().fromDay(), 100);
    EXPECT_EQ(logs.epd().toDay(), 200);

    logs.rebuild();
    EXPECT_TRUE(actions.calls.empty());  // rebuilds fire nothing
    EXPECT_EQ(entries(logs.upd()), (Entries{red(1), plain(2)}));
    EXPECT_EQ(entries(logs.epd()), (Entries{red(1), plain(2)}));
    EXPECT_EQ(logs.lastProcessed(), 2);

    addEvents({"x3"});
    EXPECT_FALSE(logs.update(true));  // the extract took no match
    addEvents({"ALARM 4"});
    EXPECT_TRUE(logs.update(true));
    EXPECT_EQ(actions.calls, (Calls{"sound s.wav"}));
    EXPECT_EQ(logs.lastProcessed(), 4);
    EXPECT_EQ(logs.epd().LastProcessed(), 4);

    // The filter moves to the extract only: reload and rebuild the UPD log.
    editFilter("ALARM", [](TABFILTRY::Record& r) { r.Denik = kScopeEpd; });
    logs.filtersChanged(true, false);
    EXPECT_EQ(entries(logs.upd()), (Entries{plain(1), plain(2), plain(3), plain(4)}));
    EXPECT_EQ(entries(logs.epd()), (Entries{red(1), plain(2), plain(3), red(4)}));

    logs.clear();
    EXPECT_EQ(logs.upd().Count(), 0);
    EXPECT_EQ(logs.epd().Count(), 0);
    EXPECT_EQ(logs.lastProcessed(), 0);

    std::filesystem::remove(priv + "/FILTRY.DB");
    OperatingLogSet broken;
    EXPECT_FALSE(broken.valid());
}

TEST_F(Logs, CollectorStartsTheFiltersProgramWithTheEventAsOneArgument) {
    test::ChangeDir cd(dir.path());
    addFilter({.mask = "POPLACH", .program = ARGV_DUMP, .parameters = "out.bin --text $$$ --end"});
    std::string text = "POPLACH ; rm -rf ~ $(touch pwned) `touch pwned2` \"quoted\"";
    addEvents({"x1", text, "x3"});
    FILTERMANAGER m;
    logs::HeadlessAlarmActions headless;
    ALARMLOG upd(m);
    upd.setActions(&headless);
    upd.Update(true);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists("out.bin") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream in("out.bin", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, std::string("--text\0", 7) + text + std::string("\0--end\0", 7));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists("pwned2"));
}
