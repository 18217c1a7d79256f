#pragma once

#include <cstdint>

#include "platform/KeyboardHookSource.h"

namespace keyloom {

// A listener of the global keyboard hook. It gets pointers to the values the
// hook received (it may change what later listeners see) and returns
// non-zero to consume the event.
class IKeyboardHookListener {
 public:
  virtual ~IKeyboardHookListener() = default;
  virtual int OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) = 0;
};

inline bool IsKeyDownMessage(uint32_t message) {
  return message == platform::WM_KEYDOWN || message == platform::WM_SYSKEYDOWN;
}
inline bool IsKeyUpMessage(uint32_t message) {
  return message == platform::WM_KEYUP || message == platform::WM_SYSKEYUP;
}

}  // namespace keyloom
