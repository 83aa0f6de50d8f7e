// The station registry: registration, removal and the management list, and a
// station disconnected by an administrator ending at its next check.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/aplikace.h"
#include "app/operation.h"
#include "core/operators/login_fixture.h"
#include "service/initialization.h"
#include "stations/registry.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::stations;

namespace {

class Registry : public test::LoginFixture {
  protected:
    std::string line(const std::string& op, const std::string& st) {
        std::string s = op;
        s.resize(20, ' ');
        return s + " " + st;
    }
};

struct FakeTimers : app::Timers {
    std::map<int, int> active;
    void startTimer(int id, int ms) override { active[id] = ms; }
    void stopTimer(int id) override { active.erase(id); }
    bool isActive(int id) const override { return active.count(id) != 0; }
};

struct EndObserver : app::OperationObserver {
    int ends = 0;
    void endRequested() override { ++ends; }
};

}  // namespace

TEST_F(Registry, RegisterReplacesAndUnregisterRemovesOnlyThisStation) {
    ASSERT_TRUE(registerStation("Novak"_cz, "A"));
    ASSERT_TRUE(registerStation("Svoboda", "B"));
    {
        // A stale second record of station A, as a station that ended abnormally may leave.
        TABLOGIN l;
        ASSERT_TRUE(l.open(0, 1, 0));
        l.clearRecord();
        setText(l.rec.P1, "Stary");
        setText(l.rec.P2, "A");
        ASSERT_TRUE(l.save(1));
    }
    ASSERT_TRUE(registerStation("Dvorak"_cz, "A"));
    EXPECT_EQ(registry(), (std::vector<std::string>{"Svoboda@B", "Dvorak@A"_cz}));
    EXPECT_TRUE(unregisterStation("A"));
    EXPECT_TRUE(unregisterStation("C"));  // no record: nothing to do
    EXPECT_EQ(registry(), std::vector<std::string>{"Svoboda@B"});

    TABLOGIN l;
    ASSERT_TRUE(l.open(0, 0, 0));
    ASSERT_TRUE(l.findStation("B"));
    EXPECT_FALSE(l.rec.flag1);
    EXPECT_FALSE(l.rec.flag2);
}

TEST_F(Registry, NamesAreKeptWhole) {
    const std::string stationName(kStationNameChars, 'S');
    const std::string op(19, 'o');
    ASSERT_TRUE(registerStation(op, stationName));
    TABLOGIN l;
    ASSERT_TRUE(l.open(0, 0, 0));
    ASSERT_TRUE(l.findStation(stationName.c_str()));
    EXPECT_EQ(std::string(l.rec.P1), op);
    EXPECT_LE(app::APLIKACE::readComputerName().size(), kStationNameChars);
}

TEST_F(Registry, ManagementListAndDisconnect) {
    registerStation("Novak"_cz, "A");
    registerStation("Svoboda", "B");
    registerStation("Dvorak"_cz, "C");
    StationList list;
    ASSERT_TRUE(list.open());
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.lines(), (std::vector<std::string>{line("Novak"_cz, "A"), line("Svoboda", "B"),
                                                      line("Dvorak"_cz, "C")}));
    EXPECT_TRUE(list.disconnect(1));
    EXPECT_FALSE(list.disconnect(2));
    EXPECT_EQ(list.lines(), (std::vector<std::string>{line("Novak"_cz, "A"), line("Dvorak"_cz, "C")}));
    EXPECT_EQ(registry(), (std::vector<std::string>{"Novak@A"_cz, "Dvorak@C"_cz}));
}

TEST_F(Registry, DisconnectedStationEndsAtItsNextCheck) {
    service::initializeTables({service::InitTable::Histor}, nullptr);
    FakeTimers timers;
    EndObserver observer;
    app::APLIKACE a;
    a.runMode = app::RunMode::Viewing;
    a.computerName = "A";
    app::Operation op(a, timers);
    op.setObserver(&observer);
    ASSERT_TRUE(op.start());
    registerStation("Novak"_cz, "A");
    a.loggedIn = true;
    a.operatorName = "Novak"_cz;
    op.onTimer(app::kTimerStationCheck);
    EXPECT_EQ(observer.ends, 0);

    StationList admin;  // the administrator at another station
    ASSERT_TRUE(admin.open());
    ASSERT_TRUE(admin.disconnect(0));
    op.onTimer(app::kTimerStationCheck);
    EXPECT_EQ(observer.ends, 1);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Informace|Stanice odpojena správcem systému"_cz});
    EXPECT_FALSE(timers.isActive(app::kTimerStationCheck));
    EXPECT_FALSE(timers.isActive(app::kTimerRefresh));
}
