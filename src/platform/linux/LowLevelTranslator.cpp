#include "platform/linux/LowLevelTranslator.h"

#include <linux/input-event-codes.h>

#include <iterator>

#include "platform/linux/KeyTable.h"

namespace keyloom::platform::linux_input {

bool LowLevelTranslator::Translate(int evdevCode, int value, uint32_t timeMs, bool numLock,
                                   LowLevelKey* out, int source) {
  if (value < 0 || value > 2) return false;
  const KeyRow* row = numLock ? nullptr : FindKeypadNavigationByEvdev(evdevCode);
  if (!row) row = FindKeyByEvdev(evdevCode);
  if (!row) return false;

  const bool down = value != 0;
  if (evdevCode == KEY_LEFTALT || evdevCode == KEY_RIGHTALT || evdevCode == KEY_LEFTCTRL ||
      evdevCode == KEY_RIGHTCTRL) {
    if (down) {
      heldModifiers_.insert({source, evdevCode});
    } else {
      heldModifiers_.erase({source, evdevCode});
    }
  }
  const bool alt = Held(KEY_LEFTALT) || Held(KEY_RIGHTALT);
  const bool ctrl = Held(KEY_LEFTCTRL) || Held(KEY_RIGHTCTRL);

  const bool system = !ctrl && (alt || row->vk == 0x79 /* F10 */);
  LowLevelKey key;
  if (down) {
    key.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
  } else {
    key.message = system ? WM_SYSKEYUP : WM_KEYUP;
  }
  key.event.vkCode = row->vk;
  key.event.scanCode = row->scan;
  key.event.flags = (row->extended ? LLKHF_EXTENDED : 0u) | (alt ? LLKHF_ALTDOWN : 0u) |
                    (down ? 0u : LLKHF_UP);
  key.event.time = timeMs;
  key.event.dwExtraInfo = 0;
  *out = key;
  return true;
}

void LowLevelTranslator::Forget(int source) {
  for (auto it = heldModifiers_.begin(); it != heldModifiers_.end();) {
    it = it->first == source ? heldModifiers_.erase(it) : std::next(it);
  }
}

bool LowLevelTranslator::Held(int evdevCode) const {
  for (const auto& [source, code] : heldModifiers_) {
    if (code == evdevCode) return true;
  }
  return false;
}

}  // namespace keyloom::platform::linux_input
