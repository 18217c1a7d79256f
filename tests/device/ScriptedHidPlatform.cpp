#include "device/ScriptedHidPlatform.h"

namespace keyloom::test {

using platform::HidHandle;

void ScriptedHidPlatform::AddInterface(const std::wstring& path) { AddInterface(path, Device{}); }

void ScriptedHidPlatform::AddInterface(const std::wstring& path, Device device, platform::HidPathFetch fetch) {
  platform::HidInterfaceEntry entry;
  entry.path = path;
  entry.fetch = fetch;
  entry.interfaceFlags = 1;
  list.interfaces.push_back(entry);
  devices[path] = device;
}

bool ScriptedHidPlatform::ListInterfaces(platform::HidInterfaceList& out) {
  out = list;
  return listAvailable;
}

HidHandle ScriptedHidPlatform::Open(const std::wstring& path, uint32_t accessMode) {
  std::lock_guard guard(mutex_);
  HidHandle result = platform::kInvalidHidHandle;
  if (auto it = devices.find(path); it != devices.end() && it->second.opens) {
    result = next_++;
    open_[result] = path;
  }
  opens.push_back({path, accessMode, result});
  return result;
}

bool ScriptedHidPlatform::Close(HidHandle handle) {
  std::lock_guard guard(mutex_);
  closes.push_back(handle);
  return open_.erase(handle) == 1;
}

const ScriptedHidPlatform::Device* ScriptedHidPlatform::DeviceOf(HidHandle handle) const {
  const auto it = open_.find(handle);
  if (it == open_.end()) return nullptr;
  return &devices.at(it->second);
}

bool ScriptedHidPlatform::GetAttributes(HidHandle handle, platform::HidAttributes& attributes) {
  std::lock_guard guard(mutex_);
  const Device* device = DeviceOf(handle);
  if (!device) return false;
  attributes = device->attributes;
  return true;
}

bool ScriptedHidPlatform::GetCaps(HidHandle handle, platform::HidCaps& caps) {
  std::lock_guard guard(mutex_);
  const Device* device = DeviceOf(handle);
  if (!device || !device->capsReadable) return false;
  caps = device->caps;
  return true;
}

bool ScriptedHidPlatform::SetFeature(HidHandle handle, const uint8_t*, size_t) {
  bool known;
  {
    std::lock_guard guard(mutex_);
    ++featureCalls;
    known = open_.count(handle) == 1;
  }
  if (onTransfer) onTransfer("SetFeature");
  return known;
}

bool ScriptedHidPlatform::GetFeature(HidHandle handle, uint8_t*, size_t) {
  bool known;
  {
    std::lock_guard guard(mutex_);
    ++featureCalls;
    known = open_.count(handle) == 1;
  }
  if (onTransfer) onTransfer("GetFeature");
  return known;
}

platform::HidWriteStart ScriptedHidPlatform::BeginWrite(HidHandle handle, const uint8_t*, size_t length) {
  std::lock_guard guard(mutex_);
  writeLengths.push_back(length);
  if (open_.count(handle) == 0) return {false, 0, platform::kHidErrorInvalidHandle};
  switch (writeMode) {
    case WriteMode::CompleteAtOnce: return {true, static_cast<uint32_t>(length), 0};
    case WriteMode::PendingThenDone:
    case WriteMode::PendingPastTimeout: return {false, 0, platform::kHidErrorIoPending};
    case WriteMode::Fail: break;
  }
  return {false, 0, 31};
}

bool ScriptedHidPlatform::WaitWrite(HidHandle, uint32_t timeoutMs, uint32_t& bytes) {
  std::lock_guard guard(mutex_);
  waitTimeouts.push_back(timeoutMs);
  if (writeMode != WriteMode::PendingThenDone) return false;
  bytes = static_cast<uint32_t>(writeLengths.back());
  return true;
}

}  // namespace keyloom::test
