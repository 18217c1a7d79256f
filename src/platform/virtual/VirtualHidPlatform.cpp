#include "platform/virtual/VirtualHidPlatform.h"

namespace keyloom::platform {

VirtualHidPlatform::VirtualHidPlatform(VirtualKeyboard& keyboard) : keyboard_(keyboard) {}

bool VirtualHidPlatform::ListInterfaces(HidInterfaceList& list) {
  list = HidInterfaceList{};
  if (!keyboard_.Plugged()) return true;
  for (const VirtualInterface& iface : keyboard_.Interfaces()) {
    HidInterfaceEntry entry;
    entry.path = iface.path;
    list.interfaces.push_back(entry);
  }
  return true;
}

HidHandle VirtualHidPlatform::Open(const std::wstring& path, uint32_t accessMode) {
  const int interface = keyboard_.FindInterface(path);
  if (interface < 0 || !keyboard_.Plugged() || keyboard_.FailOpens()) return kInvalidHidHandle;
  std::lock_guard guard(mutex_);
  const HidHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{interface, keyboard_.Generation(), (accessMode & 0xFF000000u) != 0, 0, 0};
  return handle;
}

bool VirtualHidPlatform::Close(HidHandle handle) {
  std::lock_guard guard(mutex_);
  return handles_.erase(handle) == 1;
}

bool VirtualHidPlatform::Lookup(HidHandle handle, Handle& record) const {
  std::lock_guard guard(mutex_);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return false;
  record = it->second;
  return record.generation == keyboard_.Generation();
}

bool VirtualHidPlatform::GetAttributes(HidHandle handle, HidAttributes& attributes) {
  Handle record;
  if (!Lookup(handle, record)) return false;
  attributes = HidAttributes{VirtualKeyboard::kVendorId, VirtualKeyboard::kProductId,
                             VirtualKeyboard::kVersionNumber};
  return true;
}

bool VirtualHidPlatform::GetCaps(HidHandle handle, HidCaps& caps) {
  Handle record;
  if (!Lookup(handle, record)) return false;
  caps = keyboard_.Interfaces()[record.interface].caps;
  return true;
}

bool VirtualHidPlatform::SetFeature(HidHandle handle, const uint8_t* data, size_t length) {
  Handle record;
  if (!Lookup(handle, record) || !record.readWrite) return false;
  return keyboard_.ReceiveSetFeature(record.interface, data, length);
}

bool VirtualHidPlatform::GetFeature(HidHandle handle, uint8_t* data, size_t length) {
  Handle record;
  if (!Lookup(handle, record) || !record.readWrite) return false;
  return keyboard_.AnswerGetFeature(record.interface, data, length);
}

HidWriteStart VirtualHidPlatform::BeginWrite(HidHandle handle, const uint8_t* data, size_t length) {
  Handle record;
  if (!Lookup(handle, record) || !record.readWrite) return HidWriteStart{false, 0, kHidErrorInvalidHandle};
  uint64_t ticket = 0;
  switch (keyboard_.ReceiveWrite(record.interface, data, length, ticket)) {
    case VirtualKeyboard::WriteOutcome::Done:
      return HidWriteStart{true, static_cast<uint32_t>(length), 0};
    case VirtualKeyboard::WriteOutcome::Held: {
      std::lock_guard guard(mutex_);
      if (auto it = handles_.find(handle); it != handles_.end()) {
        it->second.pendingTicket = ticket;
        it->second.pendingBytes = static_cast<uint32_t>(length);
      }
      return HidWriteStart{false, 0, kHidErrorIoPending};
    }
    case VirtualKeyboard::WriteOutcome::Refused:
      break;
  }
  return HidWriteStart{false, 0, 31};  // the device refused the report
}

bool VirtualHidPlatform::WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) {
  uint64_t ticket = 0;
  {
    std::lock_guard guard(mutex_);
    const auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.pendingTicket == 0) return false;
    ticket = it->second.pendingTicket;
    bytes = it->second.pendingBytes;
    it->second.pendingTicket = 0;  // waited for once; a time-out abandons it
  }
  return keyboard_.WaitHeldWrite(ticket, timeoutMs);
}

size_t VirtualHidPlatform::OpenHandles() const {
  std::lock_guard guard(mutex_);
  return handles_.size();
}

}  // namespace keyloom::platform
