#pragma once
// The station's timers on the Qt event loop: one QTimer per timer id, delivering its ticks to the
// handler (the main window hands them to Operation::onTimer).
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/timers.h"

namespace vrx::gui {

class QtTimers : public QObject, public app::Timers {
    Q_OBJECT
  public:
    explicit QtTimers(std::function<void(int)> handler, QObject* parent = nullptr);
    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    bool isActive(int id) const override;
    int interval(int id) const;

  private:
    std::function<void(int)> handler_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace vrx::gui
