#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <variant>
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
//
// A macro repeated many times is not copied out on the key release: the
// queue keeps its steps once with the number of copies still to play, and
// the worker stores the next copy when it has taken the previous one. The
// hook's work and the memory held therefore do not grow with the repeat
// count, and every copy is played.
class PlaybackQueue {
 public:
  explicit PlaybackQueue(ISimpleThread& thread) : thread_(thread) {}

  // Appends a copy under the lock and wakes the worker.
  void Append(const MacroStep& step);
  // Queues `copies` copies of `steps` behind what waits and wakes the
  // worker. Only the first copy is stored now. Nothing for no steps or
  // copies <= 0.
  void AppendCopies(const std::vector<MacroStep>& steps, int64_t copies);
  bool IsEmpty();
  // Steps still to play, the copies not yet stored included.
  uint64_t Size();
  // Steps stored now: what the queue holds in memory.
  size_t StoredSize();
  // Whether the last waiting step has this code, state and delay.
  bool LastEquals(const MacroStep& step);
  // The step to play; null when none. When the copies of a repeated macro
  // come next, the next copy is stored first. It stays valid until PopFront.
  QueuedStep* Front();
  void PopFront();
  // Turns every waiting step, the one being played included, into a key up
  // without delay and ends a delay being slept. Copies of a macro not yet
  // stored become one key up for each key the macro uses: more copies of the
  // same key ups would change nothing and, for a large repeat count, keep
  // the worker busy long after the stop. False when nothing waited.
  bool CancelAll();
  // For tests and the playback: a copy of what waits, in order, the copies
  // not yet stored spelled out, at most `limit` steps.
  std::vector<MacroStep> Snapshot(size_t limit = std::numeric_limits<size_t>::max());

 private:
  class Guard;

  // Copies of a macro still to play after the stored steps before them.
  struct Copies {
    std::shared_ptr<const std::vector<MacroStep>> steps;  // never empty
    int64_t count = 0;                                    // > 0 while queued
  };
  // Pointers, so the step being played keeps its address while others are
  // appended or the queue is rebuilt by a cancel.
  using Entry = std::variant<std::unique_ptr<QueuedStep>, Copies>;

  ISimpleThread& thread_;
  std::deque<Entry> entries_;
};

}  // namespace keyloom
