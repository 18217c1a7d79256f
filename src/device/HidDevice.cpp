#include "device/HidDevice.h"

#include <vector>

#include "device/FindHidDevices.h"
#include "device/NamedOperationLock.h"
#include "device/Trace.h"

namespace keyloom {
namespace {

using platform::HidHandle;
using platform::kInvalidHidHandle;
using platform::kNullHidHandle;

unsigned Hex32(HidHandle handle) { return static_cast<unsigned>(handle); }
unsigned Hex32(const void* address) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(address)); }

}  // namespace

HidDevice::HidDevice(platform::HidPlatform& platform) : platform_(platform) {}

bool HidDevice::IsOpen() const {
  const HidHandle handle = handle_.load();
  return handle != kNullHidHandle && handle != kInvalidHidHandle;
}

bool HidDevice::Open(uint32_t accessMode, const wchar_t* path) {
  NamedOperationLock lock("HidDevice::Open");
  if (path == nullptr) return false;
  const std::wstring target(path);

  if (const HidHandle old = handle_.exchange(kNullHidHandle); old != kNullHidHandle) platform_.Close(old);

  const HidHandle handle = platform_.Open(target, accessMode);
  handle_.store(handle);
  Trace("open dev: %08x\n", Hex32(handle));
  if (handle == kInvalidHidHandle || handle == kNullHidHandle) return false;

  // The capabilities come through a second, query-only handle.
  const HidHandle query = platform_.Open(target, platform::kHidShareRead | platform::kHidShareWrite);
  if (query != kInvalidHidHandle && query != kNullHidHandle) {
    platform::HidAttributes attributes;
    platform_.GetAttributes(query, attributes);
    DeviceCaps caps;
    if (platform_.GetCaps(query, caps)) {
      std::lock_guard guard(capsMutex_);
      caps_ = caps;
    }
    platform_.Close(query);
  }
  return true;
}

bool HidDevice::Open(int32_t vid, const int32_t* pids, int32_t pidCount, int32_t interface, int32_t collection,
                     uint32_t accessMode, uint16_t* versionNumber) {
  NamedOperationLock lock("HidDevice::Open");
  const std::vector<HidDeviceInfo> found = FindHidDevices(platform_, vid, pids, pidCount, interface, collection);
  if (found.empty()) return false;
  const bool opened = Open(accessMode, found.front().path);
  if (versionNumber) *versionNumber = found.front().versionNumber;
  return opened;
}

void HidDevice::Close() {
  NamedOperationLock lock("HidDevice::Close");
  const HidHandle handle = handle_.load();
  if (handle == kNullHidHandle) return;
  // Only a close that worked forgets the handle. A failed open's value is
  // handed to the platform like any other, which refuses it.
  HidHandle expected = handle;
  if (platform_.Close(handle)) handle_.compare_exchange_strong(expected, kNullHidHandle);
}

int HidDevice::Write(const uint8_t* buffer) {
  NamedOperationLock lock("HidDevice::Write");
  if (buffer == nullptr) return 0;
  int length = kReportLength;
  const uint16_t outputLength = Caps().outputReportByteLength;
  if (outputLength != 0 && outputLength < kReportLength) length = outputLength;

  const HidHandle handle = handle_.load();
  Trace("写(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", Hex32(handle), Hex32(buffer),
        kReportLength, static_cast<int>(kWriteTimeoutMs));
  Trace("正在写入... %d\n", length);

  int written = 0;
  const platform::HidWriteStart start = platform_.BeginWrite(handle, buffer, static_cast<size_t>(length));
  if (start.completed) {
    written = static_cast<int>(start.bytes);
  } else {
    Trace("写文件错误(%04x,%d)\n", Hex32(handle), static_cast<int>(start.error));
    if (start.error == platform::kHidErrorIoPending) {
      uint32_t bytes = 0;
      if (platform_.WaitWrite(handle, kWriteTimeoutMs, bytes)) {
        Trace("asynchronous write succeed : %d\n", static_cast<int>(handle));
        written = static_cast<int>(bytes);
      } else {
        Trace("超时索引错误\n");
      }
    }
  }
  Trace("已写长度为 %d\n", written);
  return written;
}

bool HidDevice::GetFeature(uint8_t* buffer) {
  NamedOperationLock lock("HidDevice::GetFeature");
  const HidHandle handle = handle_.load();
  if (buffer == nullptr || handle == kNullHidHandle) return false;
  return platform_.GetFeature(handle, buffer, kReportLength);
}

bool HidDevice::SetFeature(const uint8_t* buffer) {
  NamedOperationLock lock("HidDevice::SetFeature");
  const HidHandle handle = handle_.load();
  if (buffer == nullptr || handle == kNullHidHandle) return false;
  return platform_.SetFeature(handle, buffer, kReportLength);
}

DeviceCaps HidDevice::Caps() const {
  std::lock_guard guard(capsMutex_);
  return caps_;
}

}  // namespace keyloom
