#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "platform/KeyboardHookSource.h"

namespace keyloom::platform::linux_input {

// One evdev key event as a low-level hook reports it.
struct LowLevelKey {
  uint32_t message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
  KBDLLHOOKSTRUCT event;
};

// Turns evdev key events of one keyboard into low-level hook records, keeping
// the modifier state the message and flag rules depend on:
// - Alt (either side) held, Ctrl not held: WM_SYSKEYDOWN / WM_SYSKEYUP, also
//   for the Alt key itself going down; Alt's own release is WM_KEYUP unless
//   the other Alt is still held.
// - F10 without Ctrl is a system key on its own.
// - LLKHF_ALTDOWN whenever an Alt is held after the event.
// - An auto-repeat (value 2) is another key down.
// The keypad follows NumLock as the system does: with NumLock off its digits
// report the navigation keys.
//
// Modifier state is shared by all sources (the event nodes of one keyboard's
// interfaces), as the system's key state is: Alt on one interface makes a
// key of another a system key.
class LowLevelTranslator {
 public:
  // False (and `out` untouched) for codes without a virtual-key code and for
  // values other than 0, 1 and 2; the caller passes such events on unasked.
  bool Translate(int evdevCode, int value, uint32_t timeMs, bool numLock, LowLevelKey* out,
                 int source = 0);

  // Forgets the modifiers `source` held (its device went away).
  void Forget(int source);

 private:
  bool Held(int evdevCode) const;

  std::set<std::pair<int, int>> heldModifiers_;  // (source, evdev code)
};

}  // namespace keyloom::platform::linux_input
