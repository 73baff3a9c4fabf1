#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/Scheduler.h"
#include "window/Timer.h"

namespace shiori {
namespace {

TEST(Scheduler, RunsTasksInTimeOrderThenInTheOrderScheduled) {
  Scheduler scheduler;
  std::vector<std::string> ran;
  scheduler.Schedule(Milliseconds(20), [&] { ran.push_back("b@" + std::to_string(scheduler.Now())); });
  scheduler.Schedule(Milliseconds(10), [&] { ran.push_back("a@" + std::to_string(scheduler.Now())); });
  scheduler.Schedule(Milliseconds(20), [&] { ran.push_back("c@" + std::to_string(scheduler.Now())); });
  const auto cancelled = scheduler.Schedule(Milliseconds(15), [&] { ran.push_back("cancelled"); });
  scheduler.Cancel(cancelled);
  EXPECT_EQ(scheduler.NextDeadline(), Milliseconds(10));

  scheduler.AdvanceTo(Milliseconds(30));
  EXPECT_EQ(ran, (std::vector<std::string>{"a@10000", "b@20000", "c@20000"}));
  EXPECT_EQ(scheduler.Now(), Milliseconds(30));
  EXPECT_FALSE(scheduler.NextDeadline());
}

TEST(Scheduler, HonoursTasksScheduledByARunningTaskWithinTheSameAdvance) {
  Scheduler scheduler;
  std::vector<Micros> times;
  std::function<void()> step = [&] {
    times.push_back(scheduler.Now());
    if (times.size() < 3) scheduler.Schedule(100, step);
  };
  scheduler.Schedule(100, step);
  scheduler.AdvanceTo(250);
  EXPECT_EQ(times, (std::vector<Micros>{100, 200}));
  scheduler.AdvanceTo(300);
  EXPECT_EQ(times, (std::vector<Micros>{100, 200, 300}));
}

TEST(Timer, TicksOneFullIntervalAfterEnablingOrANewInterval) {
  Scheduler scheduler;
  Timer timer("timYAZIRUSI", 500, scheduler);
  std::vector<Micros> ticks;
  timer.Tick = [&] { ticks.push_back(scheduler.Now()); };

  timer.SetEnabled(true);
  scheduler.AdvanceTo(Milliseconds(300));
  timer.SetEnabled(true);  // already enabled: changes nothing
  scheduler.AdvanceTo(Milliseconds(1100));
  EXPECT_EQ(ticks, (std::vector<Micros>{Milliseconds(500), Milliseconds(1000)}));

  timer.SetInterval(200);  // restarts the count from now
  scheduler.AdvanceTo(Milliseconds(1500));
  EXPECT_EQ(ticks.back(), Milliseconds(1500));
  EXPECT_EQ(ticks.size(), 4u);

  timer.SetEnabled(false);
  scheduler.AdvanceTo(Milliseconds(5000));
  EXPECT_EQ(ticks.size(), 4u);

  timer.SetInterval(0);
  timer.SetEnabled(true);
  scheduler.AdvanceTo(Milliseconds(9000));
  EXPECT_EQ(ticks.size(), 4u) << "an interval of 0 never ticks";
}

TEST(Timer, AHandlerThatDisablesItsTimerStopsFurtherTicks) {
  Scheduler scheduler;
  Timer timer("timEND", 9000, scheduler);
  int ticks = 0;
  timer.Tick = [&] {
    if (++ticks == 2) timer.SetEnabled(false);
  };
  timer.SetEnabled(true);
  scheduler.AdvanceTo(Milliseconds(60000));
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace shiori
