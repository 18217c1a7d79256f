#pragma once

#include <mutex>
#include <set>

#include "platform/KeyInjector.h"

struct libevdev;
struct libevdev_uinput;

namespace keyloom::platform::linux_input {

// keybd_event on Linux: one virtual keyboard made through /dev/uinput that
// can press every key of the shared key table. Keys it still holds when it is
// destroyed are released first, so nothing stays pressed after keyloom stops.
class UinputKeyInjector : public IKeyInjector {
 public:
  // The name other programs see for the device.
  static constexpr const char* kDeviceName = "keyloom virtual keyboard";

  UinputKeyInjector() = default;
  ~UinputKeyInjector() override;
  UinputKeyInjector(const UinputKeyInjector&) = delete;
  UinputKeyInjector& operator=(const UinputKeyInjector&) = delete;

  // Creates the device; false when /dev/uinput cannot be used (a denied
  // access also prints the permission hint).
  bool Create();

  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;

 private:
  void Write(int type, int code, int value);

  std::mutex mutex_;
  libevdev* dev_ = nullptr;
  libevdev_uinput* uinput_ = nullptr;
  int fd_ = -1;
  std::set<int> held_;
};

}  // namespace keyloom::platform::linux_input
