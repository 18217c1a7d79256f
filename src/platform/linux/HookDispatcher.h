#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/KeyboardHookSource.h"

class QObject;

namespace keyloom::platform::linux_input {

// One physical key of one event node. A key's press, auto-repeats and
// release share it even when their records differ (the keypad's virtual key
// follows NumLock, which may change while the key is held).
struct HookKey {
  int source = 0;  // the event node, as the reader names it
  int code = 0;    // evdev key code
  auto operator<=>(const HookKey&) const = default;
};

// Carries key events from the thread that reads the devices to the thread
// that installed the hook, where the hook procedure runs from the event
// loop, and brings the verdict back.
//
// A key has one fate from its press to its release: swallowed or passed on.
// Only the press is asked, and the reader waits for that answer; a verdict
// that does not come within the time-out counts as "pass on", as the system
// treats a slow low-level hook. The auto-repeats and the release then take
// the press's fate at once, without waiting for the procedure, whatever it
// answers to them. Every event still reaches the procedure, in order, so a
// listener never misses a press or a release (one that swallowed a press
// sees its release as an ordinary event). A key the procedure had no say
// about (its press timed out, or went by before keyloom took the keyboard)
// reaches it with kPassedOnFlag on every event. A procedure that has begun
// on a press before the time-out is waited for: what it decided is what
// happens to the key.
class HookDispatcher {
 public:
  // Construct on the thread whose event loop shall run `procedure`.
  HookDispatcher(HookProcedure procedure, std::chrono::milliseconds timeout);
  ~HookDispatcher();
  HookDispatcher(const HookDispatcher&) = delete;
  HookDispatcher& operator=(const HookDispatcher&) = delete;

  // From the reading thread, one event at a time, in the order they
  // happened: non-zero when the event is swallowed. A key-down of a key not
  // held is a press and is asked; later key-downs of it are auto-repeats.
  // A release of a key not held (pressed before keyloom took the keyboard,
  // or forgotten) passes on. Once stopped, everything passes at once.
  intptr_t Ask(HookKey key, uint32_t message, const KBDLLHOOKSTRUCT& event);

  // Reading thread: the keys of `source` are gone with its device (and its
  // clone, which released whatever it held).
  void Forget(int source);

  // Any thread: every waiting and later Ask returns 0 at once; when called
  // on the procedure's thread, the procedure is not called again after it.
  void Stop();

  // Presses whose verdict came too late (or never), since construction.
  uint64_t TimedOut() const;

 private:
  struct Shared;
  intptr_t AskPress(uint32_t message, const KBDLLHOOKSTRUCT& event, bool* answered);
  void Deliver(uint64_t sequence, bool passedOn, uint32_t message, const KBDLLHOOKSTRUCT& event);

  std::shared_ptr<Shared> shared_;
  std::chrono::milliseconds timeout_;
  QObject* context_;
  enum class Fate { Swallowed, Passed, PassedUnasked };
  std::map<HookKey, Fate> held_;  // reading thread only
};

}  // namespace keyloom::platform::linux_input
