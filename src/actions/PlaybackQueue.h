#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "macros/MacroStep.h"
#include "runtime/ISimpleThread.h"

namespace keyloom {

// One key event waiting to be played. A cancel on the UI thread may turn it
// into an immediate key up while the worker is playing it, so the state
// (read when the key is sent) and the delay (read when the sleep starts)
// are atomic.
struct QueuedStep {
  explicit QueuedStep(const MacroStep& step) : code(step.code), state(step.state), delay(step.delay) {}

  const uint32_t code;
  std::atomic<uint32_t> state;
  std::atomic<uint32_t> delay;
};

// The key events waiting for the worker thread, guarded by the user lock of
// the SimpleThread. Grows on the UI thread, shrinks on the worker; the step
// being played stays first until it is finished.
class PlaybackQueue {
 public:
  explicit PlaybackQueue(ISimpleThread& thread) : thread_(thread) {}

  // Appends a copy under the lock and wakes the worker.
  void Append(const MacroStep& step);
  bool IsEmpty();
  size_t Size();
  // Whether the last waiting step has this code, state and delay.
  bool LastEquals(const MacroStep& step);
  // The step to play; null when none. It stays valid until PopFront.
  QueuedStep* Front();
  void PopFront();
  // Turns every waiting step, the one being played included, into a key up
  // without delay and ends a delay being slept. False when nothing waited.
  bool CancelAll();
  // For tests and the playback: a copy of what waits, in order.
  std::vector<MacroStep> Snapshot();

 private:
  class Guard;

  ISimpleThread& thread_;
  // Pointers, so the step being played keeps its address while others are
  // appended.
  std::deque<std::unique_ptr<QueuedStep>> steps_;
};

}  // namespace keyloom
