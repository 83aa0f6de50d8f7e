#include "gui/frame/station.h"

#include <QApplication>

namespace vrx::gui {

Station::Station() : logs_(std::make_unique<OperatingLogSet>()) {}

Station::~Station() = default;

bool Station::logsValid() const {
    return logs_ && logs_->valid();
}

bool Station::ensureLogs() {
    if (logsValid()) return true;
    logs_.reset();
    logs_ = std::make_unique<OperatingLogSet>(actions_);
    return logs_->valid();
}

void Station::setActions(logs::AlarmActions* actions) {
    actions_ = actions;
    if (logs_) logs_->setActions(actions);
}

void Station::rebuild() {
    if (!logs_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    logs_->rebuild();
    QApplication::restoreOverrideCursor();
}

long Station::lastProcessed() const {
    return logs_ ? logs_->lastProcessed() : 0;
}

bool Station::update(bool actions) {
    return logs_ ? logs_->update(actions) : false;
}

void Station::clear() {
    if (logs_) logs_->clear();
}

}  // namespace vrx::gui
