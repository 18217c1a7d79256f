#pragma once

#include <cstdint>

namespace keyloom {

// The four stored settings of one main-backlight effect. Code that moves a
// whole entry treats it as one little-endian 32-bit value, brightness lowest.
struct EffectEntry {
  uint8_t brightness = 5;  // 0..5
  uint8_t speed = 1;       // 0..2
  uint8_t direction = 0;   // 0..1
  uint8_t selection = 1;   // 0 no option, 1 or 2 the option's first or second choice

  static constexpr uint32_t kFactoryValue = 0x01000105;

  uint32_t Value() const {
    return brightness | (uint32_t{speed} << 8) | (uint32_t{direction} << 16) | (uint32_t{selection} << 24);
  }
  static EffectEntry FromValue(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
  }
  bool operator==(const EffectEntry&) const = default;
};

}  // namespace keyloom
