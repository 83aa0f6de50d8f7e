// The login dialog in its three uses, the password change and the minimize prompt, and the commands
// around them.
#include <QtTest>

#include <filesystem>

#include "gui/operators/login_dialogs.h"
#include "gui/operators/operator_commands.h"
#include "gui/operators/station_fixture.h"
#include "platform/app_error.h"
#include "service/initialization.h"

using namespace vrx;
using namespace vrx::test;
using operators::fullRights;
using operators::loggedOutRights;

class LoginTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init() {
        env = std::make_unique<StationEnvironment>();
        station = std::make_unique<TestStation>();
    }
    void cleanup() {
        station.reset();
        env.reset();
    }

    void withoutUsableTableOnlyBuiltInLogins_data();
    void withoutUsableTableOnlyBuiltInLogins();
    void operatorsOfTheTable_data();
    void operatorsOfTheTable();
    void fieldsTakeWhatTheTableKeeps();
    void logoutByAnotherOperatorsCredentials();
    void logoutCommandNeedsSomebodyAndTheTable();
    void exitRefusedThenAllowed();
    void exitWithNobodyLoggedInEndsAtOnce();
    void twoLoginsLeaveOneRegistryRecord();
    void loginCommandPlacesPicturesAndOpensOrClosesTheFullLog();
    void passwordChange();
    void minimizePrompt();

  private:
    // The login dialog with name and password entered and confirmed; true when it closed.
    bool loginWith(const QString& name, const QString& password) {
        gui::LoginDialog d(*station, gui::LoginDialog::Mode::Login);
        d.show();
        type(&d, "name", name);
        type(&d, "password", password);
        click(&d, "yes");
        return !d.isVisible();
    }

    std::unique_ptr<StationEnvironment> env;
    std::unique_ptr<TestStation> station;
};

void LoginTest::withoutUsableTableOnlyBuiltInLogins_data() {
    QTest::addColumn<bool>("tableExists");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("enters");
    QTest::newRow("missing system") << false << "system"
                                    << "kolvina" << true;
    QTest::newRow("missing service") << false << "brenix"
                                     << "qmx7ra" << true;
    QTest::newRow("missing operator") << false << "Novák"
                                      << "" << false;
    QTest::newRow("empty system") << true << "system"
                                  << "kolvina" << true;
    QTest::newRow("empty service") << true << "brenix"
                                   << "qmx7ra" << true;
    QTest::newRow("empty wrong") << true << "system"
                                 << "qmx7ra" << false;
}

void LoginTest::withoutUsableTableOnlyBuiltInLogins() {
    QFETCH(bool, tableExists);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, enters);
    if (tableExists) env->makeOperators({});
    QVERIFY(loginWith(name, password));  // closes after every attempt
    QCOMPARE(env->messages.shown.front(), std::string(tableExists ? "Informace|Tabulka hesel je prázdná."
                                                                  : "Informace|Tabulka hesel je poškozená."));
    QCOMPARE(station->app.loggedIn, enters);
    if (enters) {
        QCOMPARE(station->app.operatorName, name.toStdString());
        QVERIFY(station->rights == fullRights());
        QCOMPARE(env->registry(), std::vector<std::string>{name.toStdString() + "@STANICE-A"});
        QCOMPARE(env->auditEntries(), std::vector<std::string>{name.toStdString() + "|Přihlášení"});
    } else {
        QCOMPARE(env->messages.last(), std::string("Informace|Nejste oprávněn vstoupit do programu."));
        QVERIFY(station->rights == loggedOutRights());
        QVERIFY(env->registry().empty());
    }
}

void LoginTest::operatorsOfTheTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("enters");
    QTest::newRow("password") << "Novák"
                              << "tajné" << true;
    QTest::newRow("without password") << "Svoboda"
                                      << "" << true;
    QTest::newRow("wrong password") << "Novák"
                                    << "tajne" << false;
    QTest::newRow("password where none is set") << "Svoboda"
                                                << "x" << false;
    QTest::newRow("startup login with operators") << "system"
                                                  << "kolvina" << false;
}

void LoginTest::operatorsOfTheTable() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, enters);
    operators::Rights rights = operators::defaultRights();
    rights[operators::kRightOperators] = operators::kRightRead;
    env->makeOperators({{"Novák", "tajné"}, {"Svoboda", ""}}, rights);
    QVERIFY(loginWith(name, password));
    QCOMPARE(station->app.loggedIn, enters);
    if (enters) {
        QVERIFY(env->messages.shown.empty());
        QVERIFY(station->rights == rights);
        QCOMPARE(station->afterLogin, 1);
    } else {
        QCOMPARE(env->messages.shown,
                 std::vector<std::string>{"Informace|Nejste oprávněn vstoupit do programu."});
    }
}

void LoginTest::fieldsTakeWhatTheTableKeeps() {
    env->makeOperators({});
    gui::LoginDialog d(*station, gui::LoginDialog::Mode::Login);
    auto* name = child<QLineEdit>(&d, "name");
    QTest::keyClicks(name, QString(25, QLatin1Char('x')));
    QCOMPARE(static_cast<int>(name->text().size()), operators::kNameChars);
    type(&d, "name", QString::fromUtf8("Žluťoučký ж€"));  // the Cyrillic letter has no place
    QCOMPARE(name->text(), QString::fromUtf8("Žluťoučký €"));
    QCOMPARE(child<QLineEdit>(&d, "password")->maxLength(), operators::kNameChars);
}

void LoginTest::logoutByAnotherOperatorsCredentials() {
    env->makeOperators({{"Novák", "a"}, {"Svoboda", "b"}});
    QVERIFY(loginWith("Novák", "a"));
    QVERIFY(station->app.loggedIn);

    whenModal([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString::fromUtf8("Odhlášení"));
        type(d, "name", "Novák");
        type(d, "password", "b");
        click(d, "yes");
    });
    gui::runLogoutCommand(nullptr, *station);
    QCOMPARE(env->messages.last(), std::string("Informace|Nejste oprávněn provést odhlášení."));
    QVERIFY(station->app.loggedIn);
    QCOMPARE(station->secondaryClosed, 0);

    whenModal([](QDialog* d) {
        type(d, "name", "Svoboda");
        type(d, "password", "b");
        click(d, "yes");
    });
    gui::runLogoutCommand(nullptr, *station);
    QVERIFY(!station->app.loggedIn);
    QCOMPARE(station->app.operatorName, std::string());
    QVERIFY(station->rights == loggedOutRights());
    QVERIFY(env->registry().empty());
    QCOMPARE(station->secondaryClosed, 1);
    QVERIFY(station->paused);
    QCOMPARE(env->auditEntries(), (std::vector<std::string>{"Novák|Přihlášení", "|Odhlášení"}));
}

void LoginTest::logoutCommandNeedsSomebodyAndTheTable() {
    const int beeps = env->messages.beeps;
    gui::runLogoutCommand(nullptr, *station);  // nobody logged in: only a beep
    QCOMPARE(env->messages.beeps, beeps + 1);
    QVERIFY(env->messages.shown.empty());

    QVERIFY(loginWith("brenix", "qmx7ra"));  // without an operator table
    bool raised = false;
    try {
        gui::runLogoutCommand(nullptr, *station);
    } catch (const AppError& e) {
        raised = e.message == 5;
    }
    QVERIFY(raised);
    QVERIFY(station->app.loggedIn);
}

void LoginTest::exitRefusedThenAllowed() {
    env->makeOperators({{"Novák", "a"}});
    QVERIFY(loginWith("Novák", "a"));
    bool stayedOpen = false;
    whenModal([&stayedOpen](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString::fromUtf8("Konec programu"));
        type(d, "name", "Novák");
        type(d, "password", "x");
        click(d, "yes");
        stayedOpen = d->isVisible();
        type(d, "password", "a");
        click(d, "yes");
    });
    gui::runExitCommand(nullptr, *station);
    QVERIFY(stayedOpen);
    QCOMPARE(env->messages.shown, std::vector<std::string>{"Informace|Nejste oprávněn ukončit program."});
    QCOMPARE(station->ended, 1);
    QVERIFY(env->registry().empty());
    QCOMPARE(env->auditEntries().back(), std::string("Novák|Ukončení programu"));
}

void LoginTest::exitWithNobodyLoggedInEndsAtOnce() {
    gui::runExitCommand(nullptr, *station);
    QCOMPARE(station->ended, 1);
    QVERIFY(env->auditEntries().empty());

    // With the operator table gone the end is allowed with its reason.
    QVERIFY(loginWith("system", "kolvina"));
    whenModal([](QDialog* d) { click(d, "yes"); });
    gui::runExitCommand(nullptr, *station);
    QCOMPARE(station->ended, 2);
    QCOMPARE(env->messages.last(), std::string("Chyba|Tabulka hesel je poškozená."));
}

void LoginTest::twoLoginsLeaveOneRegistryRecord() {
    env->makeOperators({{"Novák", "a"}, {"Svoboda", "b"}});
    for (const char* who : {"Novák", "Svoboda"}) {
        whenModal([who](QDialog* d) {
            type(d, "name", QString::fromUtf8(who));
            type(d, "password", QString::fromUtf8(who)[0] == QLatin1Char('N') ? "a" : "b");
            click(d, "yes");
        });
        gui::runLoginCommand(nullptr, *station);
    }
    QCOMPARE(env->registry(), std::vector<std::string>{"Svoboda@STANICE-A"});
    QCOMPARE(station->app.operatorName, std::string("Svoboda"));
}

void LoginTest::loginCommandPlacesPicturesAndOpensOrClosesTheFullLog() {
    service::initializeTables({service::InitTable::Histor}, nullptr);
    operators::Rights withLog = operators::defaultRights();
    withLog[operators::kRightFullLog] = operators::kRightYes;
    env->makeOperators({{"Novák", "a"}});
    {
        TABHESLA t;
        QVERIFY(t.open(0, 1, 0));
        t.resetCurrent();
        setText(t.rec.Jmeno, "Svoboda");
        operators::rightsToBytes(withLog, t.rec.Opravneni);
        QVERIFY(t.save(1));
    }
    // Not running: the login alone.
    whenModal([](QDialog* d) {
        type(d, "name", "Svoboda");
        click(d, "yes");
    });
    gui::runLoginCommand(nullptr, *station);
    QVERIFY(station->app.loggedIn);
    QCOMPARE(station->alarmPictures, 0);

    station->app.runMode = app::RunMode::Viewing;
    QVERIFY(station->op.start());
    station->paused = true;
    whenModal([](QDialog* d) {
        type(d, "name", "Svoboda");
        click(d, "yes");
    });
    gui::runLoginCommand(nullptr, *station);
    QCOMPARE(station->alarmPictures, 1);
    QVERIFY(station->fullLogOpen);
    QVERIFY(!station->paused);

    whenModal([](QDialog* d) {
        type(d, "name", "Novák");
        type(d, "password", "a");
        click(d, "yes");
    });
    gui::runLoginCommand(nullptr, *station);
    QCOMPARE(station->alarmPictures, 2);
    QVERIFY(!station->fullLogOpen);

    whenModal([](QDialog* d) { click(d, "back"); });  // no login: nothing around it
    gui::runLoginCommand(nullptr, *station);
    QCOMPARE(station->alarmPictures, 3);  // still logged in as before
    QCOMPARE(env->registry(), std::vector<std::string>{"Novák@STANICE-A"});
}

void LoginTest::passwordChange() {
    env->makeOperators({{"Novák", "stare"}});
    QVERIFY(loginWith("Novák", "stare"));
    gui::PasswordDialog d(*station);
    QVERIFY(d.tableOpen());
    d.show();
    type(&d, "current", "stare");
    type(&d, "new", "nove");
    type(&d, "verification", "nov");
    click(&d, "write");
    QVERIFY(d.isVisible());  // closes only after a change
    QCOMPARE(env->messages.last(), std::string("Informace|Zadané heslo není shodné s ověřením hesla."));
    type(&d, "verification", "nove");
    click(&d, "write");
    QVERIFY(!d.isVisible());
    QCOMPARE(env->auditEntries().back(), std::string("Novák|Změna hesla přihlášeného uživatele."));
    operators::OperatorCheck check;
    check.open();
    QVERIFY(check.matches(text::utf8ToCp1250("Novák"), "nove"));

    std::filesystem::remove(env->shared + "/HESLA.DB");
    bool raised = false;
    try {
        gui::runPasswordCommand(nullptr, *station);
    } catch (const AppError& e) {
        raised = e.message == 5;
    }
    QVERIFY(raised);
}

void LoginTest::minimizePrompt() {
    env->makeOperators({{"Novák", "a"}, {"Svoboda", "b"}});
    QVERIFY(loginWith("Novák", "a"));
    struct Try {
        const char* password;
        bool allowed;
    };
    for (Try t : {Try{"b", false}, Try{"a", true}, Try{"qmx7ra", true}}) {
        whenModal([t](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Zadej heslo"));
            type(d, "password", t.password);
            click(d, "yes");
        });
        QCOMPARE(gui::runMinimizePrompt(nullptr, *station), t.allowed);
    }
    QCOMPARE(
        env->messages.shown,
        std::vector<std::string>{"Informace|Minimalizovat program může pouze aktuálně přihlášený uživatel."});
}

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
