// The station as the program assembles it: the main window with the dialogs behind its commands.
// A login through the real dialog changes the menu rights; the end goes through the exit dialog.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "commands.h"
#include "gui/alarms/alarms.h"
#include "gui/frame/frame_fixture.h"
#include "gui/frame/hlavniokno.h"
#include "gui/frame/station.h"
#include "operators/login.h"

using namespace vrx;
using namespace vrx::gui;

namespace {

struct SilentPlayer : SoundPlayer {
    void play(const std::string&, bool) override {}
    void stop() override {}
};

// Answers the next modal dialog with the given name and password and one button.
void answerNextDialog(const QString& name, const QString& password, const char* button,
                      QString* title = nullptr) {
    QTimer::singleShot(0, [=] {
        QWidget* d = QApplication::activeModalWidget();
        QVERIFY(d);
        if (title) *title = d->windowTitle();
        d->findChild<QLineEdit*>(QStringLiteral("name"))->setText(name);
        d->findChild<QLineEdit*>(QStringLiteral("password"))->setText(password);
        d->findChild<QPushButton*>(QLatin1String(button))->click();
    });
}

}  // namespace

class TestStationCommands : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void loginThroughTheMenuAppliesTheRights() {
        test::StationDir dir;
        app::APLIKACE app;
        app.runMode = app::RunMode::Collection;
        Station station;
        SilentPlayer sound;
        {
            HLAVNIOKNO window(app, station, sound);
            installDialogCommands(window);
            window.createWorkplace();
            window.show();
            auto enabled = [&](int n) { return window.menuAction(n)->isEnabled(); };
            // Nobody logged in: login, logout and the end are there, the table dialogs are not.
            QVERIFY(enabled(20101));
            QVERIFY(enabled(20105));
            QVERIFY(!enabled(20104));
            QVERIFY(!enabled(20130));

            answerNextDialog(QString::fromLatin1(operators::kServiceLogin),
                             QString::fromLatin1(operators::kServicePassword), "yes");
            window.command(20101);
            QVERIFY(app.loggedIn);
            QVERIFY(enabled(20104));
            QVERIFY(enabled(20130));
            QVERIFY(enabled(20144));

            // With an operator logged in "Konec" asks for a password; a wrong one keeps the program.
            QString title;
            answerNextDialog(QStringLiteral("nikdo"), QStringLiteral("spatne"), "back", &title);
            window.command(20105);
            QCOMPARE(title, QStringLiteral("Konec programu"));
            QVERIFY(window.isVisible());
        }
        station.releaseLogs();
    }
};

QTEST_MAIN(TestStationCommands)
#include "tst_station_commands.moc"
