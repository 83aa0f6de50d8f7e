// Login, logout, exit, password change and the minimize prompt against real operator, registry and
// audit tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/operators/login_fixture.h"
#include "operators/login.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::operators;

namespace {

class Login : public test::LoginFixture {
  protected:
    // Makes the registry unopenable while every other table keeps working.
    void breakRegistry() {
        std::filesystem::remove(shared + "/LOGIN.DB");
        std::filesystem::create_directories(shared + "/LOGIN.DB/x");
    }
    bool tryLogin(const std::string& name, const std::string& password) {
        OperatorCheck table;
        table.open();
        return login(station, table, name, password);
    }
};

Rights someRights() {
    Rights r = defaultRights();
    r[kRightOperators] = kRightRead;
    r[kRightFullLog] = kRightYes;
    return r;
}

}  // namespace

TEST_F(Login, WithoutUsableOperatorTableOnlyTheBuiltInLoginsEnter) {
    struct Case {
        bool tableExists;  // false: missing (unreadable); true: created empty
        std::string name, password;
        bool enters;
    };
    const Case cases[] = {
        {false, "system", "kolvina", true},  {false, "brenix", "qmx7ra", true},
        {false, "system", "KOLVINA", false}, {false, "Novak", "", false},
        {true, "system", "kolvina", true},   {true, "brenix", "qmx7ra", true},
        {true, "brenix", "kolvina", false},  {true, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + "/" + c.password + (c.tableExists ? " empty" : " missing"));
        std::filesystem::remove(shared + "/HESLA.DB");
        if (c.tableExists) makeOperators({});
        station = {};
        messages.shown.clear();
        OperatorCheck table;
        const TableState state = table.open();
        showTableState(state);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0], c.tableExists ? "Informace|Tabulka hesel je prázdná."_cz
                                                   : "Informace|Tabulka hesel je poškozená."_cz);
        EXPECT_EQ(login(station, table, c.name, c.password), c.enters);
        EXPECT_EQ(station.in, c.enters);
        if (c.enters) {
            EXPECT_EQ(station.op, c.name);
            EXPECT_EQ(station.rights, fullRights());
            EXPECT_EQ(station.afterLogin, 1);
            EXPECT_EQ(registry(), std::vector<std::string>{c.name + "@STANICE-A"});
            EXPECT_EQ(auditEntries().back(), c.name + "|" + "Přihlášení"_cz);
        } else {
            EXPECT_EQ(messages.last(), "Informace|Nejste oprávněn vstoupit do programu."_cz);
            EXPECT_EQ(station.rightsApplied, 0);
        }
        std::filesystem::remove(shared + "/LOGIN.DB");
    }
}

TEST_F(Login, OperatorsOfTheTable) {
    makeOperators({{"Novak", "tajne"}, {"Svoboda", ""}}, someRights());
    struct Case {
        std::string name, password;
        bool enters;
    };
    const Case cases[] = {
        {"Novak", "tajne", true},     {"Svoboda", "", true},      // no password: the empty field
        {"Novak", "TAJNE", false},    {"novak", "tajne", false},  // exact comparison of both
        {"Svoboda", "x", false},      {"Dvorak", "", false},
        {"system", "kolvina", false},  // only while the table is empty
        {"brenix", "qmx7ra", true},    // always
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + "/" + c.password);
        station = {};
        messages.shown.clear();
        EXPECT_EQ(tryLogin(c.name, c.password), c.enters);
        EXPECT_EQ(station.in, c.enters);
        if (!c.enters) {
            EXPECT_EQ(messages.shown,
                      std::vector<std::string>{"Informace|Nejste oprávněn vstoupit do programu."_cz});
            EXPECT_EQ(messages.icons.back(), platform::Icon::Error);
            continue;
        }
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(station.rights, c.name == "brenix" ? fullRights() : someRights());
    }
}

TEST_F(Login, TwoLoginsOnOneStationLeaveOneRecordWithTheLaterName) {
    makeOperators({{"Novak", "a"}, {"Svoboda", "b"}});
    {
        // Another station is logged in as well and keeps its record.
        TABLOGIN l;
        ASSERT_TRUE(l.open(0, 1, 1));
        l.clearRecord();
        setText(l.rec.P1, "Dvorak"_cz);
        setText(l.rec.P2, "STANICE-B");
        ASSERT_TRUE(l.save(1));
    }
    ASSERT_TRUE(tryLogin("Novak", "a"));
    ASSERT_TRUE(tryLogin("Svoboda", "b"));
    EXPECT_EQ(registry(), (std::vector<std::string>{"Dvorak@STANICE-B"_cz, "Svoboda@STANICE-A"}));
    EXPECT_EQ(auditEntries(), (std::vector<std::string>{"Novak|Přihlášení"_cz, "Svoboda|Přihlášení"_cz}));
}

TEST_F(Login, RegistryThatCannotBeOpenedStopsTheLogin) {
    makeOperators({{"Novak", "a"}});
    breakRegistry();
    EXPECT_FALSE(tryLogin("Novak", "a"));
    EXPECT_FALSE(station.in);
    EXPECT_EQ(station.rightsApplied, 0);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Chyba|Nelze otevřít tabulku LOGIN"_cz});
    EXPECT_TRUE(auditEntries().empty());
}

TEST_F(Login, LogoutByAnyOperatorsCredentials) {
    makeOperators({{"Novak", "a"}, {"Svoboda", "b"}});
    ASSERT_TRUE(tryLogin("Novak", "a"));
    OperatorCheck table;
    table.open();

    EXPECT_EQ(logout(station, table, "Novak", "b"), LogoutResult::Refused);
    EXPECT_EQ(messages.last(), "Informace|Nejste oprávněn provést odhlášení."_cz);
    EXPECT_TRUE(station.in);
    EXPECT_EQ(registry().size(), 1u);

    EXPECT_EQ(logout(station, table, "Svoboda", "b"), LogoutResult::LoggedOut);
    EXPECT_FALSE(station.in);
    EXPECT_EQ(station.op, "");
    EXPECT_EQ(station.rights, loggedOutRights());
    EXPECT_TRUE(registry().empty());
    // The entry is written after the state was cleared: it carries no operator.
    EXPECT_EQ(auditEntries().back(), "|Odhlášení"_cz);
}

TEST_F(Login, ServiceLogoutAndEmergencyLogoutKeepTheOperatorInTheirEntries) {
    makeOperators({{"Novak", "a"}});
    ASSERT_TRUE(tryLogin("Novak", "a"));
    OperatorCheck table;
    table.open();
    EXPECT_EQ(logout(station, table, "brenix", "qmx7ra"), LogoutResult::LoggedOut);
    EXPECT_FALSE(station.in);
    EXPECT_TRUE(registry().empty());
    EXPECT_EQ(auditEntries().back(), "Novak|Odhlášení"_cz);

    ASSERT_TRUE(tryLogin("Novak", "a"));
    breakRegistry();
    // The registry cannot be opened: out without looking at the credentials.
    EXPECT_EQ(logout(station, table, "", ""), LogoutResult::Emergency);
    EXPECT_EQ(messages.last(), "Chyba|Nelze otevřít tabulku LOGIN"_cz);
    EXPECT_FALSE(station.in);
    EXPECT_EQ(station.op, "");
    EXPECT_EQ(station.rights, loggedOutRights());
    EXPECT_EQ(auditEntries().back(), "Novak|Nouzové odhlášení"_cz);
}

TEST_F(Login, ExitDecisions) {
    struct Case {
        const char* table;  // "missing", "empty" or "operators"
        std::string name, password;
        bool allowed;
        std::string message;
    };
    const Case cases[] = {
        {"missing", "", "", true, "Tabulka hesel je poškozená."_cz},
        {"empty", "x", "y", true, "Tabulka hesel je prázdná."_cz},
        {"operators", "brenix", "qmx7ra", true, ""},
        {"operators", "Svoboda", "b", true, ""},  // any operator, not only the one logged in
        {"operators", "Svoboda", "a", false, ""},
        {"operators", "system", "kolvina", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.name);
        std::filesystem::remove(shared + "/HESLA.DB");
        if (std::string(c.table) == "empty") makeOperators({});
        if (std::string(c.table) == "operators") makeOperators({{"Novak", "a"}, {"Svoboda", "b"}});
        messages.shown.clear();
        std::string message = "stale";
        EXPECT_EQ(exitAllowed(c.name, c.password, message), c.allowed);
        if (c.allowed) {
            EXPECT_EQ(message, c.message);
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_EQ(messages.shown,
                      std::vector<std::string>{"Informace|Nejste oprávněn ukončit program."_cz});
        }
    }
}

TEST_F(Login, ExitProgramRemovesTheRecordThenShowsTheMessage) {
    makeOperators({{"Novak", "a"}});
    ASSERT_TRUE(tryLogin("Novak", "a"));
    exitProgram(station, "Tabulka hesel je prázdná."_cz);
    EXPECT_TRUE(registry().empty());
    EXPECT_EQ(auditEntries().back(), "Novak|Ukončení programu"_cz);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Chyba|Tabulka hesel je prázdná."_cz});
    EXPECT_EQ(messages.icons.back(), platform::Icon::Warning);

    messages.shown.clear();
    breakRegistry();
    exitProgram(station, "");
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Chyba|Nelze otevřít tabulku LOGIN"_cz});
}

TEST_F(Login, PasswordChange) {
    makeOperators({{"Novak", "stare"}, {"Svoboda", "b"}});
    struct Case {
        std::string op, current, fresh, verification;
        PasswordChange result;
        std::string message;
    };
    const Case cases[] = {
        {"brenix", "qmx7ra", "x", "x", PasswordChange::Fixed, "Informace|Toto heslo nelze změnit."_cz},
        {"system", "kolvina", "x", "x", PasswordChange::Fixed, "Informace|Toto heslo nelze změnit."_cz},
        {"brenix", "spatne", "x", "x", PasswordChange::NotAuthorized,
         "Informace|Nejste oprávněn změnit heslo."_cz},
        {"Novak", "b", "x", "x", PasswordChange::NotAuthorized, "Informace|Nejste oprávněn změnit heslo."_cz},
        {"Novak", "stare", "nove", "nowe", PasswordChange::Mismatch,
         "Informace|Zadané heslo není shodné s ověřením hesla."_cz},
        {"Novak", "stare", "nove", "nove", PasswordChange::Changed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op + "/" + c.current);
        station.op = c.op;
        messages.shown.clear();
        TABHESLA t;
        ASSERT_TRUE(t.open(0, 1, 0));
        EXPECT_EQ(changePassword(station, t, c.current, c.fresh, c.verification), c.result);
        EXPECT_EQ(messages.last(), c.message);
    }
    OperatorCheck check;
    check.open();
    EXPECT_TRUE(check.matches("Novak", "nove"));
    EXPECT_TRUE(check.matches("Svoboda", "b"));
    EXPECT_EQ(auditEntries(), std::vector<std::string>{"Novak|Změna hesla přihlášeného uživatele."_cz});
}

TEST_F(Login, MinimizeOnlyForTheOperatorLoggedInOrTheServicePassword) {
    makeOperators({{"Novak", "a"}, {"Svoboda", "b"}});
    station.op = "Novak";
    OperatorCheck table;
    table.open();
    EXPECT_TRUE(minimizeAllowed(station, table, "a"));
    EXPECT_TRUE(minimizeAllowed(station, table, "qmx7ra"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(minimizeAllowed(station, table, "b"));
    EXPECT_EQ(messages.last(), "Informace|Minimalizovat program může pouze aktuálně přihlášený uživatel."_cz);
    station.op = "system";
    EXPECT_FALSE(minimizeAllowed(station, table, "kolvina"));
}
