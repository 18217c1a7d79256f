#pragma once

#include <string>

struct udev;
struct udev_monitor;

namespace keyloom::platform::linux_input {

// Arrival and removal of the devices of one kernel subsystem. Listens to
// udevd's events when udevd runs (its nodes then carry their final
// permissions); without udevd (containers, minimal systems) it listens to
// the kernel's own uevents, so hotplug still works.
class UeventMonitor {
 public:
  enum class Source { None, Udev, Kernel };
  struct Event {
    bool added = false;    // otherwise removed
    std::string devnode;   // "/dev/input/event3"; empty for devices without a node
    std::string syspath;
  };

  UeventMonitor() = default;
  ~UeventMonitor();
  UeventMonitor(const UeventMonitor&) = delete;
  UeventMonitor& operator=(const UeventMonitor&) = delete;

  // Starts listening; false when neither source can be opened.
  bool Open(const std::string& subsystem);
  Source ActiveSource() const { return source_; }

  // Descriptor to poll for readability; -1 when not open.
  int Fd() const;

  // One pending add or remove; false when none is pending (other actions,
  // such as "change", are consumed and skipped).
  bool Receive(Event* event);

  // Whether udevd runs on this system (its control socket exists).
  static bool UdevRunning();

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  Source source_ = Source::None;
};

}  // namespace keyloom::platform::linux_input
