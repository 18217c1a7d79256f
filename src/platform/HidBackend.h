#pragma once

#include <QObject>
#include <memory>

#include "platform/DeviceNotifier.h"
#include "platform/HidPlatform.h"

namespace keyloom::platform {

class VirtualKeyboard;

// True when KEYLOOM_VIRTUAL_KEYBOARD is "1": keyloom then talks to the
// in-process virtual keyboard instead of the system's HID devices.
bool VirtualKeyboardSelected();

// The process's HID platform, chosen on first use: the virtual keyboard when
// selected (logging to the file KEYLOOM_VIRTUAL_KEYBOARD_LOG names, if any),
// the system's hidraw devices otherwise. Never freed.
HidPlatform& DefaultHidPlatform();

// The virtual keyboard behind DefaultHidPlatform, or null when the system's
// devices are in use.
VirtualKeyboard* DefaultVirtualKeyboard();

// Device-change notifications from the same backend as DefaultHidPlatform,
// delivered on the calling thread. Create it on the UI thread. With the
// virtual keyboard, KEYLOOM_VIRTUAL_KEYBOARD_CONTROL may name a pipe through
// which the keyboard is unplugged and plugged back while keyloom runs.
std::unique_ptr<DeviceNotifier> CreateDeviceNotifier(QObject* parent = nullptr);

}  // namespace keyloom::platform
