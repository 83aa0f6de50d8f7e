#pragma once
// Timers for programs without a window system: a loop that sleeps until the next timer is due and
// ends when asked, also from a signal handler.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>

#include "app/timers.h"

namespace vrx::app {

class Scheduler : public Timers {
public:
    using Handler = std::function<void(int id)>;
    explicit Scheduler(Handler handler) : handler_(std::move(handler)) {}

    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    bool isActive(int id) const override { return timers_.count(id) != 0; }

    // Runs due timers until quit() is called or SIGTERM/SIGINT arrives (when `stopOnSignals`), then
    // returns. Sleeps between timers, so an idle station costs no processor time.
    void run(bool stopOnSignals);
    void quit() { quit_ = true; }
    // One pass: runs the timers that are due now; returns the milliseconds until the next one
    // (−1 when none is active).
    long runDue();

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };
    Handler handler_;
    std::map<int, Entry> timers_;
    std::atomic<bool> quit_{false};
};

}  // namespace vrx::app
