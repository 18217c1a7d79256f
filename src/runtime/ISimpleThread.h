#pragma once

#include <chrono>
#include <cstdint>

namespace keyloom {

// What code running on the worker thread (and the code that feeds it) may
// ask of the SimpleThread it runs on.
class ISimpleThread {
 public:
  virtual ~ISimpleThread() = default;

  // The user lock: re-entrant for the thread that holds it, waits without
  // limit. Guards the main window's PlaybackQueue.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  // Waits up to `ms` for the stop event; returns early when it is signalled
  // (Stop leaves it signalled) or pulsed. False when cut short.
  virtual bool SleepInterruptible(uint32_t ms) = 0;

  // The same against an absolute deadline, so that a run of sleeps does not
  // add up the lateness of each wake-up.
  virtual bool SleepUntilInterruptible(std::chrono::steady_clock::time_point deadline) = 0;

  // Signals the stop event and resets it at once: a sleep in progress ends
  // now, later sleeps are not affected.
  virtual void PulseStopEvent() = 0;

  // The idle callback has (more) work: call it again without waiting. The
  // worker otherwise sleeps after an idle call until a runnable is queued,
  // Wake is called or the thread stops, so an idle program costs nothing.
  virtual void Wake() = 0;
};

}  // namespace keyloom
