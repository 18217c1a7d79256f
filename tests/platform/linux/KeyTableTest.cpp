#include "platform/linux/KeyTable.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <ostream>
#include <set>

namespace keyloom::platform::linux_input {
namespace {

struct KeyCase {
  const char* name;
  int evdev;
  uint32_t vk;
  uint32_t scan;
  bool extended;
};
std::ostream& operator<<(std::ostream& os, const KeyCase& c) { return os << c.name; }

// What a low-level hook reports for these keys (NumLock on).
const KeyCase kHookCases[] = {
    {"Letter_A", KEY_A, 0x41, 0x1E, false},
    {"Digit_0", KEY_0, 0x30, 0x0B, false},
    {"Semicolon", KEY_SEMICOLON, 0xBA, 0x27, false},
    {"F10", KEY_F10, 0x79, 0x44, false},
    {"F24", KEY_F24, 0x87, 0x76, false},
    {"LeftShift_IsSided", KEY_LEFTSHIFT, 0xA0, 0x2A, false},
    {"RightShift_IsNotExtended", KEY_RIGHTSHIFT, 0xA1, 0x36, false},
    {"RightCtrl_IsExtended", KEY_RIGHTCTRL, 0xA3, 0x1D, true},
    {"RightAlt_IsExtended", KEY_RIGHTALT, 0xA5, 0x38, true},
    {"LeftWin_IsExtended", KEY_LEFTMETA, 0x5B, 0x5B, true},
    {"Insert_IsExtended", KEY_INSERT, 0x2D, 0x52, true},
    {"ArrowUp_IsExtended", KEY_UP, 0x26, 0x48, true},
    {"KeypadEnter_IsExtendedReturn", KEY_KPENTER, 0x0D, 0x1C, true},
    {"KeypadDivide_IsExtended", KEY_KPSLASH, 0x6F, 0x35, true},
    {"KeypadSeven", KEY_KP7, 0x67, 0x47, false},
    {"NumLock_IsExtended", KEY_NUMLOCK, 0x90, 0x45, true},
    {"Pause_IsNotExtended", KEY_PAUSE, 0x13, 0x45, false},
    {"PrintScreen_IsExtended", KEY_SYSRQ, 0x2C, 0x37, true},
    {"VolumeUp", KEY_VOLUMEUP, 0xAF, 0x30, true},
    {"PlayPause", KEY_PLAYPAUSE, 0xB3, 0x22, true},
    {"LaunchApp2_IsCalculator", KEY_CALC, 0xB7, 0x21, true},
    {"BrowserBack", KEY_BACK, 0xA6, 0x6A, true},
};

class KeyTableHookTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTableHookTest, EvdevKey_ReportsWindowsCodes) {
  const KeyCase& c = GetParam();
  const KeyRow* row = FindKeyByEvdev(c.evdev);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->vk, c.vk);
  EXPECT_EQ(row->scan, c.scan);
  EXPECT_EQ(row->extended, c.extended);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTableHookTest, testing::ValuesIn(kHookCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct InjectCase {
  const char* name;
  uint32_t vk;
  bool extended;
  int evdev;
};
std::ostream& operator<<(std::ostream& os, const InjectCase& c) { return os << c.name; }

const InjectCase kInjectCases[] = {
    {"GenericShift_PressesLeftShift", 0x10, false, KEY_LEFTSHIFT},
    {"GenericCtrl_PressesLeftCtrl", 0x11, false, KEY_LEFTCTRL},
    {"ExtendedCtrl_PressesRightCtrl", 0x11, true, KEY_RIGHTCTRL},
    {"ExtendedAlt_PressesRightAlt", 0x12, true, KEY_RIGHTALT},
    {"Return_PressesMainEnter", 0x0D, false, KEY_ENTER},
    {"ExtendedReturn_PressesKeypadEnter", 0x0D, true, KEY_KPENTER},
    {"LeftWin_WithExtendedFlag", 0x5B, true, KEY_LEFTMETA},
    {"Home_WithoutExtendedFlag_IsStillHome", 0x24, false, KEY_HOME},
    {"VolumeMute", 0xAD, false, KEY_MUTE},
    {"MediaNext", 0xB0, false, KEY_NEXTSONG},
    {"LaunchMail", 0xB4, false, KEY_MAIL},
    {"F13", 0x7C, false, KEY_F13},
    {"UnknownCode_SendsNothing", 0xFF, false, 0},
    {"CodeAboveByte_SendsNothing", 0x141, false, 0},
};

class KeyTableInjectTest : public testing::TestWithParam<InjectCase> {};

TEST_P(KeyTableInjectTest, VirtualKey_PressesEvdevKey) {
  const InjectCase& c = GetParam();
  EXPECT_EQ(EvdevFromVirtualKey(c.vk, c.extended), c.evdev);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTableInjectTest, testing::ValuesIn(kInjectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyTableTest, EveryInjectableKey_ComesBackAsTheSameVirtualKey) {
  int count = 0;
  const KeyRow* rows = KeyRows(&count);
  for (int i = 0; i < count; ++i) {
    const KeyRow& row = rows[i];
    if (row.vk == 0x10 || row.vk == 0x11 || row.vk == 0x12) continue;  // hook reports sided codes
    const int evdev = EvdevFromVirtualKey(row.vk, row.extended);
    const KeyRow* back = FindKeyByEvdev(evdev);
    ASSERT_NE(back, nullptr) << "vk 0x" << std::hex << int(row.vk);
    EXPECT_EQ(back->vk, row.vk) << "vk 0x" << std::hex << int(row.vk);
  }
}

TEST(KeyTableTest, NeededKeyGroups_AreAllMapped) {
  std::set<uint32_t> needed;
  for (uint32_t vk = 'A'; vk <= 'Z'; ++vk) needed.insert(vk);
  for (uint32_t vk = '0'; vk <= '9'; ++vk) needed.insert(vk);
  for (uint32_t vk = 0x70; vk <= 0x87; ++vk) needed.insert(vk);  // F1-F24
  for (uint32_t vk = 0x60; vk <= 0x6F; ++vk) needed.insert(vk);  // keypad
  for (uint32_t vk = 0xA0; vk <= 0xB7; ++vk) needed.insert(vk);  // modifiers, browser, media, launch
  for (uint32_t vk : {0x5B, 0x5C, 0x5D, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD,
                      0xDE, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E}) {
    needed.insert(vk);
  }
  for (uint32_t vk : needed) {
    EXPECT_NE(EvdevFromVirtualKey(vk, false), 0) << "vk 0x" << std::hex << vk;
    EXPECT_NE(MapVirtualKeyToScanCode(vk), 0u) << "vk 0x" << std::hex << vk;
  }
}

TEST(KeyTableTest, MapVirtualKey_GivesLeftScanCodesForGenericModifiers) {
  EXPECT_EQ(MapVirtualKeyToScanCode(0x10), 0x2Au);
  EXPECT_EQ(MapVirtualKeyToScanCode(0x11), 0x1Du);
  EXPECT_EQ(MapVirtualKeyToScanCode(0x12), 0x38u);
  EXPECT_EQ(MapVirtualKeyToScanCode(0x0D), 0x1Cu);
  EXPECT_EQ(MapVirtualKeyToScanCode(0xFF), 0u);
  EXPECT_EQ(MapVirtualKeyToScanCode(0x1041), 0u);
}

TEST(KeyTableTest, KeypadWithNumLockOff_ReportsNavigationKeysNotExtended) {
  const KeyRow* seven = FindKeypadNavigationByEvdev(KEY_KP7);
  ASSERT_NE(seven, nullptr);
  EXPECT_EQ(seven->vk, 0x24);
  EXPECT_FALSE(seven->extended);
  EXPECT_EQ(FindKeypadNavigationByEvdev(KEY_KP5)->vk, 0x0C);
  EXPECT_EQ(FindKeypadNavigationByEvdev(KEY_KPPLUS), nullptr);
}

}  // namespace
}  // namespace keyloom::platform::linux_input
