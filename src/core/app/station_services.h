#pragma once
// What the login, operator, station and collection-settings dialogs need of the running station.
// The main window implements it; the dialogs take it instead of a concrete window.
#include <string>

#include "app/aplikace.h"
#include "app/operation.h"
#include "app/timers.h"
#include "operators/audit.h"
#include "operators/login.h"
#include "operators/rights.h"

namespace vrx::app {

class StationServices : public operators::LoginStation {
  public:
    // The core objects of the station.
    virtual APLIKACE& application() = 0;
    virtual Operation& operation() = 0;
    virtual Timers& timers() = 0;

    // The login state lives in the application object.
    std::string stationName() override { return application().computerName; }
    bool loggedIn() override { return application().loggedIn; }
    std::string currentOperator() override { return application().operatorName; }
    void setLoginState(bool on, const std::string& name) override {
        application().loggedIn = on;
        application().operatorName = name;
    }

    // The value of right `index` (0 to 51) now in force.
    virtual unsigned char rightValue(int index) = 0;

    // The reading timer (200 ms intake): stopped while a dialog changes the port, the panel or reads
    // the hardware buffer; restarted as the decoder's port allows.
    virtual void stopIntake() { timers().stopTimer(kTimerIntake); }
    virtual void restartIntake() { operation().updateIntakeTimer(); }

    // "Terminál pro: %s   Režim: %s   " rebuilt from the chosen panel and the run mode.
    virtual void rebuildCaption() = 0;
    // The alarm picture slots placed on the screen.
    virtual void placeAlarmPictures() = 0;
    // The full operating log window opened when it is not open; closed when it is.
    virtual void openFullLogWindow() = 0;
    virtual void closeFullLogWindow() = 0;
    // The extract, audit and both archive windows closed where open.
    virtual void closeSecondaryLogWindows() = 0;
    // Screen blanking ("Pauza") switched on or off; nothing when it already is.
    virtual void setPause(bool on) = 0;
    // The main window destroyed: operation stops and the program ends.
    virtual void endProgram() = 0;
    // The help file "HELP\VORAX.HLP" opened at a context number.
    virtual void help(int context) = 0;
};

// The audit's operator: the name of the operator logged in to the process's application object.
inline void useApplicationOperatorForAudit() {
    setCurrentOperatorSource([] { return aplikace().operatorName; });
}

}  // namespace vrx::app
