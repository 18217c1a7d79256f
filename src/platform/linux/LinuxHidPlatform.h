#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/HidPlatform.h"
#include "platform/linux/HidrawDetails.h"

struct udev;

namespace keyloom::platform {

// The system's HID devices through the kernel's hidraw nodes: hidapi lists
// them and carries the feature reports, udev and sysfs supply the details
// (USB interface, release number, report descriptor). Output reports go
// through a descriptor of their own on a helper thread (ReportWriter), so
// that a write the device never takes can be given up after its time-out
// while the hidapi handle stays free for feature reports. Until the kernel
// lets go of such a write, further writes to the device fail at once
// (kHidErrorBusy).
class LinuxHidPlatform : public HidPlatform {
 public:
  LinuxHidPlatform();
  ~LinuxHidPlatform() override;

  bool ListInterfaces(HidInterfaceList& list) override;
  HidHandle Open(const std::wstring& path, uint32_t accessMode) override;
  bool Close(HidHandle handle) override;
  bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
  bool GetCaps(HidHandle handle, HidCaps& caps) override;
  bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) override;
  bool GetFeature(HidHandle handle, uint8_t* data, size_t length) override;
  HidWriteStart BeginWrite(HidHandle handle, const uint8_t* data, size_t length) override;
  bool WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) override;

  struct Connection;

 private:
  std::shared_ptr<Connection> Find(HidHandle handle) const;
  bool ReadDetails(const std::string& devnode, HidrawDetails& details);
  // Under mutex_: lets go of the retired connections whose write is over.
  void ReapRetired();
  // Whether a closed connection to `devnode` still has a write in the kernel.
  bool RetiredWriteUnderWay(const std::string& devnode);

  // libudev objects may not be used by two threads at once.
  std::mutex udevMutex_;
  udev* udev_ = nullptr;
  bool hidapiReady_ = false;
  mutable std::mutex mutex_;
  std::map<HidHandle, std::shared_ptr<Connection>> connections_;
  // Closed while their write was still in the kernel; they go when it ends.
  std::vector<std::shared_ptr<Connection>> retired_;
  HidHandle nextHandle_ = 0x100;
};

}  // namespace keyloom::platform
