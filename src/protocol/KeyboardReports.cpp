#include "protocol/KeyboardReports.h"

#include <algorithm>

namespace keyloom {
namespace {

KeyboardReport LightingHeader(int32_t index) {
  return {kKeyboardReportId, 0xFF, 0xFF, static_cast<uint8_t>(index & 0xFF), 0, 0, 0, 0};
}

}  // namespace

uint8_t SelectionCode(uint8_t selection) {
  return selection >= 1 && selection <= 3 ? static_cast<uint8_t>(selection - 1) : selection;
}

KeyboardReport LightingEffectReport(int32_t index, const EffectEntry& entry) {
  KeyboardReport report = LightingHeader(index);
  report[4] = std::min<uint8_t>(entry.brightness, 5);
  report[5] = entry.speed;
  report[6] = SelectionCode(entry.selection);
  report[7] = entry.direction;
  return report;
}

KeyboardReport StartupEffectReport(int32_t index, const EffectEntry& entry) {
  KeyboardReport report = LightingHeader(index);
  report[4] = entry.brightness;
  report[5] = entry.speed;
  report[6] = entry.direction;
  report[7] = entry.selection;
  return report;
}

KeyboardReport SideLightReport(int32_t index, const SideModeEntry& entry) {
  return {kKeyboardReportId, 0xFF, 0xFF, 0x20, 0x00, 0x00,
          static_cast<uint8_t>((entry.byte0 & 0xF0) | (index & 0x0F)), 0x00};
}

KeyboardReport FirmwareQueryReport() { return {kKeyboardReportId, 0xF1, 0, 0, 0, 0, 0, 0}; }

KeyboardReport RestoreFactoryReport() { return {kKeyboardReportId, 0xF0, 0xAA, 0, 0, 0, 0, 0}; }

int32_t DecodeFirmwareReply(const KeyboardReport& reply) { return reply[1] * 256 + reply[2]; }

}  // namespace keyloom
