#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace keyloom::platform {

// The identifier of a device-interface class, laid out as the system writes it.
struct HidGuid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// The class that every HID device interface belongs to.
inline constexpr HidGuid kHidInterfaceClass{
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// How fetching an interface's path went.
enum class HidPathFetch {
  Ok,         // path holds the device path
  NoSize,     // the size query reported no required size
  Failed,     // the size was known but the path could not be fetched
};

// One present HID device interface, in enumeration order.
struct HidInterfaceEntry {
  HidGuid interfaceClass = kHidInterfaceClass;
  uint32_t interfaceFlags = 0;
  HidPathFetch fetch = HidPathFetch::Ok;
  std::wstring path;
};

struct HidInterfaceList {
  HidGuid interfaceClass = kHidInterfaceClass;
  std::vector<HidInterfaceEntry> interfaces;
};

struct HidAttributes {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t versionNumber = 0;
};

// The HID capability record of one top-level collection. Report lengths
// include the report id byte, as the system counts them.
struct HidCaps {
  uint16_t usage = 0;
  uint16_t usagePage = 0;
  uint16_t inputReportByteLength = 0;
  uint16_t outputReportByteLength = 0;
  uint16_t featureReportByteLength = 0;
};

// An open interface as the backend names it. 0 is "no handle"; -1 is what a
// failed open hands back. Values are never reused within a process, so an
// operation on a handle that was closed meanwhile fails instead of reaching
// another device.
using HidHandle = std::intptr_t;
inline constexpr HidHandle kNullHidHandle = 0;
inline constexpr HidHandle kInvalidHidHandle = -1;

// Access mode word: access rights in the top byte, share mode in the low byte.
inline constexpr uint32_t kHidAccessRead = 0x80000000u;
inline constexpr uint32_t kHidAccessWrite = 0x40000000u;
inline constexpr uint32_t kHidShareRead = 0x1u;
inline constexpr uint32_t kHidShareWrite = 0x2u;
inline constexpr uint32_t kHidReadWriteShared = 0xC0000003u;

// Error codes a write can report. Pending means the write was started and
// has to be waited for; every other value is a failure (backend-specific).
// Busy: an earlier write the device has not taken yet is still under way.
inline constexpr uint32_t kHidErrorInvalidHandle = 6;
inline constexpr uint32_t kHidErrorBusy = 170;
inline constexpr uint32_t kHidErrorIoPending = 997;

struct HidWriteStart {
  bool completed = false;  // the write finished at once
  uint32_t bytes = 0;      // bytes transferred when completed
  uint32_t error = 0;      // when not completed: kHidErrorIoPending or a failure
};

// The operations that discovery and the device handle need from the system.
// Implementations are thread-safe: different threads may use different
// handles, or the same handle for different operations, at the same time.
class HidPlatform {
 public:
  virtual ~HidPlatform() = default;

  // The present HID device interfaces; false when the list cannot be had.
  virtual bool ListInterfaces(HidInterfaceList& list) = 0;

  // Opens a device path with the access rights and share mode of the access
  // mode word; no access rights opens it for queries only (attributes and
  // capabilities). kInvalidHidHandle on failure.
  virtual HidHandle Open(const std::wstring& path, uint32_t accessMode) = 0;
  virtual bool Close(HidHandle handle) = 0;

  virtual bool GetAttributes(HidHandle handle, HidAttributes& attributes) = 0;
  virtual bool GetCaps(HidHandle handle, HidCaps& caps) = 0;

  // Feature reports; data[0] is the report id, `length` bytes are sent or
  // received.
  virtual bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) = 0;
  virtual bool GetFeature(HidHandle handle, uint8_t* data, size_t length) = 0;

  // Starts an output-report write. The backend takes its own copy of the
  // bytes before returning, so the caller's buffer is never read afterwards.
  virtual HidWriteStart BeginWrite(HidHandle handle, const uint8_t* data, size_t length) = 0;
  // Waits at most `timeoutMs` for the write that BeginWrite left pending.
  // True and the bytes transferred when it finished in time. On time-out the
  // write is given up: whatever becomes of it later touches nothing of the
  // caller's. A later BeginWrite starts afresh, or fails with kHidErrorBusy
  // while the system still holds the given-up write.
  virtual bool WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) = 0;
};

}  // namespace keyloom::platform
