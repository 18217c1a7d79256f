#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace keyloom {

// One key event of a macro or of a key record.
struct MacroStep {
  uint32_t code = 0;   // virtual-key code
  uint32_t state = 0;  // 0 key down, 1 key up; other values show as "replace"
  uint32_t delay = 0;  // milliseconds to wait after this step
  std::wstring name;   // display name of the key; may be empty

  bool operator==(const MacroStep&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MacroStep& step);

}  // namespace keyloom
