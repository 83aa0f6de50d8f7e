#include "app/scheduler.h"

#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <vector>

namespace vrx::app {
namespace {
volatile sig_atomic_t g_signalled = 0;
void onSignal(int) { g_signalled = 1; }
}  // namespace

void Scheduler::startTimer(int id, int periodMs) {
    auto period = std::chrono::milliseconds(periodMs);
    timers_[id] = Entry{period, Clock::now() + period};
}

void Scheduler::stopTimer(int id) { timers_.erase(id); }

long Scheduler::runDue() {
    auto now = Clock::now();
    std::vector<int> due;
    for (auto& [id, e] : timers_) {
        if (e.due <= now) due.push_back(id);
    }
    for (int id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end()) continue;  // stopped by an earlier handler of this pass
        it->second.due = Clock::now() + it->second.period;
        handler_(id);
        if (quit_) break;
    }
    if (timers_.empty()) return -1;
    now = Clock::now();
    auto next = Clock::time_point::max();
    for (auto& [id, e] : timers_) next = std::min(next, e.due);
    // Rounded up: a wait cut down to 0 ms would spin through the last fraction of a millisecond.
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    return wait < 0 ? 0 : static_cast<long>(wait);
}

void Scheduler::run(bool stopOnSignals) {
    sigset_t blocked, original;
    sigemptyset(&blocked);
    if (stopOnSignals) {
        struct sigaction sa = {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        sigaddset(&blocked, SIGTERM);
        sigaddset(&blocked, SIGINT);
    }
    // The signals are held back while timers run and let through only while sleeping, so none is
    // missed between the check and the sleep.
    sigprocmask(SIG_BLOCK, &blocked, &original);
    while (!quit_ && !g_signalled) {
        long wait = runDue();
        if (quit_ || g_signalled) break;
        timespec ts{};
        timespec* timeout = nullptr;
        if (wait >= 0) {
            ts.tv_sec = wait / 1000;
            ts.tv_nsec = (wait % 1000) * 1000000L;
            timeout = &ts;
        }
        ppoll(nullptr, 0, timeout, &original);
    }
    sigprocmask(SIG_SETMASK, &original, nullptr);
}

}  // namespace vrx::app
