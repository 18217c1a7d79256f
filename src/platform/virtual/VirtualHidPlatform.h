#pragma once

#include <map>
#include <mutex>

#include "platform/HidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom::platform {

// The HID platform as the virtual keyboard presents it: its three interfaces
// are listed while it is plugged in, and handles die when it is unplugged.
class VirtualHidPlatform : public HidPlatform {
 public:
  explicit VirtualHidPlatform(VirtualKeyboard& keyboard);

  bool ListInterfaces(HidInterfaceList& list) override;
  HidHandle Open(const std::wstring& path, uint32_t accessMode) override;
  bool Close(HidHandle handle) override;
  bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
  bool GetCaps(HidHandle handle, HidCaps& caps) override;
  bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) override;
  bool GetFeature(HidHandle handle, uint8_t* data, size_t length) override;
  HidWriteStart BeginWrite(HidHandle handle, const uint8_t* data, size_t length) override;
  bool WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) override;

  // Handles currently open (for tests that check nothing leaks).
  size_t OpenHandles() const;

 private:
  struct Handle {
    int interface = -1;
    uint64_t generation = 0;
    bool readWrite = false;
    uint64_t pendingTicket = 0;
    uint32_t pendingBytes = 0;
  };
  // The live handle record, or false when the handle is unknown or belongs
  // to an earlier plug-in.
  bool Lookup(HidHandle handle, Handle& record) const;

  VirtualKeyboard& keyboard_;
  mutable std::mutex mutex_;
  std::map<HidHandle, Handle> handles_;
  HidHandle nextHandle_ = 0x100;
};

}  // namespace keyloom::platform
