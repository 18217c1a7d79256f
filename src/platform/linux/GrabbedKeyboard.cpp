#include "platform/linux/GrabbedKeyboard.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/linux/KeyTable.h"

namespace keyloom::platform::linux_input {
namespace {

bool HasKnownKey(libevdev* dev) {
  if (!libevdev_has_event_type(dev, EV_KEY)) return false;
  int count = 0;
  const KeyRow* rows = KeyRows(&count);
  for (int i = 0; i < count; ++i) {
    if (libevdev_has_event_code(dev, EV_KEY, rows[i].evdev)) return true;
  }
  return false;
}

// A clone made by keyloom (this process or another instance starting up)
// carries the keyboard's ids too; it is never taken again.
bool IsKeyloomDevice(libevdev* dev) {
  const char* phys = libevdev_get_phys(dev);
  return phys && std::strncmp(phys, kKeyloomPhysPrefix, std::strlen(kKeyloomPhysPrefix)) == 0;
}

}  // namespace

GrabbedKeyboard::~GrabbedKeyboard() {
  // Destroying the clone makes the kernel release whatever it still holds
  // (once the injector, should it be writing, lets go of it as well).
  clone_.reset();
  if (dev_) {
    libevdev_grab(dev_, LIBEVDEV_UNGRAB);
    libevdev_free(dev_);
  }
  if (fd_ >= 0) close(fd_);
}

bool GrabbedKeyboard::IdsMatch(int32_t vid, int32_t pid, int deviceVendor, int deviceProduct) {
  if (vid <= 0 && pid == 0) return false;
  if (vid > 0 && deviceVendor != vid) return false;
  if (pid != 0 && deviceProduct != pid) return false;
  return true;
}

GrabbedKeyboard::OpenResult GrabbedKeyboard::Open(const std::string& node, int32_t vid,
                                                  int32_t pid,
                                                  std::unique_ptr<GrabbedKeyboard>* out) {
  std::unique_ptr<GrabbedKeyboard> keyboard(new GrabbedKeyboard);
  keyboard->node_ = node;
  // Read-write: LED changes are written back to this node.
  keyboard->fd_ = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (keyboard->fd_ < 0) {
    return (errno == EACCES || errno == EPERM) ? OpenResult::Denied : OpenResult::Failed;
  }
  if (libevdev_new_from_fd(keyboard->fd_, &keyboard->dev_) != 0) {
    keyboard->dev_ = nullptr;
    return OpenResult::Failed;
  }
  libevdev* dev = keyboard->dev_;
  if (!IdsMatch(vid, pid, libevdev_get_id_vendor(dev), libevdev_get_id_product(dev)) ||
      !HasKnownKey(dev) || IsKeyloomDevice(dev)) {
    return OpenResult::NotConfigured;
  }
  if (libevdev_grab(dev, LIBEVDEV_GRAB) != 0) return OpenResult::Failed;
  // Event times on the monotonic clock give the hook a tick-count-like time.
  libevdev_set_clock_id(dev, CLOCK_MONOTONIC);
  keyboard->numLock_ = libevdev_get_event_value(dev, EV_LED, LED_NUML) != 0;

  const int cloneFd = open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (cloneFd < 0) {
    return (errno == EACCES || errno == EPERM) ? OpenResult::Denied : OpenResult::Failed;
  }
  // The clone is made from libevdev's view of the device, with EV_REP left
  // out (see the class comment); the view itself is only used for that.
  libevdev_disable_event_type(dev, EV_REP);
  keyboard->clone_ = UinputKeyOutput::Create(dev, cloneFd, kClonePhys);
  if (!keyboard->clone_) return OpenResult::Failed;
  *out = std::move(keyboard);
  return OpenResult::Grabbed;
}

std::string GrabbedKeyboard::CloneSysPath() const { return clone_ ? clone_->SysPath() : ""; }

int GrabbedKeyboard::Fd() const { return fd_; }

int GrabbedKeyboard::CloneFd() const { return clone_ ? clone_->Fd() : -1; }

bool GrabbedKeyboard::Read(std::vector<input_event>* events) {
  unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
  for (;;) {
    input_event event{};
    const int status = libevdev_next_event(dev_, flags, &event);
    if (status == -EAGAIN) {
      if (flags == LIBEVDEV_READ_FLAG_SYNC) {
        flags = LIBEVDEV_READ_FLAG_NORMAL;
        continue;
      }
      return true;
    }
    // Gone (unplugged) or broken: the caller lets go of the node.
    if (status < 0) return false;
    if (status == LIBEVDEV_READ_STATUS_SYNC) {
      // The kernel's buffer overflowed: libevdev replays the state changes
      // that were lost, and they go on like ordinary events.
      flags = LIBEVDEV_READ_FLAG_SYNC;
      if (event.type == EV_SYN && event.code == SYN_DROPPED) continue;
    }
    events->push_back(event);
  }
}

void GrabbedKeyboard::ForwardLeds() {
  input_event event{};
  while (read(CloneFd(), &event, sizeof event) == static_cast<ssize_t>(sizeof event)) {
    if (event.type != EV_LED) continue;
    if (event.code == LED_NUML) numLock_ = event.value != 0;
    libevdev_kernel_set_led_value(dev_, event.code,
                                  event.value ? LIBEVDEV_LED_ON : LIBEVDEV_LED_OFF);
  }
}

}  // namespace keyloom::platform::linux_input
