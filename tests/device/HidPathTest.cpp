#include <gtest/gtest.h>

#include <ostream>

#include "device/HidPath.h"

namespace keyloom {
namespace {

struct PathCase {
  const char* name;
  const wchar_t* path;
  bool matches;
  HidPathIds ids;
};

std::ostream& operator<<(std::ostream& out, const PathCase& c) { return out << c.name; }

class ParseHidPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ParseHidPathTest, ReadsTheIdentifiersOfThePath) {
  const PathCase& c = GetParam();
  HidPathIds ids;
  ASSERT_EQ(ParseHidPath(c.path, ids), c.matches);
  if (!c.matches) return;
  EXPECT_EQ(ids.vid, c.ids.vid);
  EXPECT_EQ(ids.pid, c.ids.pid);
  EXPECT_EQ(ids.mi, c.ids.mi);
  EXPECT_EQ(ids.col, c.ids.col);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ParseHidPathTest,
    ::testing::Values(
        PathCase{"LowerCaseWithInterfaceAndCollection",
                 L"\\\\?\\hid#vid_1234&pid_5678&mi_01&col02#7&1a2b&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                 true, {0x1234, 0x5678, 1, 2}},
        PathCase{"UpperCaseParsesTheSame",
                 L"\\\\?\\HID#VID_1234&PID_5678&MI_01&COL02#7&1A2B&0&0001#{4D1E55B2-F16F-11CF-88CB-001111000030}",
                 true, {0x1234, 0x5678, 1, 2}},
        PathCase{"ReleasePartIsIgnored", L"\\\\?\\hid#vid_1234&pid_5678&rev_0102&mi_01&col02#x", true,
                 {0x1234, 0x5678, 1, 2}},
        PathCase{"NoInterfaceNoCollection", L"\\\\?\\hid#vid_1a2b&pid_3c4d#x", true, {0x1A2B, 0x3C4D, -1, -1}},
        PathCase{"InterfaceWithoutCollection", L"hid#vid_1a2b&pid_3c4d&mi_00#/dev/hidraw0", true,
                 {0x1A2B, 0x3C4D, 0, -1}},
        PathCase{"InterfaceTenKeepsOnlyItsSecondDigit", L"hid#vid_1a2b&pid_3c4d&mi_10#x", true,
                 {0x1A2B, 0x3C4D, 0, -1}},
        PathCase{"CollectionLetterIsHex", L"hid#vid_1a2b&pid_3c4d&mi_01&col0b#x", true, {0x1A2B, 0x3C4D, 1, 11}},
        PathCase{"DigitsStopAtTheFirstNonHexCharacter", L"hid#vid_12g4&pid_5678#x", true, {0x12, 0x5678, -1, -1}},
        PathCase{"PatternFoundAnywhereInTheText", L"prefix/hid#vid_0001&pid_0002&mi_02", true, {1, 2, 2, -1}},
        PathCase{"NoPatternFails", L"\\\\?\\usb#vid_1234&pid_5678#x", false, {}},
        PathCase{"ShortVendorFails", L"hid#vid_123&pid_5678", false, {}},
        PathCase{"EmptyPathFails", L"", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom
