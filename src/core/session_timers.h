// The window's timers, one row each: the core's name for it, the window's id, its period.
// The enum, the ids, the periods and the names all come from these rows. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/frame_pacer.h"

constexpr Millis kConnectTickMs = 500;
constexpr Millis kSendWaitMs = 3000;

// name, the window's id, period in ms (0: the core gives it when it arms the timer; the
// window waits at least USER_TIMER_MINIMUM). The order is the enum's.
#define TELVANE_TIMERS(X)     \
  X(Dots, 1, kConnectTickMs)  \
  X(Frame, 3, 0)              \
  X(SendWait, 4, kSendWaitMs) \
  X(ReadResume, 2, 0)         \
  X(Step, 5, 0)

enum class Timer : uint8_t {
#define TELVANE_TIMER_NAME(name, id, period) name,
  TELVANE_TIMERS(TELVANE_TIMER_NAME)
#undef TELVANE_TIMER_NAME
};

struct TimerRow {
  Timer timer;
  unsigned id;
  Millis period;
  const char* name;
};

inline constexpr TimerRow kTimerRows[] = {
#define TELVANE_TIMER_ROW(name, id, period) {Timer::name, id, period, #name},
    TELVANE_TIMERS(TELVANE_TIMER_ROW)
#undef TELVANE_TIMER_ROW
};
constexpr size_t kTimerCount = std::size(kTimerRows);

constexpr const TimerRow& RowOf(Timer timer) { return kTimerRows[static_cast<size_t>(timer)]; }

// A tick's id is not examined: one the program did not set ticks the dots.
constexpr Timer TimerOfId(uint64_t id) {
  for (const TimerRow& row : kTimerRows)
    if (row.id == id) return row.timer;
  return Timer::Dots;
}

constexpr bool TimerIdsDistinct() {
  for (size_t i = 0; i < kTimerCount; ++i) {
    if (kTimerRows[i].id == 0) return false;
    for (size_t j = i + 1; j < kTimerCount; ++j)
      if (kTimerRows[i].id == kTimerRows[j].id) return false;
  }
  return true;
}
static_assert(TimerIdsDistinct(), "a timer's id is non-zero and its own");
