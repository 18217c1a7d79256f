#pragma once

#include <cstdint>

namespace keyloom {

// Milliseconds that only move forward, and a way to sleep on them. Tests
// pass their own to drive pacing without waiting.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual int64_t NowMs() = 0;
  virtual void SleepMs(int64_t milliseconds) = 0;
};

// The system's monotonic clock; never freed.
MonotonicClock& SystemMonotonicClock();

}  // namespace keyloom
