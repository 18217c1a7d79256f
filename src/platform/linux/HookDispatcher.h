#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/KeyboardHookSource.h"

class QObject;

namespace keyloom::platform::linux_input {

// Carries key events from the thread that reads the devices to the thread
// that installed the hook, where the hook procedure runs from the event
// loop, and brings the verdict back. A verdict that does not come within the
// time-out counts as "pass on", as the system treats a slow low-level hook;
// the event is still delivered to the procedure later, in order, so a
// listener never misses a press or a release, but its late verdict is
// ignored.
class HookDispatcher {
 public:
  // Construct on the thread whose event loop shall run `procedure`.
  HookDispatcher(HookProcedure procedure, std::chrono::milliseconds timeout);
  ~HookDispatcher();
  HookDispatcher(const HookDispatcher&) = delete;
  HookDispatcher& operator=(const HookDispatcher&) = delete;

  // From the reading thread, one event at a time: the procedure's verdict,
  // or 0 after the time-out or once stopped.
  intptr_t Ask(uint32_t message, const KBDLLHOOKSTRUCT& event);

  // Any thread: every waiting and later Ask returns 0 at once; when called
  // on the procedure's thread, the procedure is not called again after it.
  void Stop();

  // Events whose verdict came too late (or never), since construction.
  uint64_t TimedOut() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::chrono::milliseconds timeout_;
  QObject* context_;
};

}  // namespace keyloom::platform::linux_input
