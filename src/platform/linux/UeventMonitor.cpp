#include "platform/linux/UeventMonitor.h"

#include <libudev.h>
#include <unistd.h>

#include <cstring>

namespace keyloom::platform::linux_input {

UeventMonitor::~UeventMonitor() {
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

bool UeventMonitor::UdevRunning() { return access("/run/udev/control", F_OK) == 0; }

bool UeventMonitor::Open(const std::string& subsystem) {
  if (monitor_) return true;
  udev_ = udev_new();
  if (!udev_) return false;
  // udevd re-broadcasts each event after it has made the node and set its
  // access; without udevd only the kernel's raw events exist.
  const bool udevd = UdevRunning();
  monitor_ = udev_monitor_new_from_netlink(udev_, udevd ? "udev" : "kernel");
  if (!monitor_) return false;
  udev_monitor_filter_add_match_subsystem_devtype(monitor_, subsystem.c_str(), nullptr);
  if (udev_monitor_enable_receiving(monitor_) != 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return false;
  }
  source_ = udevd ? Source::Udev : Source::Kernel;
  return true;
}

int UeventMonitor::Fd() const { return monitor_ ? udev_monitor_get_fd(monitor_) : -1; }

bool UeventMonitor::Receive(Event* event) {
  if (!monitor_) return false;
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    const char* action = udev_device_get_action(device);
    const char* node = udev_device_get_devnode(device);
    const char* syspath = udev_device_get_syspath(device);
    const bool add = action && std::strcmp(action, "add") == 0;
    const bool remove = action && std::strcmp(action, "remove") == 0;
    if (add || remove) {
      event->added = add;
      event->devnode = node ? node : "";
      event->syspath = syspath ? syspath : "";
      udev_device_unref(device);
      return true;
    }
    udev_device_unref(device);
  }
  return false;
}

}  // namespace keyloom::platform::linux_input
