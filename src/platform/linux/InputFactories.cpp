// The Linux backend's answers to the factories of KeyInjector.h, Shell.h and
// KeyboardHookSource.h. With the virtual keyboard selected, keys come from it
// and injected keys go to its log, so neither the keyboard nor /dev/uinput is
// needed.
#include <memory>

#include "platform/HidBackend.h"
#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/Shell.h"
#include "platform/linux/EvdevHookSource.h"
#include "platform/linux/LinuxShell.h"
#include "platform/linux/UinputKeyInjector.h"
#include "platform/virtual/VirtualHookSource.h"
#include "platform/virtual/VirtualKeyInjector.h"

namespace keyloom::platform {
namespace {

// Asked only when selected, so the real devices' backend is not set up here.
VirtualKeyboard* SelectedVirtualKeyboard() { return VirtualKeyboardSelected() ? DefaultVirtualKeyboard() : nullptr; }

}  // namespace

std::unique_ptr<IKeyInjector> CreateKeyInjector(IKeyboardHookSource* hook) {
  if (VirtualKeyboard* keyboard = SelectedVirtualKeyboard()) return std::make_unique<VirtualKeyInjector>(*keyboard);
  // The evdev hook offers its clones; any other source has none to offer.
  auto injector = std::make_unique<linux_input::UinputKeyInjector>(
      dynamic_cast<const linux_input::ICloneOutputs*>(hook));
  if (!injector->Create()) return nullptr;
  return injector;
}

std::unique_ptr<IShell> CreateShell() { return std::make_unique<linux_input::LinuxShell>(); }

std::unique_ptr<IKeyboardHookSource> CreateKeyboardHookSource(int32_t vid, int32_t pid) {
  if (VirtualKeyboard* keyboard = SelectedVirtualKeyboard()) return std::make_unique<VirtualHookSource>(*keyboard);
  return std::make_unique<linux_input::EvdevHookSource>(vid, pid);
}

}  // namespace keyloom::platform
