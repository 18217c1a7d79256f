#pragma once

#include <QObject>
#include <memory>

#include "platform/KeyboardHookSource.h"
#include "platform/linux/LowLevelTranslator.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom::platform {

// The low-level hook over the virtual keyboard's typing. Each key typed on it
// (VirtualKeyboard::TypeKey, the control pipe's down/up/tap) becomes the
// record a real keyboard's key would give (virtual-key code, scan code,
// extended flag, Alt rules, the time it was typed), is queued to the thread
// that installed the hook and handed to the hook procedure from its event
// loop, in typing order. The verdict is never late, so nothing carries
// kPassedOnFlag. The log gets the key's fate: "passed" or "swallowed".
// Without an installed hook, typed keys pass; once installed, the source
// keeps queueing them until it is destroyed, so keys typed around an
// Uninstall keep their order.
class VirtualHookSource : public IKeyboardHookSource {
 public:
  explicit VirtualHookSource(VirtualKeyboard& keyboard);
  ~VirtualHookSource() override;
  VirtualHookSource(const VirtualHookSource&) = delete;
  VirtualHookSource& operator=(const VirtualHookSource&) = delete;

  bool Install(int hookType, HookProcedure procedure) override;
  bool Uninstall() override;
  // No other hooks exist here: every event no listener consumed is delivered.
  intptr_t CallNext(int code, uint32_t message, KBDLLHOOKSTRUCT* event) override;

 private:
  void Deliver(uint32_t code, bool down, uint32_t timeMs);

  VirtualKeyboard& keyboard_;
  // Lives on the installing thread; typed keys are queued to it.
  std::unique_ptr<QObject> context_;
  HookProcedure procedure_;
  linux_input::LowLevelTranslator translator_;  // the installing thread's
};

}  // namespace keyloom::platform
