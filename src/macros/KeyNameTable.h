#pragma once

#include <cstdint>
#include <string>

namespace keyloom {

// The display names of recorded keys. Each row holds a key code (the
// virtual-key code; 0x100 added for the keypad's Enter, the only extended
// row) and a name.
struct KeyNameRow {
  uint32_t code;
  const wchar_t* name;
};

class KeyNameTable {
 public:
  // The rows in table order.
  static const KeyNameRow* Rows();
  static int RowCount();
};

// The name of a key: the row of `vk` with 0x100 added when `extended` is
// set, else the row of that code without 0x100; null when neither exists.
// So the keypad's Enter is "Pad Enter", the main Enter "Enter", and the
// extended arrows, Insert, Home and so on fall back to their plain rows.
const wchar_t* LookupKeyName(uint32_t vk, bool extended);

// The other way: the key code (0x100 added for "Pad Enter") of a name as
// LookupKeyName gives it, in UTF-8 and any letter case; false for no row.
bool FindKeyCodeByName(const std::string& name, uint32_t* code);

}  // namespace keyloom
