#pragma once

#include <cstdint>
#include <memory>

// Synthesised key events, in the shape of keybd_event.
namespace keyloom::platform {

// Bits of the flags argument of KeybdEvent.
inline constexpr uint32_t KEYEVENTF_EXTENDEDKEY = 0x1;
inline constexpr uint32_t KEYEVENTF_KEYUP = 0x2;

// Map type of MapVirtualKey: virtual-key code to scan code.
inline constexpr uint32_t MAPVK_VK_TO_VSC = 0;

// The extra information keyloom attaches to every key it synthesises, so
// that its own hook recognises and ignores them.
inline constexpr uintptr_t kKeyloomExtraInfo = 0xFFFFFFFF;

// Safe to call from any thread (the UI thread sends single keys, the worker
// thread plays macros); events leave in the order of the calls.
class IKeyInjector {
 public:
  virtual ~IKeyInjector() = default;

  // keybd_event: one key down (flags without KEYEVENTF_KEYUP) or up. The
  // system's hooks then see it with LLKHF_INJECTED set and `extraInfo` as
  // dwExtraInfo. Codes the backend cannot send are dropped silently.
  virtual void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) = 0;

  // MapVirtualKeyW: with MAPVK_VK_TO_VSC the set-1 scan code of a virtual
  // key; 0 when there is none or for another map type.
  virtual uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) = 0;
};

class IKeyboardHookSource;

// The shipping backend's injector; null when the platform offers none.
// `hook`, when given, is the hook source made by CreateKeyboardHookSource:
// where the platform's hook re-emits the keyboard's keys itself, injected
// keys then share that keyboard's key state. It must outlive the injector.
// Defined by that backend.
std::unique_ptr<IKeyInjector> CreateKeyInjector(IKeyboardHookSource* hook = nullptr);

}  // namespace keyloom::platform
