#pragma once

#include <functional>
#include <optional>
#include <string>

#include "window/Scheduler.h"

namespace shiori {

// A window timer (`timBGM`, `timEND`, `timYAZIRUSI`). Enabling a disabled timer, or setting the interval of an
// enabled one, makes it tick one full interval later and then every interval; enabling an enabled timer changes
// nothing; disabling it cancels the pending tick. An interval of 0 never ticks.
class Timer {
 public:
  Timer(std::string name, int interval_ms, Scheduler& scheduler);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  [[nodiscard]] int interval() const { return interval_ms_; }

  void SetEnabled(bool enabled);
  void SetInterval(int interval_ms);

  // The tick handler; runs with the timer already rescheduled for its next tick.
  std::function<void()> Tick;

 private:
  void Arm();
  void Disarm();
  void Fire();

  std::string name_;
  int interval_ms_;
  bool enabled_ = false;
  Scheduler& scheduler_;
  std::optional<Scheduler::TaskId> pending_;
};

}  // namespace shiori
