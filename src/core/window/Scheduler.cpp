#include "window/Scheduler.h"

namespace shiori {

Scheduler::TaskId Scheduler::Schedule(Micros delay, std::function<void()> task) {
  const TaskId id = next_id_++;
  const Micros due = now_ + (delay > 0 ? delay : 0);
  tasks_.emplace(std::make_pair(due, id), std::move(task));
  due_by_id_.emplace(id, due);
  return id;
}

void Scheduler::Cancel(TaskId id) {
  const auto found = due_by_id_.find(id);
  if (found == due_by_id_.end()) return;
  tasks_.erase({found->second, id});
  due_by_id_.erase(found);
}

std::optional<Micros> Scheduler::NextDeadline() const {
  if (tasks_.empty()) return std::nullopt;
  return tasks_.begin()->first.first;
}

void Scheduler::AdvanceTo(Micros time) {
  while (!tasks_.empty() && tasks_.begin()->first.first <= time) {
    auto first = tasks_.begin();
    const auto [due, id] = first->first;
    std::function<void()> task = std::move(first->second);
    tasks_.erase(first);
    due_by_id_.erase(id);
    if (due > now_) now_ = due;
    task();
  }
  if (time > now_) now_ = time;
}

}  // namespace shiori
