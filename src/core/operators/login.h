#pragma once
// Login, logout, exit, password change and the minimize prompt: the rules the login dialogs apply.
//
// Besides the operators of the table there are two built-in logins with fixed passwords: the
// service login, accepted always, and the start-up login "system", accepted only while the operator
// table is empty or unreadable so that the first operator can be entered. Both get every right at
// its highest value. Each function shows its own messages (beep first) and writes its audit entries.
#include <string>

#include "db/tables.h"
#include "operators/rights.h"

namespace vrx::operators {

constexpr char kServiceLogin[] = "brenix";
constexpr char kServicePassword[] = "qmx7ra";
constexpr char kStartupLogin[] = "system";
constexpr char kStartupPassword[] = "kolvina";

// Characters of a name or password that the operator table stores and reads back unchanged; the
// dialogs' fields take no more.
constexpr int kNameChars = 19;

bool isServiceLogin(const std::string& name, const std::string& password);
bool isStartupLogin(const std::string& name, const std::string& password);
bool isBuiltInName(const std::string& name);

// What the login rules need of the station they run on.
class LoginStation {
  public:
    virtual ~LoginStation() = default;
    // This computer's name in the station registry.
    virtual std::string stationName() = 0;
    virtual bool loggedIn() = 0;
    virtual std::string currentOperator() = 0;
    // The login state: the flag and the operator's name ("" when nobody is logged in). The audit
    // takes the operator of each entry from here.
    virtual void setLoginState(bool loggedIn, const std::string& name) = 0;
    // Applies rights to the menu, the toolbar and the main window.
    virtual void applyRights(const Rights& rights) = 0;
    // Called after a login has applied its rights: the toolbar button of "Zobrazení nepotvrzených
    // alarmů" is disabled again unless an unacknowledged alarm is pending.
    virtual void rightsAppliedAtLogin() {}
};

enum class TableState { Readable, Empty, Unreadable };

// The operator table as the login, logout, exit and minimize checks read it: opened shared and
// read-only, re-read at every open.
class OperatorCheck {
  public:
    TableState open();
    TableState state() const { return state_; }
    // True when an operator of the table has this name and exactly this password.
    bool matches(const std::string& name, const std::string& password);
    // The stored operator of that name; false when there is none.
    bool find(const std::string& name, TABHESLA::Record& out);

  private:
    TABHESLA table_;
    TableState state_ = TableState::Unreadable;
};

// "Tabulka hesel je poškozená." or "Tabulka hesel je prázdná." (caption "Informace", warning icon)
// for an unreadable or empty table; nothing for a readable one.
void showTableState(TableState state);

// Enters the station into the registry under the operator's name, applies the rights, sets the
// login state and writes "Přihlášení". When the registry cannot be opened: "Nelze otevřít tabulku
// LOGIN" and nothing else changes (false).
bool registerLogin(LoginStation& station, const std::string& name, const Rights& rights);

// "Ano" of the login dialog, with the table as the dialog opened it. True when logged in.
bool login(LoginStation& station, OperatorCheck& table, const std::string& name, const std::string& password);

enum class LogoutResult { LoggedOut, Emergency, Refused };
// "Ano" of the logout dialog. The service login or any operator's valid credentials log out.
LogoutResult logout(LoginStation& station, OperatorCheck& table, const std::string& name,
                    const std::string& password);
// Logout while the registry cannot be opened: the message, the logged-out rights, "Nouzové
// odhlášení", and nobody logged in.
void emergencyLogout(LoginStation& station);

// "Ano" of the exit dialog: opens the operator table and decides. True when the program may end;
// `message` then holds the text to show at the end ("" for none). A refusal shows "Nejste oprávněn
// ukončit program.".
bool exitAllowed(const std::string& name, const std::string& password, std::string& message);
// The end of the program after a granted exit: "Ukončení programu", this station's registry record
// removed, then the message (caption "Chyba", warning icon) when there is one. The caller then ends
// the program.
void exitProgram(LoginStation& station, const std::string& message);

enum class PasswordChange { Changed, Fixed, NotAuthorized, Mismatch, WriteFailed };
// "Zapsat" of the password change, on the operator table opened writable by the dialog.
PasswordChange changePassword(LoginStation& station, TABHESLA& table, const std::string& current,
                              const std::string& newPassword, const std::string& verification);

// "Ano" of the minimize prompt: the service password, or the password of the operator logged in.
// A refusal shows "Minimalizovat program může pouze aktuálně přihlášený uživatel.".
bool minimizeAllowed(LoginStation& station, OperatorCheck& table, const std::string& password);

}  // namespace vrx::operators
