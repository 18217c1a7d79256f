#pragma once

#include <cstdint>
#include <string_view>

namespace keyloom {

// The identifiers a HID device path carries; -1 for a part it does not have.
struct HidPathIds {
  int32_t vid = -1;
  int32_t pid = -1;
  int32_t mi = -1;   // USB interface number
  int32_t col = -1;  // top-level collection number
};

// Finds "hid#vid_XXXX&pid_XXXX[&rev_XXXX][&mi_XX][&colXX]" anywhere in the
// path, without regard to case. False when the path has no such part.
//
// The interface and collection parts keep only their second character, so
// "&mi_01" gives 1 and "&mi_10" gives 0: device paths have always been read
// this way, and configured interface numbers are written to match.
bool ParseHidPath(std::wstring_view path, HidPathIds& ids);

}  // namespace keyloom
