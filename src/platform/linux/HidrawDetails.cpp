#include "platform/linux/HidrawDetails.h"

#include <libudev.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/linux/ReportDescriptor.h"

namespace keyloom::platform {
namespace {

long SysattrNumber(udev_device* device, const char* name, int base) {
  const char* text = device ? udev_device_get_sysattr_value(device, name) : nullptr;
  return text ? std::strtol(text, nullptr, base) : -1;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::wstring> HidrawDetails::Paths() const {
  return HidrawPaths(identity, static_cast<int>(collections.size()), devnode);
}

bool ReadHidrawDetails(udev_device* hidraw, HidrawDetails& details) {
  const char* syspath = udev_device_get_syspath(hidraw);
  const char* devnode = udev_device_get_devnode(hidraw);
  if (!syspath || !devnode) return false;
  HidrawDetails read;
  read.syspath = syspath;
  read.devnode = devnode;
  if (!IdentityFromSysPath(read.syspath, read.identity)) return false;

  // An interface number belongs in the path only when the USB device has
  // several interfaces, as composite devices are named elsewhere too.
  udev_device* usbDevice = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
  if (read.identity.mi >= 0 && SysattrNumber(usbDevice, "bNumInterfaces", 10) == 1) read.identity.mi = -1;
  const long bcd = SysattrNumber(usbDevice, "bcdDevice", 16);
  read.versionNumber = bcd < 0 ? 0 : static_cast<uint16_t>(bcd);

  if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr)) {
    const std::vector<uint8_t> descriptor = ReadFile(std::string(udev_device_get_syspath(hid)) + "/report_descriptor");
    read.collections = ParseTopLevelCollections(descriptor.data(), descriptor.size());
  }
  details = std::move(read);
  return true;
}

bool ReadHidrawDetails(udev* context, const std::string& devnode, HidrawDetails& details) {
  struct stat info {};
  if (!context || stat(devnode.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  udev_device* device = udev_device_new_from_devnum(context, 'c', info.st_rdev);
  if (!device) return false;
  const bool ok = ReadHidrawDetails(device, details);
  udev_device_unref(device);
  return ok;
}

}  // namespace keyloom::platform
