#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyboardHookSource.h"

// A compact notation for key traffic, so a test case is one readable line:
//
//   "+ShiftLeft +A -A -ShiftLeft"   press Shift, type A, release Shift
//   "+A 150ms -A"                   a wait of 150 ms between two events
//
// A token is a sign, a key and optional flags after a colon:
//   +  key down (WM_KEYDOWN)          -  key up (WM_KEYUP)
//   ~  a message that is neither (0)
//   key: a name of KeyTrafficName ("A", "F5", "CtrlLeft", "VolumeUp"), or a
//        number ("17", "0xAF")
//   flags: s  system message (WM_SYSKEYDOWN / WM_SYSKEYUP)
//          x  extended key (LLKHF_EXTENDED; for injected keys KEYEVENTF_EXTENDEDKEY)
//          i  injected by some program (LLKHF_INJECTED)
//          p  already passed on by the hook source (kPassedOnFlag)
//          m  carries keyloom's own extra information (0xFFFFFFFF)
//          r  scan code with bit 0x200
// For injected events the formatter adds "u" when keyloom's extra
// information is missing and "scan?" when the scan code is not the one
// MapVirtualKey gives, so a plain "+B -B" also says both were right.
namespace keyloom::platform {

struct InjectedEvent;

struct KeyTrafficItem {
  int waitMs = -1;  // >= 0: a wait token, nothing else is set
  uint32_t message = 0;
  KBDLLHOOKSTRUCT event;
};

struct KeyTrafficParse {
  std::vector<KeyTrafficItem> items;  // empty when `error` is set
  std::string error;                  // names the first token not understood
  bool ok() const { return error.empty(); }
};

// A token the notation does not know (a misspelt key, an unknown flag, a
// wait that is not a number) makes the whole text an error: a typo must not
// silently shorten a scenario.
KeyTrafficParse ParseKeyTraffic(std::string_view text);

std::string FormatKeyTrafficItem(const KeyTrafficItem& item);
std::string FormatInjected(const std::vector<InjectedEvent>& events);

// The name the notation uses for a virtual-key code ("0x0C" for codes
// without one), and back.
std::string KeyTrafficName(uint32_t vk);
bool KeyTrafficCode(std::string_view name, uint32_t* vk);

// The set-1 scan code of a virtual key as the test backends map it (0 when
// they know none).
uint32_t TestScanCode(uint32_t vk);

}  // namespace keyloom::platform
