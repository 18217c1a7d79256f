#include "platform/virtual/VirtualKeyInjector.h"

#include "platform/linux/KeyTable.h"

namespace keyloom::platform {

void VirtualKeyInjector::KeybdEvent(uint8_t vk, uint8_t, uint32_t flags, uintptr_t) {
  if (vk == 0) return;
  const uint32_t code = vk | ((flags & KEYEVENTF_EXTENDEDKEY) ? 0x100u : 0u);
  keyboard_.LogKey(code, (flags & KEYEVENTF_KEYUP) == 0, "injected");
}

uint32_t VirtualKeyInjector::MapVirtualKey(uint32_t code, uint32_t mapType) {
  return mapType == MAPVK_VK_TO_VSC ? linux_input::MapVirtualKeyToScanCode(code) : 0;
}

}  // namespace keyloom::platform
