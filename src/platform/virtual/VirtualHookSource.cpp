#include "platform/virtual/VirtualHookSource.h"

#include <QMetaObject>

#include "platform/linux/KeyTable.h"

namespace keyloom::platform {

VirtualHookSource::VirtualHookSource(VirtualKeyboard& keyboard) : keyboard_(keyboard) {}

VirtualHookSource::~VirtualHookSource() {
  // Detached first, so no typing thread posts to the context while it goes;
  // keys still queued go with it.
  if (context_) keyboard_.SetKeySink({});
  context_.reset();
}

bool VirtualHookSource::Install(int hookType, HookProcedure procedure) {
  if (hookType != WH_KEYBOARD_LL || !procedure || procedure_) return false;
  procedure_ = std::move(procedure);
  if (!context_) context_ = std::make_unique<QObject>();
  QObject* context = context_.get();
  keyboard_.SetKeySink([this, context](uint32_t code, bool down, uint32_t timeMs) {
    QMetaObject::invokeMethod(
        context, [this, code, down, timeMs] { Deliver(code, down, timeMs); }, Qt::QueuedConnection);
  });
  return true;
}

bool VirtualHookSource::Uninstall() {
  if (!procedure_) return false;
  // The sink stays: keys typed from now on take the same queue as those
  // typed before, so they keep their order, and pass.
  procedure_ = nullptr;
  return true;
}

intptr_t VirtualHookSource::CallNext(int, uint32_t, KBDLLHOOKSTRUCT*) { return 0; }

void VirtualHookSource::Deliver(uint32_t code, bool down, uint32_t timeMs) {
  // Translated as the Linux hook translates the real keyboard's keys, so
  // both report the same records (generic Shift as the left Shift, Alt
  // making system keys, the keypad with NumLock on).
  const int evdev = linux_input::EvdevFromVirtualKey(code & 0xFF, (code & 0x100) != 0);
  linux_input::LowLevelKey key;
  if (!translator_.Translate(evdev, down ? 1 : 0, timeMs, true, &key)) {
    keyboard_.LogKey(code, down, "passed");
    return;
  }
  const uint32_t seen = key.event.vkCode | ((key.event.flags & LLKHF_EXTENDED) ? 0x100u : 0u);
  bool swallowed = false;
  // A key queued before Uninstall arrives after it: nobody listens, it passes.
  if (procedure_) {
    // A copy: the procedure may uninstall the hook while it runs.
    const HookProcedure procedure = procedure_;
    swallowed = procedure(HC_ACTION, key.message, &key.event) != 0;
  }
  keyboard_.LogKey(seen, down, swallowed ? "swallowed" : "passed");
}

}  // namespace keyloom::platform
