#include "window/Timer.h"

#include <utility>

namespace shiori {

Timer::Timer(std::string name, int interval_ms, Scheduler& scheduler)
    : name_(std::move(name)), interval_ms_(interval_ms), scheduler_(scheduler) {}

Timer::~Timer() { Disarm(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    Arm();
  } else {
    Disarm();
  }
}

void Timer::SetInterval(int interval_ms) {
  interval_ms_ = interval_ms;
  if (!enabled_) return;
  Disarm();
  Arm();
}

void Timer::Arm() {
  if (interval_ms_ <= 0) return;
  pending_ = scheduler_.Schedule(Milliseconds(interval_ms_), [this] { Fire(); });
}

void Timer::Disarm() {
  if (pending_) scheduler_.Cancel(*pending_);
  pending_.reset();
}

void Timer::Fire() {
  pending_.reset();
  Arm();
  if (Tick) Tick();
}

}  // namespace shiori
