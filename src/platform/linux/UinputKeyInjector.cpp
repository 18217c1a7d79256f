#include "platform/linux/UinputKeyInjector.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/linux/KeyTable.h"
#include "platform/linux/PermissionHint.h"

namespace keyloom::platform::linux_input {

UinputKeyInjector::~UinputKeyInjector() {
  if (uinput_) {
    std::lock_guard lock(mutex_);
    for (int code : held_) Write(EV_KEY, code, 0);
    if (!held_.empty()) {
      Write(EV_SYN, SYN_REPORT, 0);
      // Readers lose what they have not read once the node goes; give them
      // a moment to take the releases.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    held_.clear();
    libevdev_uinput_destroy(uinput_);
  }
  if (fd_ >= 0) close(fd_);
  if (dev_) libevdev_free(dev_);
}

bool UinputKeyInjector::Create() {
  if (uinput_) return true;
  const int fd = open("/dev/uinput", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) ReportAccessDenied("/dev/uinput");
    return false;
  }
  dev_ = libevdev_new();
  libevdev_set_name(dev_, kDeviceName);
  libevdev_set_id_bustype(dev_, BUS_VIRTUAL);
  libevdev_enable_event_type(dev_, EV_KEY);
  int count = 0;
  const KeyRow* rows = KeyRows(&count);
  for (int i = 0; i < count; ++i) libevdev_enable_event_code(dev_, EV_KEY, rows[i].evdev, nullptr);
  // libevdev does not own a descriptor it is handed; the destructor closes it.
  fd_ = fd;
  ioctl(fd_, UI_SET_PHYS, "keyloom/injector");
  if (libevdev_uinput_create_from_device(dev_, fd_, &uinput_) != 0) {
    uinput_ = nullptr;
    return false;
  }
  return true;
}

void UinputKeyInjector::KeybdEvent(uint8_t vk, uint8_t, uint32_t flags, uintptr_t) {
  const int code = EvdevFromVirtualKey(vk, (flags & KEYEVENTF_EXTENDEDKEY) != 0);
  if (code == 0 || !uinput_) return;
  std::lock_guard lock(mutex_);
  if (flags & KEYEVENTF_KEYUP) {
    // A release of a key this device never pressed changes nothing in the
    // kernel either; send it anyway, it costs nothing.
    held_.erase(code);
    Write(EV_KEY, code, 0);
  } else {
    // A second press of a held key is what auto-repeat looks like.
    const bool repeat = !held_.insert(code).second;
    Write(EV_KEY, code, repeat ? 2 : 1);
  }
  Write(EV_SYN, SYN_REPORT, 0);
}

uint32_t UinputKeyInjector::MapVirtualKey(uint32_t code, uint32_t mapType) {
  if (mapType != MAPVK_VK_TO_VSC) return 0;
  return MapVirtualKeyToScanCode(code);
}

void UinputKeyInjector::Write(int type, int code, int value) {
  libevdev_uinput_write_event(uinput_, type, code, value);
}

}  // namespace keyloom::platform::linux_input
