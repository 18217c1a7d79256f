#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keyloom::platform {

// What a hidraw device's sysfs path tells about it, e.g.
// /sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1A2B:3C4D.0005/hidraw/hidraw3
// names vendor 1A2B, product 3C4D on USB interface 1.
struct HidrawIdentity {
  int32_t vid = -1;
  int32_t pid = -1;
  int32_t mi = -1;  // -1 when the device is not on a USB interface
};

// Reads vendor, product and USB interface from the path alone, so that it
// also works for a device that has already left sysfs. False when the path
// has no HID device part ("bus:vendor:product.instance").
bool IdentityFromSysPath(const std::string& syspath, HidrawIdentity& identity);

// The device paths keyloom uses for one hidraw node:
//   hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3
// "&mi_XX" only for an interface of a composite USB device (mi >= 0),
// "&colXX" (1-based) only when the interface has more than one top-level
// collection: one path per collection then. The node follows the last '#'.
std::vector<std::wstring> HidrawPaths(const HidrawIdentity& identity, int collectionCount,
                                      const std::string& devnode);

// The device node at the end of such a path ("/dev/hidraw3"); empty when the
// path does not end in an absolute node path.
std::string DevnodeFromPath(const std::wstring& path);

// The 1-based collection number of such a path; 0 when it names none.
int CollectionFromPath(const std::wstring& path);

}  // namespace keyloom::platform
