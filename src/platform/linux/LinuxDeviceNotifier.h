#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/DeviceNotifier.h"
#include "platform/linux/HidrawDetails.h"
#include "platform/linux/UeventMonitor.h"

class QSocketNotifier;

namespace keyloom::platform {

// Follows hidraw nodes coming and going through a uevent monitor, woken by a
// socket notifier on the UI thread (no polling). One arrival per device path
// of the node (one per top-level collection when it has several); a removal
// repeats the paths its arrival announced, remembered because the node's
// sysfs entries are gone by then.
class LinuxDeviceNotifier : public DeviceNotifier {
  Q_OBJECT
 public:
  // Reads the details of the hidraw node at a sysfs path.
  using DetailsReader = std::function<bool(const std::string& syspath, HidrawDetails& details)>;

  explicit LinuxDeviceNotifier(QObject* parent = nullptr);
  // For tests: no monitor, no scan of present devices; details come from
  // `reader`, events from HandleEvent.
  LinuxDeviceNotifier(DetailsReader reader, QObject* parent);
  ~LinuxDeviceNotifier() override;

  // False when the system offers no monitor; the notifier then stays silent.
  bool Active() const { return socket_ != nullptr; }

  // Handles one add or remove of a hidraw node.
  void HandleEvent(const linux_input::UeventMonitor::Event& event);

 private:
  void OnReadable();

  DetailsReader reader_;
  linux_input::UeventMonitor monitor_;
  QSocketNotifier* socket_ = nullptr;
  std::map<std::string, std::vector<std::wstring>> known_;  // syspath -> announced paths
};

}  // namespace keyloom::platform
