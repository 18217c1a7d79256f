// The Linux backend's answers to the factories of KeyInjector.h, Shell.h and
// KeyboardHookSource.h.
#include <memory>

#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/Shell.h"
#include "platform/linux/EvdevHookSource.h"
#include "platform/linux/LinuxShell.h"
#include "platform/linux/UinputKeyInjector.h"

namespace keyloom::platform {

std::unique_ptr<IKeyInjector> CreateKeyInjector(IKeyboardHookSource* hook) {
  // The evdev hook offers its clones; any other source has none to offer.
  auto injector = std::make_unique<linux_input::UinputKeyInjector>(
      dynamic_cast<const linux_input::ICloneOutputs*>(hook));
  if (!injector->Create()) return nullptr;
  return injector;
}

std::unique_ptr<IShell> CreateShell() { return std::make_unique<linux_input::LinuxShell>(); }

std::unique_ptr<IKeyboardHookSource> CreateKeyboardHookSource(int32_t vid, int32_t pid) {
  return std::make_unique<linux_input::EvdevHookSource>(vid, pid);
}

}  // namespace keyloom::platform
