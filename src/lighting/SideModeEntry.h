#pragma once

#include <cstdint>

namespace keyloom {

// The stored setting of one side-light mode: a level 0..7 in the high four
// bits of byte 0. The other bits are reserved: nothing reads them and the
// file does not hold them, but they are kept as they are.
struct SideModeEntry {
  uint8_t byte0 = 0;  // bits 4..7 level, bits 0..3 reserved
  uint8_t byte1 = 0;  // bit 0 reserved flag, bits 1..7 reserved

  int Level() const { return byte0 >> 4; }
  // Puts the low four bits of `level` into bits 4..7, keeping bits 0..3.
  void SetLevel(uint8_t level) { byte0 = static_cast<uint8_t>((byte0 & 0x0F) | ((level & 0x0F) << 4)); }

  bool operator==(const SideModeEntry&) const = default;
};

}  // namespace keyloom
