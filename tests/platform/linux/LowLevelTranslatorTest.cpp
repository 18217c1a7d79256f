#include "platform/linux/LowLevelTranslator.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace keyloom::platform::linux_input {
namespace {

struct Input {
  int code;
  int value;  // 1 down, 0 up, 2 repeat
};

// One record as text: message, vk, scan, flags. "SYSDOWN A4 38 alt".
std::string Format(const LowLevelKey& key) {
  const char* message = key.message == WM_KEYDOWN      ? "DOWN"
                        : key.message == WM_KEYUP      ? "UP"
                        : key.message == WM_SYSKEYDOWN ? "SYSDOWN"
                        : key.message == WM_SYSKEYUP   ? "SYSUP"
                                                       : "?";
  char text[64];
  std::snprintf(text, sizeof text, "%s %02X %02X", message, key.event.vkCode, key.event.scanCode);
  std::string out = text;
  if (key.event.flags & LLKHF_EXTENDED) out += " ext";
  if (key.event.flags & LLKHF_ALTDOWN) out += " alt";
  if (key.event.flags & LLKHF_UP) out += " up";
  return out;
}

struct TranslateCase {
  const char* name;
  std::vector<Input> inputs;
  bool numLock;
  std::vector<std::string> expected;
};
std::ostream& operator<<(std::ostream& os, const TranslateCase& c) { return os << c.name; }

const TranslateCase kCases[] = {
    {"PlainKey_IsKeyDownAndUp", {{KEY_A, 1}, {KEY_A, 0}}, true,
     {"DOWN 41 1E", "UP 41 1E up"}},
    {"AutoRepeat_IsAnotherKeyDown", {{KEY_A, 1}, {KEY_A, 2}, {KEY_A, 2}, {KEY_A, 0}}, true,
     {"DOWN 41 1E", "DOWN 41 1E", "DOWN 41 1E", "UP 41 1E up"}},
    {"ExtendedKey_CarriesExtendedFlag", {{KEY_RIGHT, 1}, {KEY_RIGHT, 0}}, true,
     {"DOWN 27 4D ext", "UP 27 4D ext up"}},
    {"AltAlone_IsSystemDownThenPlainUp", {{KEY_LEFTALT, 1}, {KEY_LEFTALT, 0}}, true,
     {"SYSDOWN A4 38 alt", "UP A4 38 up"}},
    {"KeyWithAltHeld_IsSystemKeyWithAltFlag",
     {{KEY_LEFTALT, 1}, {KEY_TAB, 1}, {KEY_TAB, 0}, {KEY_LEFTALT, 0}}, true,
     {"SYSDOWN A4 38 alt", "SYSDOWN 09 0F alt", "SYSUP 09 0F alt up", "UP A4 38 up"}},
    {"RightAltCombination_IsExtendedSystemKey",
     {{KEY_RIGHTALT, 1}, {KEY_F4, 1}, {KEY_F4, 0}, {KEY_RIGHTALT, 0}}, true,
     {"SYSDOWN A5 38 ext alt", "SYSDOWN 73 3E alt", "SYSUP 73 3E alt up", "UP A5 38 ext up"}},
    {"KeyReleasedAfterAlt_IsPlainUp",
     {{KEY_LEFTALT, 1}, {KEY_X, 1}, {KEY_LEFTALT, 0}, {KEY_X, 0}}, true,
     {"SYSDOWN A4 38 alt", "SYSDOWN 58 2D alt", "UP A4 38 up", "UP 58 2D up"}},
    {"CtrlAlt_IsNotSystemButKeepsAltFlag",
     {{KEY_LEFTCTRL, 1}, {KEY_LEFTALT, 1}, {KEY_DELETE, 1}, {KEY_DELETE, 0}}, true,
     {"DOWN A2 1D", "DOWN A4 38 alt", "DOWN 2E 53 ext alt", "UP 2E 53 ext alt up"}},
    {"F10Alone_IsSystemKey", {{KEY_F10, 1}, {KEY_F10, 0}}, true,
     {"SYSDOWN 79 44", "SYSUP 79 44 up"}},
    {"F10WithCtrl_IsPlainKey", {{KEY_LEFTCTRL, 1}, {KEY_F10, 1}, {KEY_F10, 0}}, true,
     {"DOWN A2 1D", "DOWN 79 44", "UP 79 44 up"}},
    {"OtherAltStillHeld_KeepsSystemMessages",
     {{KEY_LEFTALT, 1}, {KEY_RIGHTALT, 1}, {KEY_LEFTALT, 0}, {KEY_RIGHTALT, 0}}, true,
     {"SYSDOWN A4 38 alt", "SYSDOWN A5 38 ext alt", "SYSUP A4 38 alt up", "UP A5 38 ext up"}},
    {"KeypadEnter_IsExtendedReturn", {{KEY_KPENTER, 1}}, true, {"DOWN 0D 1C ext"}},
    {"KeypadWithNumLockOff_IsNavigation", {{KEY_KP7, 1}, {KEY_KP7, 0}}, false,
     {"DOWN 24 47", "UP 24 47 up"}},
    {"UnknownKey_IsNotTranslated", {{BTN_LEFT, 1}, {KEY_A, 1}}, true, {"DOWN 41 1E"}},
};

class LowLevelTranslatorTest : public testing::TestWithParam<TranslateCase> {};

TEST_P(LowLevelTranslatorTest, EvdevEvents_BecomeLowLevelRecords) {
  const TranslateCase& c = GetParam();
  LowLevelTranslator translator;
  std::vector<std::string> got;
  uint32_t time = 1000;
  for (const Input& input : c.inputs) {
    LowLevelKey key;
    if (translator.Translate(input.code, input.value, time, c.numLock, &key)) {
      EXPECT_EQ(key.event.time, time);
      EXPECT_EQ(key.event.dwExtraInfo, 0u);
      got.push_back(Format(key));
    }
    time += 10;
  }
  EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sequences, LowLevelTranslatorTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LowLevelTranslatorTest, ValueOutsideDownUpRepeat_IsNotTranslated) {
  LowLevelTranslator translator;
  LowLevelKey key;
  EXPECT_FALSE(translator.Translate(KEY_A, 3, 0, true, &key));
  EXPECT_FALSE(translator.Translate(KEY_A, -1, 0, true, &key));
}

TEST(LowLevelTranslatorTest, AltHeldOnOneSource_MakesKeyOfAnotherSourceASystemKey) {
  LowLevelTranslator translator;
  LowLevelKey key;
  translator.Translate(KEY_LEFTALT, 1, 0, true, &key, /*source=*/1);
  ASSERT_TRUE(translator.Translate(KEY_VOLUMEUP, 1, 0, true, &key, /*source=*/2));
  EXPECT_EQ(key.message, WM_SYSKEYDOWN);
  EXPECT_NE(key.event.flags & LLKHF_ALTDOWN, 0u);
}

TEST(LowLevelTranslatorTest, ForgetSource_DropsOnlyTheModifiersItHeld) {
  LowLevelTranslator translator;
  LowLevelKey key;
  translator.Translate(KEY_LEFTALT, 1, 0, true, &key, 1);
  translator.Translate(KEY_LEFTCTRL, 1, 0, true, &key, 2);
  translator.Forget(1);
  ASSERT_TRUE(translator.Translate(KEY_A, 1, 0, true, &key, 2));
  EXPECT_EQ(key.message, WM_KEYDOWN);
  EXPECT_EQ(key.event.flags & LLKHF_ALTDOWN, 0u);
  translator.Forget(2);
  translator.Translate(KEY_RIGHTALT, 1, 0, true, &key, 3);
  ASSERT_TRUE(translator.Translate(KEY_A, 1, 0, true, &key, 3));
  EXPECT_EQ(key.message, WM_SYSKEYDOWN);  // Ctrl went with source 2
}

}  // namespace
}  // namespace keyloom::platform::linux_input
