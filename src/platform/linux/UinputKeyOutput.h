#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/KeyOutput.h"

struct libevdev;
struct libevdev_uinput;

namespace keyloom::platform::linux_input {

// A KeyOutput that is a uinput device: a keyboard's clone or keyloom's own
// virtual keyboard. Destroying it removes the device, and the kernel
// releases whatever it still held.
class UinputKeyOutput : public KeyOutput {
 public:
  // Creates the device described by libevdev's `dev` (name, ids, the event
  // types and codes enabled on it) on the open /dev/uinput descriptor
  // `uinputFd`, which it takes over either way; `phys` is its physical path.
  // Null when the kernel refuses.
  static std::unique_ptr<UinputKeyOutput> Create(libevdev* dev, int uinputFd, const char* phys);
  ~UinputKeyOutput() override;

  // The uinput descriptor: LED changes other programs make arrive here.
  int Fd() const { return fd_; }
  // /sys/devices/virtual/input/inputN of the device.
  std::string SysPath() const;

 private:
  UinputKeyOutput(const std::vector<int>& codes, int fd) : KeyOutput(codes), fd_(fd) {}
  void Write(const input_event& event) override;

  int fd_ = -1;
  libevdev_uinput* uinput_ = nullptr;
};

}  // namespace keyloom::platform::linux_input
