#include "gui/frame/qt_timers.h"

namespace vrx::gui {

QtTimers::QtTimers(std::function<void(int)> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

void QtTimers::startTimer(int id, int periodMs) {
    auto& t = timers_[id];
    if (!t) {
        t = std::make_unique<QTimer>();
        t->setTimerType(periodMs < 2000 ? Qt::PreciseTimer : Qt::CoarseTimer);
        connect(t.get(), &QTimer::timeout, this, [this, id] {
            if (handler_) handler_(id);
        });
    }
    t->start(periodMs);
}

void QtTimers::stopTimer(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

bool QtTimers::isActive(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

int QtTimers::interval(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive() ? it->second->interval() : 0;
}

}  // namespace vrx::gui
