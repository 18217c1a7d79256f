#include "platform/linux/LinuxDeviceNotifier.h"

#include <libudev.h>

#include <QSocketNotifier>

#include "platform/linux/HidrawPaths.h"

namespace keyloom::platform {
namespace {

bool ReadFromSysfs(const std::string& syspath, HidrawDetails& details) {
  udev* context = udev_new();
  if (!context) return false;
  udev_device* device = udev_device_new_from_syspath(context, syspath.c_str());
  const bool ok = device && ReadHidrawDetails(device, details);
  if (device) udev_device_unref(device);
  udev_unref(context);
  return ok;
}

// Remembers the nodes present now, so that their removal can be named later.
std::map<std::string, std::vector<std::wstring>> PresentNodes() {
  std::map<std::string, std::vector<std::wstring>> present;
  udev* context = udev_new();
  if (!context) return present;
  if (udev_enumerate* scan = udev_enumerate_new(context)) {
    udev_enumerate_add_match_subsystem(scan, "hidraw");
    udev_enumerate_scan_devices(scan);
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan)) {
      HidrawDetails details;
      if (ReadFromSysfs(udev_list_entry_get_name(entry), details)) present[details.syspath] = details.Paths();
    }
    udev_enumerate_unref(scan);
  }
  udev_unref(context);
  return present;
}

}  // namespace

LinuxDeviceNotifier::LinuxDeviceNotifier(QObject* parent) : DeviceNotifier(parent), reader_(ReadFromSysfs) {
  if (!monitor_.Open("hidraw")) return;
  known_ = PresentNodes();
  socket_ = new QSocketNotifier(monitor_.Fd(), QSocketNotifier::Read, this);
  connect(socket_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

LinuxDeviceNotifier::LinuxDeviceNotifier(DetailsReader reader, QObject* parent)
    : DeviceNotifier(parent), reader_(std::move(reader)) {}

LinuxDeviceNotifier::~LinuxDeviceNotifier() { delete socket_; }

void LinuxDeviceNotifier::OnReadable() {
  linux_input::UeventMonitor::Event event;
  while (monitor_.Receive(&event)) HandleEvent(event);
}

void LinuxDeviceNotifier::HandleEvent(const linux_input::UeventMonitor::Event& event) {
  if (event.added) {
    HidrawDetails details;
    if (!reader_(event.syspath, details)) return;
    const std::vector<std::wstring> paths = details.Paths();
    known_[event.syspath] = paths;
    for (const std::wstring& path : paths) emit deviceChanged(DeviceChange::Arrival, QString::fromStdWString(path));
    return;
  }
  std::vector<std::wstring> paths;
  if (const auto it = known_.find(event.syspath); it != known_.end()) {
    paths = it->second;
    known_.erase(it);
  } else {
    // Never seen arriving: name it from its sysfs path, which the event
    // still carries.
    HidrawIdentity identity;
    if (!IdentityFromSysPath(event.syspath, identity)) return;
    paths = HidrawPaths(identity, 1, event.devnode);
  }
  for (const std::wstring& path : paths) {
    emit deviceChanged(DeviceChange::RemoveComplete, QString::fromStdWString(path));
  }
}

}  // namespace keyloom::platform
