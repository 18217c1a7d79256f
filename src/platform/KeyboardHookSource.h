#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The system's global low-level keyboard hook, in the shape the rest of the
// program reasons in: every key event of the desktop arrives as the triple
// (hook code, message, event record) of a Windows low-level keyboard hook,
// and the hook procedure's answer decides whether the event goes on.
namespace keyloom::platform {

// Hook types.
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_KEYBOARD_LL = 13;

// Hook code of an ordinary event.
inline constexpr int HC_ACTION = 0;

// Messages.
inline constexpr uint32_t WM_KEYDOWN = 0x100;
inline constexpr uint32_t WM_KEYUP = 0x101;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x104;
inline constexpr uint32_t WM_SYSKEYUP = 0x105;

// Bits of KBDLLHOOKSTRUCT::flags.
inline constexpr uint32_t LLKHF_EXTENDED = 0x01;
inline constexpr uint32_t LLKHF_INJECTED = 0x10;
inline constexpr uint32_t LLKHF_ALTDOWN = 0x20;
inline constexpr uint32_t LLKHF_UP = 0x80;

// keyloom's own bit in KBDLLHOOKSTRUCT::flags, which no system sets: the
// event has already gone on to the rest of the system, because the verdict
// on its key's press came too late or that press went on. The procedure still
// receives it, so that a listener can follow which keys are down, but its
// answer changes nothing, and a listener must not act on the event as on one
// it consumes (the desktop has the key already).
inline constexpr uint32_t kPassedOnFlag = 0x10000;

// One key event.
struct KBDLLHOOKSTRUCT {
  uint32_t vkCode = 0;    // virtual-key code, 1..254
  uint32_t scanCode = 0;  // PC set-1 scan code
  uint32_t flags = 0;     // LLKHF_*
  uint32_t time = 0;      // milliseconds, the system's tick count
  uintptr_t dwExtraInfo = 0;  // what the injecting program attached, else 0
};

// Called for every event, on the thread that installed the hook, in the
// order the events happened. Non-zero: the event is swallowed (nobody else
// sees it); zero: the event goes on to the rest of the system. An event that
// carries kPassedOnFlag has gone on already, whatever the answer.
using HookProcedure =
    std::function<intptr_t(int code, uint32_t message, KBDLLHOOKSTRUCT* event)>;

class IKeyboardHookSource {
 public:
  virtual ~IKeyboardHookSource() = default;

  // SetWindowsHookExW: from now on `procedure` is called on the calling
  // thread (the UI thread, from its event loop) for every key event. False
  // when the hook type is not supported or the system refuses; a second
  // Install while installed replaces nothing and returns false.
  virtual bool Install(int hookType, HookProcedure procedure) = 0;

  // UnhookWindowsHookEx: no more calls after it returns. False when not
  // installed.
  virtual bool Uninstall() = 0;

  // CallNextHookEx: what the rest of the system's hook chain answers for an
  // event no listener consumed. Returning it from the procedure is the
  // normal way to let an event through; 0 means "deliver it".
  virtual intptr_t CallNext(int code, uint32_t message, KBDLLHOOKSTRUCT* event) = 0;
};

// The shipping backend's hook source, following the keyboard with these USB
// ids; null when the platform offers none. Defined by that backend.
std::unique_ptr<IKeyboardHookSource> CreateKeyboardHookSource(int32_t vid, int32_t pid);

}  // namespace keyloom::platform
