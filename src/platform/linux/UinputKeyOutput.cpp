#include "platform/linux/UinputKeyOutput.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace keyloom::platform::linux_input {

std::unique_ptr<UinputKeyOutput> UinputKeyOutput::Create(libevdev* dev, int uinputFd,
                                                         const char* phys) {
  std::vector<int> codes;
  for (int code = 1; code < KEY_CNT; ++code) {
    if (libevdev_has_event_code(dev, EV_KEY, code)) codes.push_back(code);
  }
  // Made before the device, so that the descriptor is closed on failure.
  std::unique_ptr<UinputKeyOutput> output(new UinputKeyOutput(codes, uinputFd));
  ioctl(uinputFd, UI_SET_PHYS, phys);
  if (libevdev_uinput_create_from_device(dev, uinputFd, &output->uinput_) != 0) {
    output->uinput_ = nullptr;
    return nullptr;
  }
  return output;
}

UinputKeyOutput::~UinputKeyOutput() {
  if (uinput_) libevdev_uinput_destroy(uinput_);
  // libevdev does not close a descriptor it was handed.
  if (fd_ >= 0) close(fd_);
}

std::string UinputKeyOutput::SysPath() const {
  const char* path = uinput_ ? libevdev_uinput_get_syspath(uinput_) : nullptr;
  return path ? path : "";
}

void UinputKeyOutput::Write(const input_event& event) {
  libevdev_uinput_write_event(uinput_, event.type, event.code, event.value);
}

}  // namespace keyloom::platform::linux_input
