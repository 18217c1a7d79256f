#pragma once

#include <cstdint>

namespace keyloom::platform::linux_input {

// One key as both worlds name it: the Windows-style virtual-key code the rest
// of keyloom speaks, the Linux evdev code (KEY_*), the PC set-1 scan code
// without its E0 prefix, and whether the system reports the key as extended
// (the E0-prefixed keys: right Ctrl and Alt, the dedicated navigation block,
// keypad Enter and divide, NumLock, PrintScreen, the Windows keys, media keys).
struct KeyRow {
  std::uint8_t vk;
  std::uint16_t evdev;
  std::uint8_t scan;
  bool extended;
};

// The row of an evdev key code as the hook reports it with NumLock on; null
// for codes keyloom has no virtual-key code for.
const KeyRow* FindKeyByEvdev(int evdevCode);

// The row for a keypad key while NumLock is off, when the keypad acts as
// navigation keys (KP7 reports VK_HOME, not extended); null for other codes.
const KeyRow* FindKeypadNavigationByEvdev(int evdevCode);

// The evdev code that injecting virtual key `vk` presses; `extended` picks the
// right-hand variant of VK_CONTROL and VK_MENU and the keypad's Enter for
// VK_RETURN. 0 when the key has no evdev equivalent.
int EvdevFromVirtualKey(std::uint32_t vk, bool extended);

// MapVirtualKeyW(vk, 0): the set-1 scan code of a virtual key (without the E0
// prefix), 0 for an unknown key. Generic VK_SHIFT, VK_CONTROL and VK_MENU map
// to their left-hand keys.
std::uint32_t MapVirtualKeyToScanCode(std::uint32_t vk);

// Every row, for code that must advertise or check the whole key set (the
// injector's capabilities, the table tests).
const KeyRow* KeyRows(int* count);

}  // namespace keyloom::platform::linux_input
