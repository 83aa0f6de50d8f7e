// The management of the connected stations, and a station disconnected by it ending at its next
// minute check.
#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "gui/operators/login_dialogs.h"
#include "gui/operators/station_fixture.h"
#include "gui/stations/stations_dialog.h"
#include "platform/app_error.h"
#include "service/initialization.h"
#include "stations/registry.h"

using namespace vrx;
using namespace vrx::test;

namespace {

struct EndObserver : app::OperationObserver {
    int ends = 0;
    void endRequested() override { ++ends; }
};

}  // namespace

class StationsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init() {
        env = std::make_unique<StationEnvironment>();
        station = std::make_unique<TestStation>();
        station->app.runMode = app::RunMode::Collection;
        station->rights = operators::fullRights();
    }
    void cleanup() {
        station.reset();
        env.reset();
    }

    void disconnectedStationEndsAtItsNextCheck();
    void listDisconnectAndSelection();
    void searchWraps();
    void disconnectNeedsTheWriteRight();
    void refusalsOfTheCommand();

  private:
    std::unique_ptr<StationEnvironment> env;
    std::unique_ptr<TestStation> station;
};

void StationsTest::disconnectedStationEndsAtItsNextCheck() {
    service::initializeTables({service::InitTable::Histor}, nullptr);
    env->makeOperators({{"Novák", "a"}});
    // Station B: runs, and its operator logs in through the login dialog.
    TestStation b;
    b.app.computerName = "STANICE-B";
    b.app.runMode = app::RunMode::Viewing;
    EndObserver observer;
    b.op.setObserver(&observer);
    QVERIFY(b.op.start());
    {
        gui::LoginDialog login(b, gui::LoginDialog::Mode::Login);
        login.show();
        type(&login, "name", "Novák");
        type(&login, "password", "a");
        click(&login, "yes");
    }
    QVERIFY(b.app.loggedIn);
    b.op.onTimer(app::kTimerStationCheck);
    QCOMPARE(observer.ends, 0);

    // The administrator at station A disconnects it.
    QVERIFY(stations::registerStation("admin", "STANICE-A"));
    gui::StationsDialog admin(*station);
    admin.show();
    auto* list = child<QListWidget>(&admin, "list");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QString::fromUtf8("Novák").leftJustified(20) + " STANICE-B");
    list->setCurrentRow(0);
    env->messages.answers = {true};
    click(&admin, "disconnect");
    QCOMPARE(env->messages.asked, std::vector<std::string>{"Odpojit uživatele ?"});
    QCOMPARE(env->registry(), std::vector<std::string>{"admin@STANICE-A"});

    b.op.onTimer(app::kTimerStationCheck);
    QCOMPARE(observer.ends, 1);
    QCOMPARE(env->messages.last(), std::string("Informace|Stanice odpojena správcem systému"));
    QVERIFY(!b.timerSet.isActive(app::kTimerStationCheck));
    QVERIFY(!b.timerSet.isActive(app::kTimerRefresh));
}

void StationsTest::listDisconnectAndSelection() {
    for (const char* s : {"A", "B", "C"}) QVERIFY(stations::registerStation(std::string("op") + s, s));
    gui::StationsDialog d(*station);
    QVERIFY(d.tableOpen());
    d.show();
    auto* list = child<QListWidget>(&d, "list");
    auto* count = child<QLabel>(&d, "count");
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(count->text(), QString("3"));

    list->setCurrentRow(2);
    click(&d, "disconnect");  // Cancel
    QCOMPARE(list->count(), 3);
    env->messages.answers = {true};
    click(&d, "disconnect");  // the last line: the new last line is selected
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(count->text(), QString("2"));

    // A station that has already ended: its stale record simply goes.
    list->setCurrentRow(0);
    env->messages.answers = {true};
    doubleClick(list, 0);
    QCOMPARE(env->registry(), std::vector<std::string>{"opB@B"});
    QCOMPARE(list->currentRow(), 0);

    list->clearSelection();
    list->setCurrentRow(-1);
    const int beeps = env->messages.beeps;
    click(&d, "disconnect");
    QCOMPARE(env->messages.beeps, beeps + 1);
    QCOMPARE(list->count(), 1);
}

void StationsTest::searchWraps() {
    QVERIFY(stations::registerStation("Novák", "A"));
    QVERIFY(stations::registerStation("Svoboda", "B"));
    gui::StationsDialog d(*station);
    d.show();
    auto* list = child<QListWidget>(&d, "list");
    type(&d, "searchText", "nov");
    click(&d, "search");  // from the line after the selection: not found below, Cancel
    QCOMPARE(env->messages.asked.size(), size_t(1));
    QCOMPARE(list->currentRow(), 0);
    env->messages.answers = {true};
    click(&d, "search");
    QCOMPARE(list->currentRow(), 0);
    type(&d, "searchText", " b");
    click(&d, "search");
    QCOMPARE(list->currentRow(), 1);
}

void StationsTest::disconnectNeedsTheWriteRight() {
    QVERIFY(stations::registerStation("x", "A"));
    station->rights[operators::kRightStations] = operators::kRightRead;
    gui::StationsDialog d(*station);
    d.show();
    auto* list = child<QListWidget>(&d, "list");
    QVERIFY(!child<QPushButton>(&d, "disconnect")->isEnabled());
    doubleClick(list, 0);
    QVERIFY(env->messages.asked.empty());
    QCOMPARE(env->registry().size(), size_t(1));
}

void StationsTest::refusalsOfTheCommand() {
    station->app.runMode = app::RunMode::Viewing;
    gui::runStationsCommand(nullptr, *station);
    QCOMPARE(env->messages.shown,
             std::vector<std::string>{"Informace|Funkce není k dispozici\nv režimu prohlížeč"});

    station->app.runMode = app::RunMode::Collection;
    env->messages.shown.clear();
    QDir(QString::fromStdString(env->shared)).removeRecursively();
    bool raised = false;
    try {
        gui::runStationsCommand(nullptr, *station);
    } catch (const AppError& e) {
        raised = e.message == 26;
    }
    QVERIFY(raised);
}

QTEST_MAIN(StationsTest)
#include "tst_stations.moc"
