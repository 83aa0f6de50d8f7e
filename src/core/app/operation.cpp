#include "app/operation.h"


#include "platform/files.h"
#include "platform/messages.h"
#include "text/cz.h"

namespace vrx::app {
Operation::Operation(APLIKACE& app, Timers& timers) : app_(app), timers_(timers) {}

Operation::~Operation() { stop(); }

bool Operation::start() {
    login_ = std::make_unique<TABLOGIN>();
    if (!login_->open(0, 1, 1)) {
        login_.reset();
        return false;
    }
    histor_ = std::make_unique<TABHISTOR>();
    const bool collecting = app_.runMode == RunMode::Collection;
    if (!histor_->open(0, collecting ? 1 : 0, 0)) {
        histor_.reset();
        login_.reset();
        return false;
    }
    nextNumber_ = histor_->last() && histor_->recordCount() > 0 ? histor_->rec.Cislo + 1 : 1;
    lastSeen_ = nextNumber_ - 1;
    if (logs_) logs_->rebuild();
    if (!collecting) timers_.startTimer(kTimerRefresh, kRefreshPeriodMs);
    updateIntakeTimer();
    timers_.startTimer(kTimerStationCheck, kStationCheckPeriodMs);
    timers_.startTimer(kTimerBackup, kBackupPeriodMs);
    app_.running = true;
    return true;
}

bool Operation::startByCommand() {
    if (app_.running) return false;
    if (!app_.runConditionsHold()) {
        platform::error("Nejsou splněny podmínky pro běh programu"_cz);
        return false;
    }
    return start();
}

void Operation::stop() {
    timers_.stopTimer(kTimerIntake);
    timers_.stopTimer(kTimerRefresh);
    timers_.stopTimer(kTimerClock);
    timers_.stopTimer(kTimerStationCheck);
    timers_.stopTimer(kTimerBackup);
    if (histor_) histor_->close();
    histor_.reset();
    if (login_) {
        if (app_.loggedIn && login_->findStation(app_.computerName.c_str())) login_->deleteCurrent();
        login_->close();
    }
    login_.reset();
    app_.running = false;
}

void Operation::tableChanged() {
    if (!histor_) return;
    nextNumber_ = histor_->last() && histor_->recordCount() > 0 ? histor_->rec.Cislo + 1 : 1;
    lastSeen_ = nextNumber_ - 1;
}

void Operation::updateIntakeTimer() {
    const bool canRead = app_.runMode == RunMode::Collection && app_.device && app_.device->reader() &&
                         app_.device->reader()->isOpen() && isRunning();
    if (canRead) timers_.startTimer(kTimerIntake, kIntakePeriodMs);
    else timers_.stopTimer(kTimerIntake);
}

int Operation::intake(bool actions) {
    // Events that could not be stored earlier count towards this tick's ten and go first.
    if (app_.device) {
        while (waiting_.size() < 10) {
            long date = 0;
            std::string text;
            if (!app_.device->nextEvent(date, text)) break;
            waiting_.push_back({date, std::move(text)});
        }
    }
    if (waiting_.empty()) return 0;
    const int stored = storeWaiting(waiting_.size());
    if (stored > 0) refresh(actions);
    return stored;
}

bool Operation::addRecord(long date, const std::string& text, bool actions) {
    waiting_.push_back({date, text});
    if (storeWaiting(waiting_.size()) == 0) return false;
    refresh(actions);
    return true;
}

int Operation::storeWaiting(size_t count) {
    if (!histor_ || count == 0) return 0;
    bool ok = histor_->beginTransaction();
    for (size_t i = 0; ok && i < count; ++i) {
        histor_->clearRecord();
        histor_->rec.Cislo = static_cast<int>(nextNumber_ + static_cast<long>(i));
        histor_->rec.Datum = waiting_[i].date;
        setText(histor_->rec.Retezec, waiting_[i].text);
        ok = histor_->save(1);
    }
    ok = ok && histor_->commitTransaction();
    if (!ok) {
        histor_->rollbackTransaction();
        // Another writer may have taken the numbers: continue after the last stored record.
        if (histor_->last() && histor_->recordCount() > 0) nextNumber_ = histor_->rec.Cislo + 1;
        reportStoreFailure(true);
        return 0;
    }
    reportStoreFailure(false);
    nextNumber_ += static_cast<long>(count);
    for (size_t i = 0; i < count; ++i) {
        if (app_.exporter) app_.exporter->event(waiting_.front().date, waiting_.front().text);
        waiting_.pop_front();
    }
    if (app_.exporter && app_.exporter->dataReady()) app_.exporter->writeOutput();
    return static_cast<int>(count);
}

void Operation::reportStoreFailure(bool failed) {
    if (!failed) {
        storeFailureShown_ = false;
        return;
    }
    // Once per outage, not at every tick: the events wait and are stored when the table takes them.
    if (storeFailureShown_) return;
    storeFailureShown_ = true;
    platform::error(
        "Událost nelze zapsat do úplného provozního deníku.\nUdálosti čekají a zapíší se, jakmile to bude možné."_cz);
}

void Operation::refresh(bool actions) {
    timers_.stopTimer(kTimerRefresh);
    if (!histor_) return;
    const long processed = logs_ ? logs_->lastProcessed() : lastSeen_;
    if (!histor_->last()) {
        timers_.startTimer(kTimerRefresh, kRefreshPeriodMs);
        return;
    }
    const long lastNumber = histor_->recordCount() > 0 ? histor_->rec.Cislo : 0;
    if (lastNumber == processed) {
        timers_.startTimer(kTimerRefresh, kRefreshPeriodMs);
        return;
    }
    bool extractTookNew = false;
    if (logs_) extractTookNew = logs_->update(actions);
    lastSeen_ = lastNumber;
    if (printer_ && printer_->active()) printer_->print();
    if (observer_) observer_->logsUpdated(extractTookNew);
    timers_.startTimer(kTimerRefresh, kRefreshPeriodMs);
}

void Operation::stationCheck() {
    if (!app_.loggedIn || !login_) return;
    const char* message = nullptr;
    if (!platform::fileExists(login_->filePath()) || !login_->first()) message = "Výpadek spojení se serverem"_cz;
    else if (!login_->findStation(app_.computerName.c_str())) message = "Stanice odpojena správcem systému"_cz;
    if (!message) return;
    timers_.stopTimer(app_.runMode == RunMode::Collection ? kTimerIntake : kTimerRefresh);
    timers_.stopTimer(kTimerStationCheck);
    platform::messages().beep();
    platform::messages().show("Informace", message, platform::Icon::Error);
    if (observer_) observer_->endRequested();
}

void Operation::onTimer(int id) {
    switch (id) {
        case kTimerClock:
            if (observer_) observer_->clockTick();
            break;
        case kTimerIntake: intake(true); break;
        case kTimerRefresh: refresh(true); break;
        case kTimerStationCheck: stationCheck(); break;
        case kTimerBackup:
            if (observer_) observer_->backupTick();
            break;
        default: break;
    }
}

}  // namespace vrx::app
