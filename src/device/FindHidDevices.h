#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HidPlatform.h"

namespace keyloom {

// One HID interface that matched the identifiers. vid and pid come from the
// path; versionNumber, usagePage and usage were only recorded by a probe and
// are 0 when the probe could not open the interface.
struct HidDeviceInfo {
  std::wstring path;
  platform::HidGuid interfaceClass;
  uint32_t interfaceFlags = 0;
  int32_t vid = 0;
  int32_t pid = 0;
  uint16_t versionNumber = 0;
  uint16_t usagePage = 0;
  uint16_t usage = 0;
};

// Lists the present HID interfaces that match, in enumeration order.
//  - vid: 0 or negative accepts any vendor, except that together with an
//    empty product list nothing is found;
//  - pids/pidCount: the product ids to accept; none (null or a count of 0
//    or less) accepts any product;
//  - interface, collection: -1 accepts any (also an absent part), 0 or more
//    must equal the path's part, anything below -1 matches nothing.
// Selection rests on the path alone; a probe open records version and usage.
std::vector<HidDeviceInfo> FindHidDevices(platform::HidPlatform& platform, int32_t vid, const int32_t* pids,
                                          int32_t pidCount, int32_t interface, int32_t collection);

// "4d1e55b2-f16f-11cf-88cb001111000030": how trace lines show a class.
std::string FormatGuid(const platform::HidGuid& guid);

}  // namespace keyloom
