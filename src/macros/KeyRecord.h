#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "macros/MacroStep.h"

namespace keyloom {

// What one key of the keyboard has been given, with ready-to-play steps.
struct KeyRecord {
  int32_t code = 0;    // the key: virtual-key code, plus 0x100 when extended
  int32_t type = 0;    // 0 macro, 1 single key, 2 function-key action, 3 combination
  int32_t repeat = 0;  // macro: times played; 0 otherwise
  int32_t mode = 0;    // macro: click-to-stop, 0 off, 1 on; 0 otherwise
  std::wstring name;   // the assigned key's display name
  std::wstring group;  // the target's display name
  std::vector<MacroStep> steps;

  bool operator==(const KeyRecord&) const = default;
};

}  // namespace keyloom
