#pragma once
// Operation of the station: the open full operating log and station registry, intake of events
// from the decoder, refresh of the logs, the station check, and the timers that drive them. The
// windowed program and the headless collector run the same operation; only the timers and the
// observer differ.
#include <deque>
#include <memory>
#include <string>

#include "app/aplikace.h"
#include "app/timers.h"
#include "db/tables.h"

namespace vrx::app {

// The in-memory logs as operation drives them (the UPD log with filter actions, then the EPD log).
class OperatingLogs {
public:
    virtual ~OperatingLogs() = default;
    // Fills both logs from the table, the extract first, without filter actions.
    virtual void rebuild() = 0;
    // Number of the last record the full operating log's log has processed.
    virtual long lastProcessed() const = 0;
    // Takes the records after the last processed one; true when the extract took new records.
    virtual bool update(bool actions) = 0;
    // Both logs empty (the table was emptied).
    virtual void clear() = 0;
};

// Online printing of new records.
class OnlinePrinter {
public:
    virtual ~OnlinePrinter() = default;
    virtual bool active() = 0;
    virtual void print() = 0;
};

// What operation tells the windows (or the collector) about.
class OperationObserver {
public:
    virtual ~OperationObserver() = default;
    virtual void clockTick() {}
    // New records reached the logs: redraw the full log window, and the extract window when asked.
    virtual void logsUpdated(bool extractTookNew) { (void)extractTookNew; }
    // The station must end (lost connection, disconnected by the administrator); the message has
    // been shown.
    virtual void endRequested() {}
    // The monthly backup of the full operating log is due to be checked.
    virtual void backupTick() {}
};

class Operation {
public:
    Operation(APLIKACE& app, Timers& timers);
    ~Operation();

    void setLogs(OperatingLogs* logs) { logs_ = logs; }
    void setPrinter(OnlinePrinter* printer) { printer_ = printer; }
    void setObserver(OperationObserver* observer) { observer_ = observer; }

    // The start of operation: registry and full operating log opened, next record number, both logs
    // rebuilt, timers started. False (nothing shown) when a table cannot be opened.
    bool start();
    // "Start" by command: nothing while running; the run-conditions message when they fail.
    bool startByCommand();
    // Closes the log table, removes this station's registry record when an operator is logged in,
    // closes the registry and stops the timers.
    void stop();

    // Up to ten events from the decoder into the full operating log, then a refresh. Returns the
    // number of events stored.
    int intake(bool actions);
    // One record from outside the decoder (the hardware buffer dialogs).
    bool addRecord(long date, const std::string& text, bool actions);
    // Picks up new records (also those of other stations) and updates the logs.
    void refresh(bool actions);
    // Timer 4: this station's record in the registry; ends the program when it is gone.
    void stationCheck();
    void onTimer(int id);

    // Records were removed from the open full operating log (and the rest renumbered): the next
    // record number is taken anew from its last record, 1 when it is empty.
    void tableChanged();

    // Starts or stops the intake timer as the decoder's port allows.
    void updateIntakeTimer();

    bool paused() const { return paused_; }
    void setPaused(bool on) { paused_ = on; }
    long nextRecordNumber() const { return nextNumber_; }
    size_t waitingEvents() const { return waiting_.size(); }
    TABHISTOR* historyTable() { return histor_.get(); }
    TABLOGIN* registryTable() { return login_.get(); }

    bool updChanged = false;
    bool epdChanged = false;

private:
    struct Event {
        long date;
        std::string text;
    };
    // Stores the waiting events in one transaction; on failure they stay waiting, in order.
    int storeWaiting(size_t count);
    void reportStoreFailure(bool failed);
    bool isRunning() const { return histor_ != nullptr; }

    APLIKACE& app_;
    Timers& timers_;
    OperatingLogs* logs_ = nullptr;
    OnlinePrinter* printer_ = nullptr;
    OperationObserver* observer_ = nullptr;
    std::unique_ptr<TABHISTOR> histor_;
    std::unique_ptr<TABLOGIN> login_;
    long nextNumber_ = 1;
    long lastSeen_ = 0;  // last record number refreshed when no logs are attached
    bool paused_ = false;
    std::deque<Event> waiting_;
    bool storeFailureShown_ = false;
};

}  // namespace vrx::app
