// Task timers on a virtual clock: armed timers fire when a test advances the clock past
// their due time, in time order (ties in the order they were armed), each through `tick`.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "push/TaskSchedule.h"

namespace vxtest {

class VirtualTaskTimers : public ITaskTimers {
public:
  std::function<void(uintptr_t)> tick;

  void Arm(IExecutable* task, unsigned periodMs) override {
    m_timers[TimerIdOf(task)] = {periodMs, m_now + periodMs, ++m_armings};
  }
  void Disarm(IExecutable* task) override { m_timers.erase(TimerIdOf(task)); }

  void AdvanceBy(uint64_t ms) {
    const uint64_t until = m_now + ms;
    while (auto due = NextDue(until)) {
      Timer& timer = m_timers[*due];
      m_now = timer.due;
      timer.due += timer.periodMs;
      tick(*due);
    }
    m_now = until;
  }

  uint64_t Now() const { return m_now; }
  size_t Count() const { return m_timers.size(); }
  std::optional<unsigned> PeriodOf(const IExecutable* task) const {
    const auto found = m_timers.find(TimerIdOf(task));
    if (found == m_timers.end()) return std::nullopt;
    return found->second.periodMs;
  }

private:
  struct Timer {
    unsigned periodMs;
    uint64_t due;
    uint64_t armedAs;
  };

  std::optional<uintptr_t> NextDue(uint64_t until) const {
    std::optional<uintptr_t> next;
    for (const auto& [id, timer] : m_timers) {
      if (timer.due > until) continue;
      const Timer* best = next ? &m_timers.at(*next) : nullptr;
      if (!best || std::make_pair(timer.due, timer.armedAs) < std::make_pair(best->due, best->armedAs)) next = id;
    }
    return next;
  }

  std::map<uintptr_t, Timer> m_timers;
  uint64_t m_now = 0;
  uint64_t m_armings = 0;
};

}  // namespace vxtest
