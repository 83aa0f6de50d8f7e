#pragma once
// The station's periodic work. The windowed program delivers these timers through its event loop,
// the headless collector through its own loop; both call Operation::onTimer with the timer's id.

namespace vrx::app {

enum TimerId : int {
    kTimerClock = 1,         // 1 s: the clock on the status bar
    kTimerIntake = 2,        // 200 ms: events from the decoder
    kTimerRefresh = 3,       // 5 s: records written by other stations
    kTimerStationCheck = 4,  // 60 s: this station's record in the registry
    kTimerBackup = 9,        // 10 min: the monthly backup of the full operating log
};

constexpr int kIntakePeriodMs = 200;
constexpr int kRefreshPeriodMs = 5000;
constexpr int kStationCheckPeriodMs = 60000;
constexpr int kBackupPeriodMs = 600000;

class Timers {
public:
    virtual ~Timers() = default;
    // (Re)starts timer `id` with the period; a running timer starts its period anew.
    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    virtual bool isActive(int id) const = 0;
};

}  // namespace vrx::app
