#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/HidPlatform.h"

namespace keyloom::test {

// A HID platform whose interfaces and answers a test writes down, and which
// records what the code under test asked of it.
class ScriptedHidPlatform : public platform::HidPlatform {
 public:
  struct Device {
    bool opens = true;
    platform::HidAttributes attributes;
    bool capsReadable = true;
    platform::HidCaps caps;
  };
  enum class WriteMode { CompleteAtOnce, PendingThenDone, PendingPastTimeout, Fail };

  // Script
  bool listAvailable = true;
  platform::HidInterfaceList list;
  std::map<std::wstring, Device> devices;  // by path
  WriteMode writeMode = WriteMode::CompleteAtOnce;
  std::function<void(const char* operation)> onTransfer;  // runs inside SetFeature/GetFeature

  void AddInterface(const std::wstring& path);
  void AddInterface(const std::wstring& path, Device device,
                    platform::HidPathFetch fetch = platform::HidPathFetch::Ok);

  // Record
  struct OpenCall {
    std::wstring path;
    uint32_t accessMode;
    platform::HidHandle result;
  };
  std::vector<OpenCall> opens;
  std::vector<platform::HidHandle> closes;
  std::vector<size_t> writeLengths;
  std::vector<uint32_t> waitTimeouts;
  int featureCalls = 0;

  bool ListInterfaces(platform::HidInterfaceList& out) override;
  platform::HidHandle Open(const std::wstring& path, uint32_t accessMode) override;
  bool Close(platform::HidHandle handle) override;
  bool GetAttributes(platform::HidHandle handle, platform::HidAttributes& attributes) override;
  bool GetCaps(platform::HidHandle handle, platform::HidCaps& caps) override;
  bool SetFeature(platform::HidHandle handle, const uint8_t* data, size_t length) override;
  bool GetFeature(platform::HidHandle handle, uint8_t* data, size_t length) override;
  platform::HidWriteStart BeginWrite(platform::HidHandle handle, const uint8_t* data, size_t length) override;
  bool WaitWrite(platform::HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) override;

 private:
  const Device* DeviceOf(platform::HidHandle handle) const;

  std::mutex mutex_;
  std::map<platform::HidHandle, std::wstring> open_;
  platform::HidHandle next_ = 0x40;
};

}  // namespace keyloom::test
