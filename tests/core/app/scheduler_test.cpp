#include <gtest/gtest.h>

#include <vector>

#include "app/scheduler.h"

using vrx::app::Scheduler;

TEST(Scheduler, RunsDueTimersAndSleepsUntilTheNext) {
    std::vector<int> fired;
    Scheduler* self = nullptr;
    Scheduler s([&](int id) {
        fired.push_back(id);
        if (id == 2 && fired.size() >= 3) self->quit();
    });
    self = &s;
    EXPECT_EQ(s.runDue(), -1);  // nothing active
    s.startTimer(2, 1);
    s.startTimer(4, 60000);
    EXPECT_TRUE(s.isActive(4));
    s.run(false);
    EXPECT_EQ(fired, (std::vector<int>{2, 2, 2}));
    s.stopTimer(2);
    long wait = s.runDue();
    EXPECT_GT(wait, 50000);
    EXPECT_EQ(fired.size(), 3u);
    s.stopTimer(4);
    EXPECT_FALSE(s.isActive(4));
}

TEST(Scheduler, AHandlerMayStopAnotherDueTimer) {
    std::vector<int> fired;
    Scheduler* self = nullptr;
    Scheduler s([&](int id) {
        fired.push_back(id);
        self->stopTimer(3);
        self->stopTimer(2);
    });
    self = &s;
    s.startTimer(2, 0);
    s.startTimer(3, 0);
    s.runDue();
    EXPECT_EQ(fired.size(), 1u);
}
