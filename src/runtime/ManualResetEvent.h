#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace keyloom {

// An event that stays signalled until reset, and that can be pulsed to
// release only the threads waiting at that moment.
class ManualResetEvent {
 public:
  void Set();
  void Reset();
  // Releases the current waiters and leaves the event unsignalled.
  void Pulse();
  bool IsSet() const;

  // True when the event was signalled (or pulsed) before the deadline.
  bool WaitUntil(std::chrono::steady_clock::time_point deadline);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
  uint64_t pulses_ = 0;
};

}  // namespace keyloom
