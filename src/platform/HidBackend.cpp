#include "platform/HidBackend.h"

#include <cstdlib>
#include <cstring>

#include "platform/linux/LinuxDeviceNotifier.h"
#include "platform/linux/LinuxHidPlatform.h"
#include "platform/virtual/VirtualDeviceNotifier.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboardControl.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom::platform {
namespace {

struct Backend {
  VirtualKeyboard* keyboard = nullptr;
  HidPlatform* platform = nullptr;
};

Backend& TheBackend() {
  static Backend* backend = [] {
    auto* chosen = new Backend;
    if (VirtualKeyboardSelected()) {
      const char* log = std::getenv("KEYLOOM_VIRTUAL_KEYBOARD_LOG");
      chosen->keyboard = new VirtualKeyboard(log ? log : "");
      chosen->platform = new VirtualHidPlatform(*chosen->keyboard);
    } else {
      chosen->platform = new LinuxHidPlatform;
    }
    return chosen;
  }();
  return *backend;
}

}  // namespace

bool VirtualKeyboardSelected() {
  const char* value = std::getenv("KEYLOOM_VIRTUAL_KEYBOARD");
  return value && std::strcmp(value, "1") == 0;
}

HidPlatform& DefaultHidPlatform() { return *TheBackend().platform; }

VirtualKeyboard* DefaultVirtualKeyboard() { return TheBackend().keyboard; }

std::unique_ptr<DeviceNotifier> CreateDeviceNotifier(QObject* parent) {
  if (VirtualKeyboard* keyboard = TheBackend().keyboard) {
    auto notifier = std::make_unique<VirtualDeviceNotifier>(*keyboard, parent);
    // The control pipe lives as long as the notifier, on the same thread.
    if (const char* pipe = std::getenv("KEYLOOM_VIRTUAL_KEYBOARD_CONTROL"); pipe && *pipe) {
      new VirtualKeyboardControl(*keyboard, pipe, notifier.get());
    }
    return notifier;
  }
  return std::make_unique<LinuxDeviceNotifier>(parent);
}

}  // namespace keyloom::platform
