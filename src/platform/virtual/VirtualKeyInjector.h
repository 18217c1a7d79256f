#pragma once

#include "platform/KeyInjector.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom::platform {

// The injector beside the virtual keyboard: every synthesised key becomes a
// line in the keyboard's log ("key down 0x42 injected") and goes nowhere
// else, so keyloom's own keys never come back to its hook. Thread-safe.
class VirtualKeyInjector : public IKeyInjector {
 public:
  explicit VirtualKeyInjector(VirtualKeyboard& keyboard) : keyboard_(keyboard) {}

  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;

 private:
  VirtualKeyboard& keyboard_;
};

}  // namespace keyloom::platform
