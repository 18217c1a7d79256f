#pragma once

#include <linux/input.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/UinputKeyOutput.h"

struct libevdev;

namespace keyloom::platform::linux_input {

// One event node of the configured keyboard, taken for keyloom alone
// (EVIOCGRAB), with a uinput clone of the same capabilities through which
// every event keyloom does not swallow goes on to the rest of the system,
// and through which keyloom's injected keys go while the hook holds the
// keyboard (so the desktop sees one key state).
// LED changes other programs make on the clone (Caps, Num, Scroll Lock) are
// written back to the real device.
//
// The clone has no EV_REP: the real keyboard's own auto-repeat events pass
// through it (the hook sees them as repeated key-downs, as on Windows), and
// a clone repeating on its own would double them.
// The physical-path text of every device keyloom makes through uinput; a
// node whose path starts with it is keyloom's own.
inline constexpr const char* kKeyloomPhysPrefix = "keyloom/";
inline constexpr const char* kClonePhys = "keyloom/clone";

class GrabbedKeyboard {
 public:
  enum class OpenResult { Grabbed, NotConfigured, Denied, Failed };

  ~GrabbedKeyboard();
  GrabbedKeyboard(const GrabbedKeyboard&) = delete;
  GrabbedKeyboard& operator=(const GrabbedKeyboard&) = delete;

  // Opens `node` and takes it when its input id carries the configured ids
  // and it reports keys keyloom knows.
  static OpenResult Open(const std::string& node, int32_t vid, int32_t pid,
                         std::unique_ptr<GrabbedKeyboard>* out);

  // The configured-keyboard test on an input id: a vid above 0 must equal,
  // a pid other than 0 must equal; vid 0 (or less) with pid 0 is no keyboard.
  static bool IdsMatch(int32_t vid, int32_t pid, int deviceVendor, int deviceProduct);

  const std::string& Node() const { return node_; }
  // /sys/devices/virtual/input/inputN of the clone.
  std::string CloneSysPath() const;
  int Fd() const;
  int CloneFd() const;
  // The clone, shared with the injector; it outlives this object while
  // someone still writes to it.
  std::shared_ptr<KeyOutput> Clone() const { return clone_; }
  bool NumLock() const { return numLock_; }

  // Appends every event waiting on the device; false when the device is gone.
  bool Read(std::vector<input_event>* events);

  // Takes LED changes from the clone to the real device.
  void ForwardLeds();

 private:
  GrabbedKeyboard() = default;

  std::string node_;
  int fd_ = -1;
  libevdev* dev_ = nullptr;
  std::shared_ptr<UinputKeyOutput> clone_;
  bool numLock_ = false;
};

}  // namespace keyloom::platform::linux_input
