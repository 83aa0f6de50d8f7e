// Start-up checks, intake, refresh, the station check and the end of operation, with a scripted
// panel in place of the serial port.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/aplikace.h"
#include "app/operation.h"
#include "core/db/dbfixture.h"
#include "core/devices/device_testutil.h"
#include "db/tables.h"
#include "platform/messages.h"
#include "service/initialization.h"
#include "text/cz.h"
#include "text/dates.h"

using namespace vrx;
using namespace vrx::app;

namespace {

struct FakeTimers : Timers {
    std::map<int, int> active;
    void startTimer(int id, int ms) override { active[id] = ms; }
    void stopTimer(int id) override { active.erase(id); }
    bool isActive(int id) const override { return active.count(id) != 0; }
};

struct RecordingMessages : platform::Messages {
    std::vector<std::string> shown;
    void show(std::string_view caption, std::string_view text, platform::Icon) override {
        shown.push_back(std::string(caption) + "|" + std::string(text));
    }
    bool ask(std::string_view, std::string_view) override { return false; }
    void beep() override {}
};

struct CountingLogs : OperatingLogs {
    long processed = 0;
    int rebuilds = 0, updates = 0;
    std::vector<bool> actionFlags;
    TABHISTOR* table = nullptr;
    void rebuild() override {
        ++rebuilds;
        processed = last();
    }
    long lastProcessed() const override { return processed; }
    bool update(bool actions) override {
        ++updates;
        actionFlags.push_back(actions);
        processed = last();
        return true;
    }
    void clear() override { processed = 0; }
    long last() const {
        TABHISTOR h;
        return h.open(0, 0, 0) && h.last() && h.recordCount() > 0 ? h.rec.Cislo : 0;
    }
};

class OperationTest : public test::DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        platform::setMessages(&messages);
        service::initializeTables({service::InitTable::Histor, service::InitTable::Filtry,
                                   service::InitTable::Audit},
                                  nullptr);
        settings().writeString("ADRESARE", "Multimedia", dir.path());
        settings().writeNumber("USTREDNA", "Ustredna", 19);  // "MHU 109": the general decoder
        // The panel's port is a script; the reader is kept so the test can feed it.
        app.deviceSources.lineReader = [this](bool) {
            auto r = std::make_unique<test::ScriptedReader>();
            reader = r.get();
            return r;
        };
        app.runMode = RunMode::Collection;
    }
    void TearDown() override {
        platform::setMessages(nullptr);
        DbFixture::TearDown();
    }
    std::vector<std::string> historTexts() {
        TABHISTOR h;
        std::vector<std::string> out;
        if (!h.open(0, 0, 0)) return out;
        int expected = 1;
        for (h.first(); !h.eof(); h.next(), ++expected) {
            EXPECT_EQ(h.rec.Cislo, expected);
            out.push_back(h.rec.Retezec);
        }
        return out;
    }

    RecordingMessages messages;
    FakeTimers timers;
    APLIKACE app;
    test::ScriptedReader* reader = nullptr;
};

}  // namespace

TEST_F(OperationTest, MissingDirectoriesAreEachReportedAndCollectionDoesNotStart) {
    settings().writeString("ADRESARE", "SpolTabulky", "");
    settings().writeString("ADRESARE", "PrivTabulky", dir.path() + "/nic");
    settings().writeString("ADRESARE", "Multimedia", "");
    app.initialize();
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Chyba|Chybí adresář společných tabulek."_cz,
                                                        "Chyba|V privátním adresáři chybí tabulka FILTRY."_cz,
                                                        "Chyba|Chybí adresář zvuků a obrázků."_cz}));
    EXPECT_FALSE(app.runConditionsHold());
    Operation op(app, timers);
    EXPECT_FALSE(op.startByCommand());
    EXPECT_EQ(messages.shown.back(), "Chyba|Nejsou splněny podmínky pro běh programu"_cz);
}

TEST_F(OperationTest, NoPortSettingsStillStartsWithoutIntakeTimer) {
    app.initialize();  // "Buffer" and "Online" are 0: the decoder exists, no port is opened
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(app.runConditionsHold());
    ASSERT_TRUE(app.device);
    Operation op(app, timers);
    ASSERT_TRUE(op.start());
    EXPECT_TRUE(app.running);
    EXPECT_FALSE(timers.isActive(kTimerIntake));
    EXPECT_TRUE(timers.isActive(kTimerStationCheck));
    EXPECT_TRUE(timers.isActive(kTimerBackup));
    EXPECT_FALSE(timers.isActive(kTimerRefresh));
    EXPECT_EQ(op.nextRecordNumber(), 1);
    EXPECT_FALSE(op.startByCommand());  // running already: nothing happens
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OperationTest, ElevenEventsAreStoredAsTenThenOne) {
    app.initialize();
    reader->open("COM1", 9600, 8, 0, 0, 0, 0, false, false);
    CountingLogs logs;
    Operation op(app, timers);
    op.setLogs(&logs);
    ASSERT_TRUE(op.start());
    EXPECT_EQ(logs.rebuilds, 1);
    EXPECT_EQ(timers.active[kTimerIntake], 200);
    for (int i = 1; i <= 11; ++i) reader->feed("  ALARM ZONA " + std::to_string(i) + "\r\n");
    op.onTimer(kTimerIntake);
    EXPECT_EQ(historTexts().size(), 10u);
    EXPECT_EQ(logs.updates, 1);
    EXPECT_TRUE(timers.isActive(kTimerRefresh));  // re-armed after every refresh
    op.onTimer(kTimerIntake);
    auto texts = historTexts();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0], "ALARM ZONA 1");
    EXPECT_EQ(texts[10], "ALARM ZONA 11");
    EXPECT_EQ(logs.actionFlags, (std::vector<bool>{true, true}));
    op.onTimer(kTimerIntake);  // nothing new: no refresh
    EXPECT_EQ(logs.updates, 2);
    TABHISTOR h;
    ASSERT_TRUE(h.open(0, 0, 0) && h.findEntry(11));
    EXPECT_EQ(h.rec.Datum, text::today());
}

TEST_F(OperationTest, EventsWaitWhenTheStoreFailsAndAreStoredLaterInOrder) {
    app.initialize();
    reader->open("COM1", 9600, 8, 0, 0, 0, 0, false, false);
    Operation op(app, timers);
    ASSERT_TRUE(op.start());
    reader->feed("A1\nA2\n");
    op.intake(true);
    ASSERT_EQ(historTexts().size(), 2u);
    // Another writer takes the next number behind the station's back.
    {
        TABHISTOR other;
        ASSERT_TRUE(other.open(0, 1, 0));
        other.clearRecord();
        other.rec.Cislo = 3;
        setText(other.rec.Retezec, "CIZI");
        ASSERT_TRUE(other.save(1));
    }
    reader->feed("B1\nB2\nB3\n");
    op.intake(true);  // number 3 is taken: the batch waits
    EXPECT_EQ(op.waitingEvents(), 3u);
    EXPECT_EQ(messages.shown.size(), 1u);
    reader->feed("C1\n");
    op.intake(true);  // stored after the foreign record, in order
    EXPECT_EQ(op.waitingEvents(), 0u);
    EXPECT_EQ(historTexts(), (std::vector<std::string>{"A1", "A2", "CIZI", "B1", "B2", "B3", "C1"}));
    EXPECT_EQ(messages.shown.size(), 1u);  // reported once
    EXPECT_EQ(op.nextRecordNumber(), 8);
}

TEST_F(OperationTest, ViewingStationRefreshesWhatACollectorWrote) {
    app.runMode = RunMode::Viewing;
    app.initialize();
    EXPECT_FALSE(app.device);
    CountingLogs logs;
    Operation op(app, timers);
    op.setLogs(&logs);
    ASSERT_TRUE(op.start());
    EXPECT_EQ(timers.active[kTimerRefresh], 5000);
    EXPECT_FALSE(op.addRecord(text::today(), "READ-ONLY", true));  // the log is read-only here
    {
        TABHISTOR w;
        ASSERT_TRUE(w.open(0, 1, 0));
        w.clearRecord();
        w.rec.Cislo = 1;
        ASSERT_TRUE(w.save(1));
    }
    op.onTimer(kTimerRefresh);
    EXPECT_EQ(logs.updates, 1);
    op.onTimer(kTimerRefresh);
    EXPECT_EQ(logs.updates, 1);
    EXPECT_TRUE(timers.isActive(kTimerRefresh));
}

TEST_F(OperationTest, StationCheckAndStopKeepTheRegistry) {
    struct Observer : OperationObserver {
        int ends = 0;
        void endRequested() override { ++ends; }
    } observer;
    app.initialize();
    Operation op(app, timers);
    op.setObserver(&observer);
    ASSERT_TRUE(op.start());
    op.stationCheck();  // nobody logged in: nothing to check
    EXPECT_EQ(observer.ends, 0);

    app.loggedIn = true;
    TABLOGIN& reg = *op.registryTable();
    reg.clearRecord();
    setText(reg.rec.P1, "novak");
    setText(reg.rec.P2, app.computerName);
    reg.rec.flag1 = true;
    ASSERT_TRUE(reg.save(1));
    op.stationCheck();
    EXPECT_EQ(observer.ends, 0);

    // The administrator disconnects the station from another machine.
    {
        TABLOGIN other;
        ASSERT_TRUE(other.open(0, 1, 0));
        ASSERT_TRUE(other.findStation(app.computerName.c_str()));
        ASSERT_TRUE(other.deleteCurrent());
    }
    op.stationCheck();
    EXPECT_EQ(observer.ends, 1);
    EXPECT_EQ(messages.shown.back(), "Informace|Stanice odpojena správcem systému"_cz);
    EXPECT_FALSE(timers.isActive(kTimerStationCheck));

    // Stopping removes this station's record when an operator is logged in.
    ASSERT_TRUE(reg.save(1));
    op.stop();
    TABLOGIN check;
    ASSERT_TRUE(check.open(0, 0, 0));
    EXPECT_FALSE(check.findStation(app.computerName.c_str()));
    EXPECT_FALSE(app.running);
    EXPECT_TRUE(timers.active.empty());
}

TEST(RunMode, FirstLetterDecides) {
    test::TempDir dir;
    setSettingsPath(dir.file("VORAX.INI"));
    struct {
        const char* value;
        RunMode mode;
    } cases[] = {{"PROHLIZEC", RunMode::Viewing}, {"prohlizec", RunMode::Viewing}, {"SBERAC", RunMode::Collection},
                 {"", RunMode::Collection},       {"x", RunMode::Collection}};
    EXPECT_EQ(APLIKACE::readRunMode(), RunMode::Collection);  // no file
    for (auto c : cases) {
        settings().writeString("SYSTEM", "Rezim", c.value);
        EXPECT_EQ(APLIKACE::readRunMode(), c.mode) << c.value;
    }
    setSettingsFile("VORAX.INI");
    EXPECT_STREQ(APLIKACE::runModeName(RunMode::Viewing), "PROHLÍŽEČ"_cz);
    EXPECT_LE(APLIKACE::readComputerName().size(), 15u);
}
