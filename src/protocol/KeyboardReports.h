#pragma once

#include <array>
#include <cstdint>

#include "lighting/EffectEntry.h"
#include "lighting/SideModeEntry.h"

namespace keyloom {

// The keyboard's 8-byte reports; byte 0 is the report id 7 in all of them.
using KeyboardReport = std::array<uint8_t, 8>;

inline constexpr uint8_t kKeyboardReportId = 0x07;

// 07 FF FF <effect> <brightness, at most 5> <speed> <selection code> <direction>.
// The effect byte is the low byte of `index` (0xFF for -1, "the current one").
KeyboardReport LightingEffectReport(int32_t index, const EffectEntry& entry);

// 07 FF FF <effect> <brightness> <speed> <direction> <selection>: the entry's
// four bytes unchanged and in their own order.
KeyboardReport StartupEffectReport(int32_t index, const EffectEntry& entry);

// 07 FF FF 20 00 00 <level in the upper, mode in the lower four bits> 00.
KeyboardReport SideLightReport(int32_t index, const SideModeEntry& entry);

// 07 F1 00 ...: asks for the firmware version (read back as a feature report).
KeyboardReport FirmwareQueryReport();

// 07 F0 AA 00 ...: restores the factory settings (an output report).
KeyboardReport RestoreFactoryReport();

// The version in a firmware reply 07 <major> <minor> ...: major × 256 + minor.
int32_t DecodeFirmwareReply(const KeyboardReport& reply);

// The selection byte as the keyboard numbers it: 1, 2, 3 become 0, 1, 2;
// other values go unchanged.
uint8_t SelectionCode(uint8_t selection);

}  // namespace keyloom
