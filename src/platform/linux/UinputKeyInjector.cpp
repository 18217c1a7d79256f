#include "platform/linux/UinputKeyInjector.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/linux/KeyTable.h"
#include "platform/linux/PermissionHint.h"
#include "platform/linux/UinputKeyOutput.h"

namespace keyloom::platform::linux_input {

UinputKeyInjector::~UinputKeyInjector() {
  // Readers lose what they have not read once the node goes; give them a
  // moment to take the releases.
  if (own_ && own_->ReleaseAll() > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kReleaseGraceMs));
  }
}

bool UinputKeyInjector::Create() {
  if (own_) return true;
  const int fd = open("/dev/uinput", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) ReportAccessDenied("/dev/uinput");
    return false;
  }
  libevdev* dev = libevdev_new();
  libevdev_set_name(dev, kDeviceName);
  libevdev_set_id_bustype(dev, BUS_VIRTUAL);
  libevdev_enable_event_type(dev, EV_KEY);
  int count = 0;
  const KeyRow* rows = KeyRows(&count);
  for (int i = 0; i < count; ++i) libevdev_enable_event_code(dev, EV_KEY, rows[i].evdev, nullptr);
  own_ = UinputKeyOutput::Create(dev, fd, "keyloom/injector");
  libevdev_free(dev);
  return own_ != nullptr;
}

void UinputKeyInjector::KeybdEvent(uint8_t vk, uint8_t, uint32_t flags, uintptr_t) {
  const int code = EvdevFromVirtualKey(vk, (flags & KEYEVENTF_EXTENDEDKEY) != 0);
  if (code == 0) return;
  std::lock_guard lock(mutex_);
  std::vector<std::shared_ptr<KeyOutput>> outputs;
  if (clones_) outputs = clones_->CloneOutputs();
  KeyOutput* target = nullptr;
  for (const auto& clone : outputs) {
    if (clone->IsDown(code)) {
      target = clone.get();
      break;
    }
  }
  if (!target && own_ && own_->IsDown(code)) target = own_.get();
  const bool up = (flags & KEYEVENTF_KEYUP) != 0;
  if (up) {
    if (target) target->Release(code);
    return;
  }
  for (size_t i = 0; !target && i < outputs.size(); ++i) {
    if (outputs[i]->Has(code)) target = outputs[i].get();
  }
  if (!target) target = own_.get();
  if (target) target->Press(code);
}

uint32_t UinputKeyInjector::MapVirtualKey(uint32_t code, uint32_t mapType) {
  if (mapType != MAPVK_VK_TO_VSC) return 0;
  return MapVirtualKeyToScanCode(code);
}

}  // namespace keyloom::platform::linux_input
