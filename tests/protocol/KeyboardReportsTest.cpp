#include <gtest/gtest.h>

#include <ostream>

#include "protocol/KeyboardReports.h"

namespace keyloom {
namespace {

using R = KeyboardReport;

struct ReportCase {
  const char* name;
  KeyboardReport built;
  KeyboardReport expected;
};

std::ostream& operator<<(std::ostream& out, const ReportCase& c) { return out << c.name; }

class KeyboardReportBytes : public ::testing::TestWithParam<ReportCase> {};

TEST_P(KeyboardReportBytes, AreTheOnesTheKeyboardExpects) { EXPECT_EQ(GetParam().built, GetParam().expected); }

EffectEntry Entry(uint8_t brightness, uint8_t speed, uint8_t direction, uint8_t selection) {
  return {brightness, speed, direction, selection};
}

SideModeEntry Level(uint8_t level, uint8_t reservedLowBits = 0) {
  return {static_cast<uint8_t>(level << 4 | reservedLowBits), 1};
}

INSTANTIATE_TEST_SUITE_P(
    Reports, KeyboardReportBytes,
    ::testing::Values(
        ReportCase{"EffectClampsBrightnessAndCodesSelection", LightingEffectReport(3, Entry(7, 2, 1, 2)),
                   R{0x07, 0xFF, 0xFF, 0x03, 0x05, 0x02, 0x01, 0x01}},
        ReportCase{"EffectWithFactoryDefaults", LightingEffectReport(0, Entry(5, 1, 0, 1)),
                   R{0x07, 0xFF, 0xFF, 0x00, 0x05, 0x01, 0x00, 0x00}},
        ReportCase{"EffectSelectionThreeBecomesTwo", LightingEffectReport(21, Entry(2, 0, 1, 3)),
                   R{0x07, 0xFF, 0xFF, 0x15, 0x02, 0x00, 0x02, 0x01}},
        ReportCase{"EffectSelectionZeroGoesUnchanged", LightingEffectReport(4, Entry(1, 1, 0, 0)),
                   R{0x07, 0xFF, 0xFF, 0x04, 0x01, 0x01, 0x00, 0x00}},
        ReportCase{"EffectForCurrentEntryCarriesFF", LightingEffectReport(-1, Entry(5, 1, 0, 1)),
                   R{0x07, 0xFF, 0xFF, 0xFF, 0x05, 0x01, 0x00, 0x00}},
        ReportCase{"StartupEffectSendsEntryBytesInTheirOwnOrder", StartupEffectReport(0, Entry(5, 1, 0, 1)),
                   R{0x07, 0xFF, 0xFF, 0x00, 0x05, 0x01, 0x00, 0x01}},
        ReportCase{"StartupEffectDoesNotClampBrightness", StartupEffectReport(2, Entry(7, 2, 1, 2)),
                   R{0x07, 0xFF, 0xFF, 0x02, 0x07, 0x02, 0x01, 0x02}},
        ReportCase{"SideLightLevelAndMode", SideLightReport(5, Level(3)),
                   R{0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x35, 0x00}},
        ReportCase{"SideLightIgnoresReservedBitsOfTheEntry", SideLightReport(11, Level(7, 0x09)),
                   R{0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x7B, 0x00}},
        ReportCase{"SideLightForCurrentModeCarriesF", SideLightReport(-1, Level(4)),
                   R{0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x4F, 0x00}},
        ReportCase{"FirmwareQuery", FirmwareQueryReport(), R{0x07, 0xF1, 0, 0, 0, 0, 0, 0}},
        ReportCase{"RestoreFactory", RestoreFactoryReport(), R{0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeFirmwareReply, ReadsMajorAndMinorAsUnsignedBytes) {
  EXPECT_EQ(DecodeFirmwareReply(R{0x07, 0x01, 0x00, 0x33}), 0x0100);
  EXPECT_EQ(DecodeFirmwareReply(R{0x07, 0x01, 0x85}), 0x0185);
  EXPECT_EQ(DecodeFirmwareReply(R{0x07, 0xFF, 0xFF}), 0xFFFF);
}

}  // namespace
}  // namespace keyloom
