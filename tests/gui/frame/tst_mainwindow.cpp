// The main window offscreen: caption, menu, toolbar and status bar; the rights applied to menu
// items, toolbar buttons, program buttons and the window; the refusals and the error trap of the
// dispatcher; start, pause and the log windows; the end through "Konec" and the close box.
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QtTest>
#include <set>

#include "app/menu.h"
#include "app/strings.h"
#include "gui/alarms/alarms.h"
#include "gui/frame/frame_fixture.h"
#include "gui/frame/hlavniokno.h"
#include "gui/frame/log_windows.h"
#include "gui/frame/qt_timers.h"
#include "gui/frame/qtext.h"
#include "gui/frame/statbar.h"
#include "gui/frame/station.h"
#include "gui/frame/toolbar.h"
#include "gui/frame/workplace.h"
#include "operators/rights.h"
#include "text/cz.h"
#include "text/strutil.h"

using namespace vrx;
using namespace vrx::gui;

namespace {

struct SilentPlayer : SoundPlayer {
    std::vector<std::string> played;
    int stops = 0;
    void play(const std::string& path, bool loop) override { played.push_back(path + (loop ? " loop" : "")); }
    void stop() override { ++stops; }
};

// The commands the frame carries out itself (the others wait for their dialogs).
const std::set<int> kBuiltIn = {20105, 20114, 20115, 20127, 20128, 20129,
                                20141, 20142, 20143, 20145, 20146, 20147};

const std::vector<int> kToolbar = {20101, 20106, 20111, 20107, 20104, 20125, 20113, 20128, 20122,
                                   20109, 20108, 20117, 20116, 20143, 20141, 20142, 20147};

// One main window on a station directory, built as the start-up builds it.
struct Frame {
    explicit Frame(app::RunMode mode = app::RunMode::Collection) {
        settings().writeString("SYSTEM", "Rezim", mode == app::RunMode::Viewing ? "PROHLIZEC" : "SBERAC");
        app.runMode = app::APLIKACE::readRunMode();
        window = std::make_unique<HLAVNIOKNO>(app, station, sound);
        window->createWorkplace();
        window->createProgramButtons();
        window->resize(1000, 700);
        window->show();
    }
    ~Frame() {
        window.reset();
        station.releaseLogs();
    }
    bool menuEnabled(int number) { return window->menuAction(number)->isEnabled(); }
    bool buttonEnabled(int number) { return window->toolbarPart()->buttonEnabled(number); }

    test::StationDir dir;
    app::APLIKACE app;
    Station station;
    SilentPlayer sound;
    std::unique_ptr<HLAVNIOKNO> window;
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void captionMenuToolbarStatusBar();
    void defaultRightsGreyTheirCommands();
    void serviceRightsEnableWhatExists();
    void operatorRights();
    void windowRights();
    void refusalsAndErrorTrap();
    void startPauseAndLogWindows();
    void viewingStationFollowsTheLog();
    void konecAndCloseBox();
    void statusBarClockAndReceiveIndicator();
    void programButtons();
    void endRemovesTheStationRecord();
};

void TestMainWindow::captionMenuToolbarStatusBar() {
    Frame f;
    const std::string caption =
        text::format("Terminál pro: %s   Režim: %s   "_cz, f.app.panels.chosenName(), "SBĚRAČ"_cz);
    QCOMPARE(f.window->windowTitle(), qs(caption));
    QVERIFY(f.window->windowTitle().endsWith(QStringLiteral("Režim: SBĚRAČ   ")));

    // Every command 20101 to 20147 has its menu item, by its number.
    for (int c = app::kFirstCommand; c <= app::kLastMenuCommand; ++c) {
        QAction* a = f.window->findChild<QAction*>(QString::number(c));
        QVERIFY2(a, qPrintable(QString::number(c)));
        QCOMPARE(a->text(), qs(app::menuLabel(*app::commandInfo(c))));
    }
    QCOMPARE(f.window->menuAction(20128)->shortcut(), QKeySequence(Qt::Key_F4));
    QCOMPARE(f.window->menuAction(20147)->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(f.window->menuAction(20117)->shortcut(), QKeySequence(Qt::Key_F9));

    // 17 toolbar buttons with their tooltips, and the three program buttons.
    for (int c : kToolbar) {
        auto* b = f.window->toolbarPart()->findChild<QToolButton*>(QString::number(c));
        QVERIFY2(b, qPrintable(QString::number(c)));
        QCOMPARE(b->toolTip(), qs(app::stringTable(c)));
    }
    QCOMPARE(f.window->toolbarPart()->findChildren<QToolButton*>(QRegularExpression("^201\\d\\d$")).size(),
             17);
    for (int n = 1; n <= 3; ++n) {
        QPushButton* b = f.window->programButtons()->button(n);
        QVERIFY(b);
        QCOMPARE(b->text(), QStringLiteral("Tlačítko %1").arg(n));
        QVERIFY(!b->isEnabled());
    }
    for (const char* part : {"301.0", "301.1", "301.2"}) QVERIFY(f.window->findChild<QWidget*>(part));

    // The menu hint follows the item under the mouse and is emptied when the menu closes.
    QMenu* logs = f.window->menuAction(20128)->associatedObjects().isEmpty()
                      ? nullptr
                      : qobject_cast<QMenu*>(f.window->menuAction(20128)->associatedObjects().first());
    QVERIFY(logs);
    QMetaObject::invokeMethod(logs, "hovered", Q_ARG(QAction*, f.window->menuAction(20128)));
    QCOMPARE(f.window->statusBarPart()->hint(), qs("Zobrazení extraktu provozního deníku"_cz));
    QMetaObject::invokeMethod(logs, "aboutToHide");
    QCOMPARE(f.window->statusBarPart()->hint(), QString());
}

void TestMainWindow::defaultRightsGreyTheirCommands() {
    Frame f;
    for (int c = app::kFirstCommand; c <= app::kLastMenuCommand; ++c) {
        // Nobody logged in: only group 1 may run, and only what exists.
        const bool expected = app::MENU::groupOf(c) == 1 && kBuiltIn.count(c);
        QVERIFY2(f.menuEnabled(c) == expected, qPrintable(QString::number(c)));
    }
    for (int c : kToolbar) QVERIFY2(f.buttonEnabled(c) == (c == 20147), qPrintable(QString::number(c)));

    // A dialog that arrives enables its command as the rights allow.
    int logins = 0;
    f.window->setDialog(20101, [&](HLAVNIOKNO&) { ++logins; });
    QVERIFY(f.menuEnabled(20101));
    QVERIFY(f.buttonEnabled(20101));
    f.window->setDialog(20104, [](HLAVNIOKNO&) {});
    QVERIFY(!f.menuEnabled(20104));  // group 3: "Žádné"
    QVERIFY(!f.buttonEnabled(20104));
    f.window->menuAction(20101)->trigger();
    QCOMPARE(logins, 1);
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_F2);
    QCOMPARE(logins, 2);
    // The key works from a window of the workplace as well.
    f.window->command(20146);
    QVERIFY(f.window->aboutWindow());
    QTest::keyClick(f.window->aboutWindow(), Qt::Key_F2);
    QCOMPARE(logins, 3);
}

void TestMainWindow::serviceRightsEnableWhatExists() {
    Frame f;
    app::menu().applyService();
    for (int c = app::kFirstCommand; c <= app::kLastMenuCommand; ++c) {
        QVERIFY2(f.menuEnabled(c) == (kBuiltIn.count(c) > 0), qPrintable(QString::number(c)));
    }
    for (int c : {20128, 20141, 20142, 20143, 20147})
        QVERIFY2(f.buttonEnabled(c), qPrintable(QString::number(c)));
    for (int c : {20101, 20106, 20109, 20117}) QVERIFY2(!f.buttonEnabled(c), qPrintable(QString::number(c)));
    for (int n = 1; n <= 3; ++n) QVERIFY(f.window->programButtons()->button(n)->isEnabled());
    QVERIFY(!f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!f.window->resizeLocked());

    // A greyed command does nothing even when it reaches the dispatcher.
    f.dir.messages.clear();
    f.window->command(20106);
    f.window->command(20124);
    QVERIFY(f.dir.messages.shown.empty());
    QCOMPARE(f.dir.messages.beeps, 0);

    // Logout applies the defaults again.
    app::menu().applyDefaults();
    QVERIFY(!f.menuEnabled(20128));
    QVERIFY(!f.buttonEnabled(20143));
}

void TestMainWindow::operatorRights() {
    Frame f;
    operators::Rights rights = operators::loggedOutRights();
    rights[20128 - 20101] = operators::kRightYes;
    rights[20129 - 20101] = operators::kRightNo;
    rights[20141 - 20101] = operators::kRightYes;
    rights[20149 - 20101] = operators::kRightYes;
    f.window->applyRights(rights);
    QVERIFY(f.menuEnabled(20128));
    QVERIFY(f.buttonEnabled(20128));
    QVERIFY(!f.menuEnabled(20129));
    QVERIFY(!f.menuEnabled(20143));
    QVERIFY(!f.buttonEnabled(20143));
    QCOMPARE(f.window->rightValue(20128 - 20101), static_cast<unsigned char>(operators::kRightYes));
    QVERIFY(!f.window->programButtons()->button(1)->isEnabled());
    QVERIFY(f.window->programButtons()->button(2)->isEnabled());
    // The rights enabled the alarm button; with no picture pending the login disables it again.
    QVERIFY(f.buttonEnabled(20141));
    f.window->rightsAppliedAtLogin();
    QVERIFY(!f.buttonEnabled(20141));
    QVERIFY(f.menuEnabled(20141));
}

void TestMainWindow::windowRights() {
    Frame f;
    // Nobody logged in: 20151 and 20152 are "Ne": maximized, not minimizable, above other windows.
    QVERIFY(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(f.window->resizeLocked());
    QVERIFY(!f.window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QTRY_VERIFY(f.window->isMaximized());
    f.window->showMinimized();
    QTRY_VERIFY(f.window->isMaximized());
    f.window->showNormal();
    QTRY_VERIFY(f.window->isMaximized());

    app::menu().applyCommand(20151, app::kRightYes);
    app::menu().applyCommand(20152, app::kRightYes);
    QVERIFY(!f.window->resizeLocked());
    QVERIFY(f.window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    f.window->showNormal();
    QTRY_VERIFY(!f.window->isMaximized());
}

void TestMainWindow::refusalsAndErrorTrap() {
    {
        Frame f(app::RunMode::Viewing);
        auto& m = f.dir.messages;
        int opened = 0;
        for (int c : {20117, 20111, 20102}) f.window->setDialog(c, [&](HLAVNIOKNO&) { ++opened; });
        m.clear();
        f.window->command(20117);  // backup of the full operating log in viewing mode
        QCOMPARE(m.last(), std::string("Informace|Funkce není k dispozici\nv režimu prohlížeč"));
        QCOMPARE(m.beeps, 1);
        f.window->command(20127);
        QCOMPARE(m.last(), std::string("Chyba|Nejsou splněny podmínky pro běh programu."));
        f.window->command(20145);  // "Start" without the run conditions
        QCOMPARE(m.last(), std::string("Chyba|Nejsou splněny podmínky pro běh programu"));
        QVERIFY(!f.app.running);
        f.window->command(20111);
        QCOMPARE(m.last(), std::string("Chyba|Nejsou splneny podmínky pro beh programu"));
        m.clear();
        f.window->command(20102);  // logout with nobody logged in: a beep
        QCOMPARE(m.beeps, 1);
        QVERIFY(m.shown.empty());
        QCOMPARE(opened, 0);       // no refused command opened its dialog
        f.window->command(20116);  // no dialog: nothing at all
        QCOMPARE(m.beeps, 1);
    }
    {
        Frame f;
        auto& m = f.dir.messages;
        // Paused: the extract, audit and archive commands do nothing.
        f.window->command(20143);
        QVERIFY(f.window->paused());
        m.clear();
        f.window->command(20128);
        f.window->command(20129);
        f.window->command(20114);
        QVERIFY(!f.window->logWindows().extract());
        QVERIFY(!f.window->logWindows().audit());
        QVERIFY(m.shown.empty());
        f.window->command(20143);
        QVERIFY(!f.window->paused());

        // The archive commands open the chosen file; one that cannot be opened is reported.
        const std::string archive = f.dir.dir.path() + "/zal";
        std::filesystem::create_directories(archive);
        {
            TABHISTOR h;
            QVERIFY(h.open(0, 0, 0));
            QVERIFY(h.copyToDirectory(archive, "01020304"));
        }
        settings().writeString("ADRESARE", "ZalohaHist", archive);
        QString chosen = QString::fromStdString(archive + "/01020304.DB");
        QString startedIn;
        f.window->setArchiveChooser([&](bool, const QString& start) {
            startedIn = start;
            return chosen;
        });
        f.window->command(20114);
        QCOMPARE(startedIn, QString::fromStdString(archive));
        QPointer<ARCHIVUPDOKNO> first = f.window->logWindows().fullLogArchive();
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("Archív historie od 02.01 do 04.03."));
        f.window->command(20114);  // a second archive window replaces the first
        QVERIFY(!first);
        QVERIFY(f.window->logWindows().fullLogArchive());
        chosen = QString::fromStdString(archive + "/chybi.DB");
        f.window->command(20114);
        QCOMPARE(m.last(), std::string("Chyba|Nelze otevřít tabulku ARCHIV HISTORIE"));
        QVERIFY(!f.window->logWindows().fullLogArchive());
        QVERIFY(!std::filesystem::exists(archive + "/chybi.DB"));
        m.clear();

        // The error trap: a window whose table cannot be opened shows the string-table text.
        std::filesystem::remove(f.dir.shared + "/AUDIT.DB");
        f.window->command(20129);
        QCOMPARE(m.last(), std::string("Chyba|Nelze otevřít tabulku AUDIT"));
        QVERIFY(!f.window->logWindows().audit());
    }
}

void TestMainWindow::startPauseAndLogWindows() {
    Frame f;
    f.dir.addEvents({"PRVNI", "DRUHA", "TRETI"});
    f.app.initialize();
    QVERIFY(f.app.runConditionsHold());
    QVERIFY(f.dir.messages.shown.empty());
    f.window->command(20145);
    QVERIFY(f.app.running);
    QCOMPARE(f.window->operation().nextRecordNumber(), 4L);
    auto& t = f.window->qtTimers();
    QVERIFY(t.isActive(app::kTimerClock));
    QVERIFY(t.isActive(app::kTimerStationCheck));
    QCOMPARE(t.interval(app::kTimerStationCheck), 60000);
    QVERIFY(t.isActive(app::kTimerBackup));
    QCOMPARE(t.interval(app::kTimerBackup), 600000);
    QVERIFY(!t.isActive(app::kTimerRefresh));  // collection: refresh follows intake
    QVERIFY(!t.isActive(app::kTimerIntake));   // no port
    DENIKOKNO* full = f.window->logWindows().fullLog();
    QVERIFY(full);
    QCOMPARE(full->view().count(), 3);
    // The full log fills the workplace, also after the main window changed size.
    auto* frame = qobject_cast<QMdiSubWindow*>(full->parentWidget());
    QVERIFY(frame);
    QTRY_COMPARE(frame->geometry(), f.window->workplace()->viewport()->rect());
    app::menu().applyCommand(20151, app::kRightYes);
    f.window->showNormal();
    f.window->resize(700, 500);
    QTRY_COMPARE(frame->geometry(), f.window->workplace()->viewport()->rect());

    f.window->command(20128);
    f.window->command(20129);
    QVERIFY(f.window->logWindows().extract());
    QVERIFY(f.window->logWindows().audit());
    f.window->command(20143);  // F7
    for (LOGOKNO* w : std::initializer_list<LOGOKNO*>{full, f.window->logWindows().extract(),
                                                      f.window->logWindows().audit()}) {
        QVERIFY(w->view().paused());
    }
    f.window->command(20143);
    QVERIFY(!full->view().paused());
    QVERIFY(!f.window->logWindows().audit()->view().paused());

    // "Start" while running does nothing.
    f.dir.messages.clear();
    f.window->command(20145);
    QVERIFY(f.dir.messages.shown.empty());

    // The end stops operation: timers off, table closed.
    f.window->stopOperation();
    QVERIFY(!t.isActive(app::kTimerStationCheck));
    QVERIFY(!t.isActive(app::kTimerClock));
    QVERIFY(!f.window->operation().historyTable());
    QVERIFY(!f.app.running);
}

void TestMainWindow::viewingStationFollowsTheLog() {
    Frame f(app::RunMode::Viewing);
    f.dir.addEvents({"A", "B"});
    f.app.initialize();
    f.window->command(20145);
    QVERIFY(f.app.running);
    QCOMPARE(f.window->qtTimers().interval(app::kTimerRefresh), 5000);
    DENIKOKNO* full = f.window->logWindows().fullLog();
    QVERIFY(full);
    QCOMPARE(full->view().count(), 2);
    // Another station writes; the next refresh shows it.
    f.dir.addEvents({"C"});
    f.window->operation().onTimer(app::kTimerRefresh);
    QCOMPARE(full->view().count(), 3);
    const auto rows = full->drawnRows();
    QCOMPARE(rows[2].text, std::string("     3 05.03.24 C"));
    QVERIFY(f.window->qtTimers().isActive(app::kTimerRefresh));
}

void TestMainWindow::konecAndCloseBox() {
    {
        Frame f;
        f.window->close();  // the close box is "Konec"; nobody logged in: the end at once
        QTRY_VERIFY(f.window->ending());
    }
    {
        Frame f;
        f.app.loggedIn = true;
        f.app.operatorName = "Novák";
        f.window->close();
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QVERIFY(!f.window->ending());  // logged in: only through the exit dialog
        int asked = 0;
        f.window->setDialog(20105, [&](HLAVNIOKNO& w) {
            ++asked;
            w.endProgram();
        });
        f.window->menuAction(20105)->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(f.window->ending());
    }
}

void TestMainWindow::statusBarClockAndReceiveIndicator() {
    Frame f;
    text::setClock([]() -> long long {
        struct tm t {};
        t.tm_year = 124;
        t.tm_mon = 2;
        t.tm_mday = 5;
        t.tm_hour = 9;
        t.tm_min = 5;
        t.tm_sec = 3;
        t.tm_isdst = -1;
        return mktime(&t);
    });
    f.window->operation().onTimer(app::kTimerClock);
    QCOMPARE(f.window->statusBarPart()->clock(), QStringLiteral(" 9:05:03"));
    text::setClock(nullptr);

    STATBAR* bar = f.window->statusBarPart();
    QVERIFY(receiveActivity() == bar);
    QVERIFY(!bar->receiveLit());
    receiveActivity()->byteReceived();
    QVERIFY(bar->receiveLit());
    QTRY_VERIFY_WITH_TIMEOUT(!bar->receiveLit(), 1000);
}

void TestMainWindow::programButtons() {
    test::StationDir dir;
    const std::string out = dir.dir.path() + "/vystup";
    std::filesystem::create_directories(out);
    settings().writeString("TLACITKO1", "Nazev", "Kamera"_cz);
    settings().writeString("TLACITKO1", "Program", "touch");
    // "Param" with spaces goes on unchanged after one separating space.
    settings().writeString("TLACITKO1", "Param", out + "/prvni " + out + "/druhy");
    settings().writeString("TLACITKO2", "Program", "");
    TOOLBAROKNO buttons;
    QCOMPARE(buttons.button(1)->text(), QStringLiteral("Kamera"));
    QCOMPARE(buttons.button(3)->text(), QStringLiteral("Tlačítko 3"));
    QVERIFY(!buttons.run(2));  // an empty program does nothing
    buttons.button(1)->setEnabled(true);
    buttons.button(1)->click();
    QTRY_VERIFY(std::filesystem::exists(out + "/prvni"));
    QTRY_VERIFY(std::filesystem::exists(out + "/druhy"));
    buttons.setCaption(2, "Výtah"_cz);
    QCOMPARE(buttons.button(2)->text(), QStringLiteral("Výtah"));
}

void TestMainWindow::endRemovesTheStationRecord() {
    Frame f;
    f.app.initialize();
    f.app.computerName = "STANICE-A";
    f.window->command(20145);
    QVERIFY(f.app.running);
    {
        TABLOGIN login;
        QVERIFY(login.open(0, 1, 1));
        login.clearRecord();
        setText(login.rec.P1, "Novák"_cz);
        setText(login.rec.P2, "STANICE-A");
        QVERIFY(login.save(1));
        login.clearRecord();
        setText(login.rec.P1, "Jiný"_cz);
        setText(login.rec.P2, "STANICE-B");
        QVERIFY(login.save(1));
    }
    f.app.loggedIn = true;
    f.app.operatorName = "Novák"_cz;
    f.window->endProgram();  // what SIGTERM and the end of the desktop session do
    QVERIFY(f.window->ending());
    QVERIFY(!f.app.running);
    TABLOGIN login;
    QVERIFY(login.open(0, 0, 0));
    QVERIFY(!login.findStation("STANICE-A"));
    QVERIFY(login.findStation("STANICE-B"));
    QVERIFY(!f.window->operation().historyTable());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
