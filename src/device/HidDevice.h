#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/HidPlatform.h"

namespace keyloom {

// The capability record of the open interface; keyloom uses the output
// report length, the rest is kept as read.
using DeviceCaps = platform::HidCaps;

// The program's one connection to the keyboard's HID interface. Every
// operation holds a lock named after it ("HidDevice::Open", "HidDevice::Close",
// "HidDevice::Write", "HidDevice::GetFeature", "HidDevice::SetFeature"), so
// operations of one kind are serialised across threads and processes while
// different kinds may overlap.
class HidDevice {
 public:
  static constexpr uint32_t kWriteTimeoutMs = 3000;
  static constexpr int kReportLength = 8;

  explicit HidDevice(platform::HidPlatform& platform);
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  // True when the handle is neither null nor the value of a failed open.
  bool IsOpen() const;

  // Opens `path` (null: false, nothing changes), closing the handle that is
  // open first. True when the new handle is valid; the capabilities are then
  // read afresh, and keep their old contents when they cannot be read.
  bool Open(uint32_t accessMode, const wchar_t* path);
  bool Open(uint32_t accessMode, const std::wstring& path) { return Open(accessMode, path.c_str()); }

  // Finds the interface as FindHidDevices does and opens the first match.
  // No match: false, the handle stays as it was. `versionNumber`, when given,
  // receives the first match's release number.
  bool Open(int32_t vid, const int32_t* pids, int32_t pidCount, int32_t interface, int32_t collection,
            uint32_t accessMode, uint16_t* versionNumber = nullptr);

  // Closes the handle when there is one; a second Close does nothing.
  void Close();

  // Writes an 8-byte output report (shortened to the interface's output
  // report length when that is smaller) and waits at most 3000 ms. Returns
  // the bytes written, 0 on failure or time-out. The buffer is not touched
  // after Write returns.
  int Write(const uint8_t* buffer);

  // 8-byte feature reports; buffer[0] is the report id. GetFeature replaces
  // the buffer with the device's report.
  bool GetFeature(uint8_t* buffer);
  bool SetFeature(const uint8_t* buffer);

  DeviceCaps Caps() const;
  platform::HidHandle Handle() const { return handle_.load(); }

 private:
  platform::HidPlatform& platform_;
  std::atomic<platform::HidHandle> handle_{platform::kNullHidHandle};
  mutable std::mutex capsMutex_;
  DeviceCaps caps_;
};

}  // namespace keyloom
