#pragma once

#include "platform/DeviceNotifier.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom::platform {

// Passes the virtual keyboard's unplug and plug-in events on. They are queued
// to the notifier's thread, so they arrive from its event loop like the
// system's would, whichever thread unplugged the keyboard.
class VirtualDeviceNotifier : public DeviceNotifier {
  Q_OBJECT
 public:
  explicit VirtualDeviceNotifier(VirtualKeyboard& keyboard, QObject* parent = nullptr);
  ~VirtualDeviceNotifier() override;

 private:
  VirtualKeyboard& keyboard_;
  int listener_;
};

}  // namespace keyloom::platform
