#include "runtime/ManualResetEvent.h"

namespace keyloom {

void ManualResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  changed_.notify_all();
}

void ManualResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

void ManualResetEvent::Pulse() {
  {
    std::lock_guard lock(mutex_);
    ++pulses_;
  }
  changed_.notify_all();
}

bool ManualResetEvent::IsSet() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

bool ManualResetEvent::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  const uint64_t pulsesAtStart = pulses_;
  return changed_.wait_until(lock, deadline,
                             [&] { return signalled_ || pulses_ != pulsesAtStart; });
}

}  // namespace keyloom
