#include "operators/login.h"

#include "operators/audit.h"
#include "platform/messages.h"
#include "stations/registry.h"
#include "text/cz.h"

namespace vrx::operators {
namespace {

void refuse(const char* text) {
    platform::messages().beep();
    platform::messages().show("Informace", text, platform::Icon::Error);
}

void registryError() {
    platform::messages().beep();
    platform::messages().show("Chyba", "Nelze otevřít tabulku LOGIN"_cz, platform::Icon::Error);
}

}  // namespace

bool isServiceLogin(const std::string& name, const std::string& password) {
    return name == kServiceLogin && password == kServicePassword;
}

bool isStartupLogin(const std::string& name, const std::string& password) {
    return name == kStartupLogin && password == kStartupPassword;
}

bool isBuiltInName(const std::string& name) {
    return name == kServiceLogin || name == kStartupLogin;
}

TableState OperatorCheck::open() {
    table_.close();
    if (!table_.open(0, 0, 0))
        state_ = TableState::Unreadable;
    else
        state_ = table_.recordCount() > 0 ? TableState::Readable : TableState::Empty;
    return state_;
}

bool OperatorCheck::find(const std::string& name, TABHESLA::Record& out) {
    if (state_ != TableState::Readable || !table_.findOperator(name.c_str())) return false;
    out = table_.rec;
    return true;
}

bool OperatorCheck::matches(const std::string& name, const std::string& password) {
    TABHESLA::Record r;
    return find(name, r) && password == r.Heslo;
}

void showTableState(TableState state) {
    const char* text = nullptr;
    if (state == TableState::Unreadable)
        text = "Tabulka hesel je poškozená."_cz;
    else if (state == TableState::Empty)
        text = "Tabulka hesel je prázdná."_cz;
    if (!text) return;
    platform::messages().beep();
    platform::messages().show("Informace", text, platform::Icon::Warning);
}

bool registerLogin(LoginStation& station, const std::string& name, const Rights& rights) {
    if (!stations::registerStation(name, station.stationName())) {
        registryError();
        return false;
    }
    station.applyRights(rights);
    station.setLoginState(true, name);
    station.rightsAppliedAtLogin();
    writeAudit("%s", "Přihlášení"_cz);
    return true;
}

bool login(LoginStation& station, OperatorCheck& table, const std::string& name,
           const std::string& password) {
    if (isServiceLogin(name, password)) return registerLogin(station, kServiceLogin, fullRights());
    if (table.state() != TableState::Readable) {
        if (isStartupLogin(name, password)) return registerLogin(station, kStartupLogin, fullRights());
        refuse("Nejste oprávněn vstoupit do programu."_cz);
        return false;
    }
    TABHESLA::Record r;
    if (!table.find(name, r) || password != r.Heslo) {
        refuse("Nejste oprávněn vstoupit do programu."_cz);
        return false;
    }
    return registerLogin(station, r.Jmeno, rightsFromBytes(r.Opravneni));
}

void emergencyLogout(LoginStation& station) {
    registryError();
    station.applyRights(loggedOutRights());
    writeAudit("%s", "Nouzové odhlášení"_cz);
    station.setLoginState(false, "");
}

LogoutResult logout(LoginStation& station, OperatorCheck& table, const std::string& name,
                    const std::string& password) {
    TABLOGIN registry;
    if (!registry.open(0, 1, 1)) {
        emergencyLogout(station);
        return LogoutResult::Emergency;
    }
    if (isServiceLogin(name, password)) {
        stations::removeStationRecords(registry, station.stationName());
        registry.flush();
        registry.close();
        station.applyRights(loggedOutRights());
        writeAudit("%s", "Odhlášení"_cz);
        station.setLoginState(false, "");
        return LogoutResult::LoggedOut;
    }
    if (!table.matches(name, password)) {
        registry.close();
        refuse("Nejste oprávněn provést odhlášení."_cz);
        return LogoutResult::Refused;
    }
    stations::removeStationRecords(registry, station.stationName());
    registry.flush();
    registry.close();
    station.applyRights(loggedOutRights());
    station.setLoginState(false, "");
    writeAudit("%s", "Odhlášení"_cz);
    return LogoutResult::LoggedOut;
}

bool exitAllowed(const std::string& name, const std::string& password, std::string& message) {
    message.clear();
    OperatorCheck table;
    switch (table.open()) {
        case TableState::Unreadable:
            message = "Tabulka hesel je poškozená."_cz;
            return true;
        case TableState::Empty:
            message = "Tabulka hesel je prázdná."_cz;
            return true;
        case TableState::Readable:
            break;
    }
    if (isServiceLogin(name, password) || table.matches(name, password)) return true;
    refuse("Nejste oprávněn ukončit program."_cz);
    return false;
}

void exitProgram(LoginStation& station, const std::string& message) {
    writeAudit("%s", "Ukončení programu"_cz);
    if (!stations::unregisterStation(station.stationName())) registryError();
    if (!message.empty()) {
        platform::messages().beep();
        platform::messages().show("Chyba", message, platform::Icon::Warning);
    }
}

PasswordChange changePassword(LoginStation& station, TABHESLA& table, const std::string& current,
                              const std::string& newPassword, const std::string& verification) {
    const std::string name = station.currentOperator();
    if ((name == kServiceLogin && current == kServicePassword) ||
        (name == kStartupLogin && current == kStartupPassword)) {
        refuse("Toto heslo nelze změnit."_cz);
        return PasswordChange::Fixed;
    }
    if (!table.findOperator(name.c_str()) || current != table.rec.Heslo) {
        refuse("Nejste oprávněn změnit heslo."_cz);
        return PasswordChange::NotAuthorized;
    }
    if (newPassword != verification) {
        platform::messages().beep();
        platform::messages().show("Informace", "Zadané heslo není shodné s ověřením hesla."_cz,
                                  platform::Icon::Warning);
        return PasswordChange::Mismatch;
    }
    setText(table.rec.Heslo, newPassword);
    // The entry is written only for a password that was really stored.
    if (!table.save(0)) {
        platform::messages().beep();
        platform::messages().show("Chyba", "Heslo nelze zapsat."_cz, platform::Icon::Warning);
        return PasswordChange::WriteFailed;
    }
    table.flush();
    writeAudit("%s", "Změna hesla přihlášeného uživatele."_cz);
    return PasswordChange::Changed;
}

bool minimizeAllowed(LoginStation& station, OperatorCheck& table, const std::string& password) {
    if (password == kServicePassword) return true;
    TABHESLA::Record r;
    if (table.find(station.currentOperator(), r) && password == r.Heslo) return true;
    refuse("Minimalizovat program může pouze aktuálně přihlášený uživatel."_cz);
    return false;
}

}  // namespace vrx::operators
