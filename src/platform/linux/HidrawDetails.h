#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HidPlatform.h"
#include "platform/linux/HidrawPaths.h"

struct udev;
struct udev_device;

namespace keyloom::platform {

// Everything keyloom wants to know about one hidraw node, read from sysfs.
struct HidrawDetails {
  std::string syspath;
  std::string devnode;
  HidrawIdentity identity;  // mi only for an interface of a composite device
  uint16_t versionNumber = 0;
  std::vector<HidCaps> collections;  // one per top-level collection

  std::vector<std::wstring> Paths() const;
};

// Reads the details of a hidraw udev device. False when it is not a HID
// device keyloom can name.
bool ReadHidrawDetails(udev_device* hidraw, HidrawDetails& details);

// The same for a device node such as /dev/hidraw3.
bool ReadHidrawDetails(udev* context, const std::string& devnode, HidrawDetails& details);

}  // namespace keyloom::platform
