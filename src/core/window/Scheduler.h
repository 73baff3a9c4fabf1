#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace shiori {

// Time in the core, in microseconds since start-up. The typewriter's pacing is counted in 100-microsecond passes,
// so milliseconds would be too coarse.
using Micros = std::int64_t;

constexpr Micros Milliseconds(std::int64_t ms) { return ms * 1000; }

// Holds every timed thing of the core: the ticks of the window's timers and the typewriter's per-character delay.
// A shell tells it what time it is; nothing here sleeps or busy-waits. Tasks that fall due at the same instant run
// in the order they were scheduled.
class Scheduler {
 public:
  using TaskId = std::uint64_t;

  [[nodiscard]] Micros Now() const { return now_; }

  // Runs `task` once, `delay` after now. The id cancels it.
  TaskId Schedule(Micros delay, std::function<void()> task);
  void Cancel(TaskId id);

  // The time the next task falls due, if any.
  [[nodiscard]] std::optional<Micros> NextDeadline() const;

  // Moves the clock forward to `time`, running every task that falls due on the way, in time order, each at its
  // own instant (the clock reads the task's time while it runs). Tasks scheduled by a running task are honoured
  // when they fall due before `time`. A `time` in the past runs what is due and leaves the clock where it is.
  void AdvanceTo(Micros time);

 private:
  // Ordered by due time, then by the order of scheduling.
  std::map<std::pair<Micros, TaskId>, std::function<void()>> tasks_;
  std::map<TaskId, Micros> due_by_id_;
  Micros now_ = 0;
  TaskId next_id_ = 1;
};

}  // namespace shiori
