#include "platform/linux/KeyTable.h"

#include <linux/input-event-codes.h>

#include <iterator>

namespace keyloom::platform::linux_input {
namespace {

// Evdev codes 1 to 88 are the set-1 scan codes of the same keys, which the
// rows below spell out anyway so the table reads on its own. Where two rows
// share an evdev code (VK_SHIFT and VK_LSHIFT), the hook reports the first:
// the left/right-specific code, as a low-level hook does.
constexpr KeyRow kRows[] = {
    // Modifiers: the hook reports the sided codes.
    {0xA0, KEY_LEFTSHIFT, 0x2A, false},
    {0xA1, KEY_RIGHTSHIFT, 0x36, false},
    {0xA2, KEY_LEFTCTRL, 0x1D, false},
    {0xA3, KEY_RIGHTCTRL, 0x1D, true},
    {0xA4, KEY_LEFTALT, 0x38, false},
    {0xA5, KEY_RIGHTALT, 0x38, true},
    {0x5B, KEY_LEFTMETA, 0x5B, true},
    {0x5C, KEY_RIGHTMETA, 0x5C, true},
    {0x5D, KEY_COMPOSE, 0x5D, true},
    {0x10, KEY_LEFTSHIFT, 0x2A, false},
    {0x11, KEY_LEFTCTRL, 0x1D, false},
    {0x12, KEY_LEFTALT, 0x38, false},
    // Main block.
    {0x1B, KEY_ESC, 0x01, false},
    {0x08, KEY_BACKSPACE, 0x0E, false},
    {0x09, KEY_TAB, 0x0F, false},
    {0x0D, KEY_ENTER, 0x1C, false},
    {0x14, KEY_CAPSLOCK, 0x3A, false},
    {0x20, KEY_SPACE, 0x39, false},
    {0x30, KEY_0, 0x0B, false},
    {0x31, KEY_1, 0x02, false},
    {0x32, KEY_2, 0x03, false},
    {0x33, KEY_3, 0x04, false},
    {0x34, KEY_4, 0x05, false},
    {0x35, KEY_5, 0x06, false},
    {0x36, KEY_6, 0x07, false},
    {0x37, KEY_7, 0x08, false},
    {0x38, KEY_8, 0x09, false},
    {0x39, KEY_9, 0x0A, false},
    {0x41, KEY_A, 0x1E, false},
    {0x42, KEY_B, 0x30, false},
    {0x43, KEY_C, 0x2E, false},
    {0x44, KEY_D, 0x20, false},
    {0x45, KEY_E, 0x12, false},
    {0x46, KEY_F, 0x21, false},
    {0x47, KEY_G, 0x22, false},
    {0x48, KEY_H, 0x23, false},
    {0x49, KEY_I, 0x17, false},
    {0x4A, KEY_J, 0x24, false},
    {0x4B, KEY_K, 0x25, false},
    {0x4C, KEY_L, 0x26, false},
    {0x4D, KEY_M, 0x32, false},
    {0x4E, KEY_N, 0x31, false},
    {0x4F, KEY_O, 0x18, false},
    {0x50, KEY_P, 0x19, false},
    {0x51, KEY_Q, 0x10, false},
    {0x52, KEY_R, 0x13, false},
    {0x53, KEY_S, 0x1F, false},
    {0x54, KEY_T, 0x14, false},
    {0x55, KEY_U, 0x16, false},
    {0x56, KEY_V, 0x2F, false},
    {0x57, KEY_W, 0x11, false},
    {0x58, KEY_X, 0x2D, false},
    {0x59, KEY_Y, 0x15, false},
    {0x5A, KEY_Z, 0x2C, false},
    // Punctuation, named after the US layout.
    {0xBA, KEY_SEMICOLON, 0x27, false},
    {0xBB, KEY_EQUAL, 0x0D, false},
    {0xBC, KEY_COMMA, 0x33, false},
    {0xBD, KEY_MINUS, 0x0C, false},
    {0xBE, KEY_DOT, 0x34, false},
    {0xBF, KEY_SLASH, 0x35, false},
    {0xC0, KEY_GRAVE, 0x29, false},
    {0xDB, KEY_LEFTBRACE, 0x1A, false},
    {0xDC, KEY_BACKSLASH, 0x2B, false},
    {0xDD, KEY_RIGHTBRACE, 0x1B, false},
    {0xDE, KEY_APOSTROPHE, 0x28, false},
    {0xE2, KEY_102ND, 0x56, false},
    // Function keys.
    {0x70, KEY_F1, 0x3B, false},
    {0x71, KEY_F2, 0x3C, false},
    {0x72, KEY_F3, 0x3D, false},
    {0x73, KEY_F4, 0x3E, false},
    {0x74, KEY_F5, 0x3F, false},
    {0x75, KEY_F6, 0x40, false},
    {0x76, KEY_F7, 0x41, false},
    {0x77, KEY_F8, 0x42, false},
    {0x78, KEY_F9, 0x43, false},
    {0x79, KEY_F10, 0x44, false},
    {0x7A, KEY_F11, 0x57, false},
    {0x7B, KEY_F12, 0x58, false},
    {0x7C, KEY_F13, 0x64, false},
    {0x7D, KEY_F14, 0x65, false},
    {0x7E, KEY_F15, 0x66, false},
    {0x7F, KEY_F16, 0x67, false},
    {0x80, KEY_F17, 0x68, false},
    {0x81, KEY_F18, 0x69, false},
    {0x82, KEY_F19, 0x6A, false},
    {0x83, KEY_F20, 0x6B, false},
    {0x84, KEY_F21, 0x6C, false},
    {0x85, KEY_F22, 0x6D, false},
    {0x86, KEY_F23, 0x6E, false},
    {0x87, KEY_F24, 0x76, false},
    // System keys above the navigation block.
    {0x2C, KEY_SYSRQ, 0x37, true},
    {0x91, KEY_SCROLLLOCK, 0x46, false},
    {0x13, KEY_PAUSE, 0x45, false},
    // Navigation block.
    {0x2D, KEY_INSERT, 0x52, true},
    {0x2E, KEY_DELETE, 0x53, true},
    {0x24, KEY_HOME, 0x47, true},
    {0x23, KEY_END, 0x4F, true},
    {0x21, KEY_PAGEUP, 0x49, true},
    {0x22, KEY_PAGEDOWN, 0x51, true},
    {0x25, KEY_LEFT, 0x4B, true},
    {0x26, KEY_UP, 0x48, true},
    {0x27, KEY_RIGHT, 0x4D, true},
    {0x28, KEY_DOWN, 0x50, true},
    // Keypad with NumLock on.
    {0x90, KEY_NUMLOCK, 0x45, true},
    {0x6F, KEY_KPSLASH, 0x35, true},
    {0x6A, KEY_KPASTERISK, 0x37, false},
    {0x6D, KEY_KPMINUS, 0x4A, false},
    {0x6B, KEY_KPPLUS, 0x4E, false},
    {0x60, KEY_KP0, 0x52, false},
    {0x61, KEY_KP1, 0x4F, false},
    {0x62, KEY_KP2, 0x50, false},
    {0x63, KEY_KP3, 0x51, false},
    {0x64, KEY_KP4, 0x4B, false},
    {0x65, KEY_KP5, 0x4C, false},
    {0x66, KEY_KP6, 0x4D, false},
    {0x67, KEY_KP7, 0x47, false},
    {0x68, KEY_KP8, 0x48, false},
    {0x69, KEY_KP9, 0x49, false},
    {0x6E, KEY_KPDOT, 0x53, false},
    {0x0D, KEY_KPENTER, 0x1C, true},
    {0x6C, KEY_KPCOMMA, 0x7E, false},
    {0x0C, KEY_CLEAR, 0x4C, false},
    // Browser keys.
    {0xA6, KEY_BACK, 0x6A, true},
    {0xA7, KEY_FORWARD, 0x69, true},
    {0xA8, KEY_REFRESH, 0x67, true},
    {0xA9, KEY_STOP, 0x68, true},
    {0xAA, KEY_SEARCH, 0x65, true},
    {0xAB, KEY_BOOKMARKS, 0x66, true},
    {0xAC, KEY_HOMEPAGE, 0x32, true},
    // Volume, media and launch keys.
    {0xAD, KEY_MUTE, 0x20, true},
    {0xAE, KEY_VOLUMEDOWN, 0x2E, true},
    {0xAF, KEY_VOLUMEUP, 0x30, true},
    {0xB0, KEY_NEXTSONG, 0x19, true},
    {0xB1, KEY_PREVIOUSSONG, 0x10, true},
    {0xB2, KEY_STOPCD, 0x24, true},
    {0xB3, KEY_PLAYPAUSE, 0x22, true},
    {0xB4, KEY_MAIL, 0x6C, true},
    {0xB5, KEY_MEDIA, 0x6D, true},
    {0xB6, KEY_COMPUTER, 0x6B, true},
    {0xB7, KEY_CALC, 0x21, true},
    {0x5F, KEY_SLEEP, 0x5F, true},
};

// With NumLock off the keypad digits and dot report the navigation keys,
// without the extended flag (the extended variants are the dedicated block).
constexpr KeyRow kKeypadNavigation[] = {
    {0x2D, KEY_KP0, 0x52, false}, {0x23, KEY_KP1, 0x4F, false},
    {0x28, KEY_KP2, 0x50, false}, {0x22, KEY_KP3, 0x51, false},
    {0x25, KEY_KP4, 0x4B, false}, {0x0C, KEY_KP5, 0x4C, false},
    {0x27, KEY_KP6, 0x4D, false}, {0x24, KEY_KP7, 0x47, false},
    {0x26, KEY_KP8, 0x48, false}, {0x21, KEY_KP9, 0x49, false},
    {0x2E, KEY_KPDOT, 0x53, false},
};

const KeyRow* FindIn(const KeyRow* begin, const KeyRow* end, int evdevCode) {
  for (const KeyRow* row = begin; row != end; ++row) {
    if (row->evdev == evdevCode) return row;
  }
  return nullptr;
}

}  // namespace

const KeyRow* FindKeyByEvdev(int evdevCode) {
  return FindIn(std::begin(kRows), std::end(kRows), evdevCode);
}

const KeyRow* FindKeypadNavigationByEvdev(int evdevCode) {
  return FindIn(std::begin(kKeypadNavigation), std::end(kKeypadNavigation), evdevCode);
}

int EvdevFromVirtualKey(std::uint32_t vk, bool extended) {
  if (vk > 0xFF) return 0;
  if (extended) {
    switch (vk) {
      case 0x0D: return KEY_KPENTER;
      case 0x11: return KEY_RIGHTCTRL;
      case 0x12: return KEY_RIGHTALT;
      default: break;
    }
  }
  // The first row of a virtual key is its main key (VK_RETURN's main Enter
  // comes before the keypad's).
  for (const KeyRow& row : kRows) {
    if (row.vk == vk) return row.evdev;
  }
  return 0;
}

std::uint32_t MapVirtualKeyToScanCode(std::uint32_t vk) {
  if (vk > 0xFF) return 0;
  for (const KeyRow& row : kRows) {
    if (row.vk == vk) return row.scan;
  }
  return 0;
}

const KeyRow* KeyRows(int* count) {
  if (count) *count = static_cast<int>(std::size(kRows));
  return kRows;
}

}  // namespace keyloom::platform::linux_input
