#include "platform/linux/LowLevelTranslator.h"

#include <linux/input-event-codes.h>

#include "platform/linux/KeyTable.h"

namespace keyloom::platform::linux_input {

bool LowLevelTranslator::Translate(int evdevCode, int value, uint32_t timeMs, bool numLock,
                                   LowLevelKey* out) {
  if (value < 0 || value > 2) return false;
  const KeyRow* row = numLock ? nullptr : FindKeypadNavigationByEvdev(evdevCode);
  if (!row) row = FindKeyByEvdev(evdevCode);
  if (!row) return false;

  const bool down = value != 0;
  switch (evdevCode) {
    case KEY_LEFTALT: leftAlt_ = down; break;
    case KEY_RIGHTALT: rightAlt_ = down; break;
    case KEY_LEFTCTRL: leftCtrl_ = down; break;
    case KEY_RIGHTCTRL: rightCtrl_ = down; break;
    default: break;
  }

  const bool system = !CtrlHeld() && (AltHeld() || row->vk == 0x79 /* F10 */);
  LowLevelKey key;
  if (down) {
    key.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
  } else {
    key.message = system ? WM_SYSKEYUP : WM_KEYUP;
  }
  key.event.vkCode = row->vk;
  key.event.scanCode = row->scan;
  key.event.flags = (row->extended ? LLKHF_EXTENDED : 0u) | (AltHeld() ? LLKHF_ALTDOWN : 0u) |
                    (down ? 0u : LLKHF_UP);
  key.event.time = timeMs;
  key.event.dwExtraInfo = 0;
  *out = key;
  return true;
}

void LowLevelTranslator::Reset() {
  leftAlt_ = rightAlt_ = leftCtrl_ = rightCtrl_ = false;
}

}  // namespace keyloom::platform::linux_input
