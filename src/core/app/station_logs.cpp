#include "app/station_logs.h"

namespace vrx::app {

StationLogs::StationLogs(logs::AlarmActions* actions)
    : logs_(std::make_unique<OperatingLogSet>(actions)), actions_(actions) {}

StationLogs::~StationLogs() = default;

bool StationLogs::ensureLogs() {
    if (logsValid()) return true;
    logs_.reset();
    logs_ = std::make_unique<OperatingLogSet>(actions_);
    return logs_->valid();
}

void StationLogs::setActions(logs::AlarmActions* actions) {
    actions_ = actions;
    if (logs_) logs_->setActions(actions);
}

void StationLogs::rebuild() {
    if (logs_) logs_->rebuild();
}

long StationLogs::lastProcessed() const { return logs_ ? logs_->lastProcessed() : 0; }

bool StationLogs::update(bool actions) { return logs_ ? logs_->update(actions) : false; }

void StationLogs::clear() {
    if (logs_) logs_->clear();
}

}  // namespace vrx::app
