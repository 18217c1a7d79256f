// The virtual keyboard as a keyboard that types: the control pipe's key
// commands, the hook source that hands typed keys to the hook procedure, the
// injector, and the key lines of the log.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>
#include <ostream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "macros/KeyNameTable.h"
#include "platform/virtual/VirtualHookSource.h"
#include "platform/virtual/VirtualKeyInjector.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "platform/virtual/VirtualKeyboardControl.h"
#include "platform/virtual/VirtualKeyboardLog.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

class VirtualTyping : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "hid_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  VirtualTyping() { keyboard.SetKeyNames(FindKeyCodeByName); }

  // The log's key lines without their times; every line must be well formed.
  std::vector<std::string> KeyLines() const {
    static const std::regex format(R"(\d+ (key (down|up) 0x[0-9a-f]{2,3} (passed|swallowed|injected)))");
    std::vector<std::string> lines;
    std::ifstream in(logPath);
    for (std::string line; std::getline(in, line);) {
      std::smatch match;
      EXPECT_TRUE(std::regex_match(line, match, format)) << line;
      lines.push_back(match[1]);
    }
    return lines;
  }

  bool Apply(const std::string& line, std::string* error = nullptr) {
    return VirtualKeyboardControl::Apply(keyboard, line, error);
  }

  test::TempDir dir;
  std::string logPath = dir.File("keyboard.log");
  VirtualKeyboard keyboard{logPath};
};

struct CommandCase {
  const char* line;
  std::vector<std::string> lines;  // empty: refused, with `error` in the message
  const char* error = "";
};

std::ostream& operator<<(std::ostream& out, const CommandCase& c) { return out << '"' << c.line << '"'; }

class VirtualTypingCommand : public VirtualTyping, public ::testing::WithParamInterface<CommandCase> {};

// Without a hook every typed key passes, so the log shows the key as found.
TEST_P(VirtualTypingCommand, TypesTheNamedKeyOrRefusesTheLine) {
  const CommandCase& c = GetParam();
  std::string error;
  EXPECT_EQ(Apply(c.line, &error), !c.lines.empty()) << error;
  EXPECT_EQ(KeyLines(), c.lines);
  if (c.lines.empty()) {
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VirtualTypingCommand,
    ::testing::Values(
        CommandCase{"tap A", {"key down 0x41 passed", "key up 0x41 passed"}},
        CommandCase{"down f5", {"key down 0x74 passed"}},
        CommandCase{"up SHIFTLEFT", {"key up 0xa0 passed"}},
        CommandCase{"tap pad enter", {"key down 0x10d passed", "key up 0x10d passed"}},
        CommandCase{"down   Pad 7  ", {"key down 0x67 passed"}},
        CommandCase{"down \xe2\x80\x98", {"key down 0xde passed"}},  // the recorder's name of the quote key
        CommandCase{"down 1", {"key down 0x31 passed"}},             // a name before a number: the digit key
        CommandCase{"down 66", {"key down 0x42 passed"}},
        CommandCase{"down 0x42", {"key down 0x42 passed"}},
        CommandCase{"down 0X10d", {"key down 0x10d passed"}},
        CommandCase{"tap Shft", {}, "unknown key \"Shft\""},
        CommandCase{"tap", {}, "no key"},
        CommandCase{"down 0x100", {}, "unknown key"},  // no virtual-key code 0
        CommandCase{"down 0x200", {}, "unknown key"},
        CommandCase{"down 0xff", {}, "unknown key"},
        CommandCase{"down 0x4g", {}, "unknown key"},
        CommandCase{"down -65", {}, "unknown key"},
        CommandCase{"press A", {}, "unknown command \"press A\""},
        CommandCase{"Tap A", {}, "unknown command"}));

TEST_F(VirtualTyping, UnpluggedKeyboardTypesNothing) {
  keyboard.Unplug();
  std::string error;
  EXPECT_FALSE(Apply("tap A", &error));
  EXPECT_NE(error.find("unplugged"), std::string::npos) << error;
  EXPECT_TRUE(KeyLines().empty());
}

TEST_F(VirtualTyping, NumbersWorkWithoutKeyNames) {
  keyboard.SetKeyNames({});
  EXPECT_FALSE(Apply("tap A"));
  EXPECT_TRUE(Apply("tap 0x41"));
  EXPECT_EQ(KeyLines(), (std::vector<std::string>{"key down 0x41 passed", "key up 0x41 passed"}));
}

struct Seen {
  uint32_t message;
  KBDLLHOOKSTRUCT event;
  std::thread::id thread;
};

class VirtualHook : public VirtualTyping {
 protected:
  VirtualHook() {
    EXPECT_TRUE(source.Install(WH_KEYBOARD_LL, [this](int code, uint32_t message, KBDLLHOOKSTRUCT* event) {
      EXPECT_EQ(code, HC_ACTION);
      seen.push_back({message, *event, std::this_thread::get_id()});
      return event->vkCode == 'B' ? intptr_t{1} : source.CallNext(code, message, event);
    }));
  }

  VirtualHookSource source{keyboard};
  std::vector<Seen> seen;
};

TEST_F(VirtualHook, TypedKeysReachTheProcedureFromTheEventLoopAsTheKeyboardsWould) {
  const uint32_t before = static_cast<uint32_t>(VirtualKeyboardLog::Now());
  ASSERT_TRUE(Apply("tap A"));
  ASSERT_TRUE(Apply("down ArrowUp"));
  ASSERT_TRUE(Apply("down AltLeft"));
  ASSERT_TRUE(Apply("tap F4"));
  ASSERT_TRUE(Apply("up AltLeft"));
  ASSERT_TRUE(Apply("tap pad enter"));
  EXPECT_TRUE(seen.empty()) << "delivered from the event loop, not from inside the command";
  QCoreApplication::processEvents();
  const uint32_t after = static_cast<uint32_t>(VirtualKeyboardLog::Now());

  struct Want {
    uint32_t message, vk, scan, flags;
  };
  const Want want[] = {
      {WM_KEYDOWN, 0x41, 0x1E, 0},
      {WM_KEYUP, 0x41, 0x1E, LLKHF_UP},
      {WM_KEYDOWN, 0x26, 0x48, LLKHF_EXTENDED},
      {WM_SYSKEYDOWN, 0xA4, 0x38, LLKHF_ALTDOWN},
      {WM_SYSKEYDOWN, 0x73, 0x3E, LLKHF_ALTDOWN},
      {WM_SYSKEYUP, 0x73, 0x3E, LLKHF_ALTDOWN | LLKHF_UP},
      {WM_KEYUP, 0xA4, 0x38, LLKHF_UP},
      {WM_KEYDOWN, 0x0D, 0x1C, LLKHF_EXTENDED},
      {WM_KEYUP, 0x0D, 0x1C, LLKHF_EXTENDED | LLKHF_UP},
  };
  ASSERT_EQ(seen.size(), std::size(want));
  uint32_t last = before;
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].message, want[i].message);
    EXPECT_EQ(seen[i].event.vkCode, want[i].vk);
    EXPECT_EQ(seen[i].event.scanCode, want[i].scan);
    EXPECT_EQ(seen[i].event.flags, want[i].flags);
    EXPECT_EQ(seen[i].event.dwExtraInfo, 0u);
    EXPECT_GE(seen[i].event.time, last);
    EXPECT_LE(seen[i].event.time, after);
    EXPECT_EQ(seen[i].thread, std::this_thread::get_id());
    last = seen[i].event.time;
  }
}

TEST_F(VirtualHook, LogTellsPassedFromSwallowedKeys) {
  ASSERT_TRUE(Apply("tap A"));
  ASSERT_TRUE(Apply("tap B"));
  ASSERT_TRUE(Apply("tap 0x126"));
  QCoreApplication::processEvents();
  EXPECT_EQ(KeyLines(), (std::vector<std::string>{"key down 0x41 passed", "key up 0x41 passed",
                                                  "key down 0x42 swallowed", "key up 0x42 swallowed",
                                                  "key down 0x126 passed", "key up 0x126 passed"}));
}

TEST_F(VirtualHook, KeysTypedOnAnotherThreadArriveOnTheInstallingThreadInOrder) {
  std::thread typist([this] {
    for (int i = 0; i < 50; ++i) {
      const uint32_t key = i % 2 ? 'B' : 'A';
      keyboard.TypeKey(key, true);
      keyboard.TypeKey(key, false);
    }
  });
  typist.join();
  QCoreApplication::processEvents();
  ASSERT_EQ(seen.size(), 100u);
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].event.vkCode, (i / 2) % 2 ? 'B' : 'A') << i;
    EXPECT_EQ(seen[i].thread, std::this_thread::get_id());
  }
}

TEST_F(VirtualHook, AfterUninstallTypedKeysPassUnseen) {
  ASSERT_TRUE(Apply("down B"));  // queued before the hook goes: nobody is asked
  ASSERT_TRUE(source.Uninstall());
  EXPECT_FALSE(source.Uninstall());
  ASSERT_TRUE(Apply("up B"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(KeyLines(), (std::vector<std::string>{"key down 0x42 passed", "key up 0x42 passed"}));
}

TEST_F(VirtualHook, RefusesAnotherHookTypeAndASecondInstall) {
  VirtualHookSource other(keyboard);
  EXPECT_FALSE(other.Install(WH_KEYBOARD, [](int, uint32_t, KBDLLHOOKSTRUCT*) { return intptr_t{0}; }));
  EXPECT_FALSE(source.Install(WH_KEYBOARD_LL, [](int, uint32_t, KBDLLHOOKSTRUCT*) { return intptr_t{0}; }));
}

TEST_F(VirtualHook, InjectedKeysGoToTheLogAndNeverToTheHook) {
  VirtualKeyInjector injector(keyboard);
  EXPECT_EQ(injector.MapVirtualKey('B', MAPVK_VK_TO_VSC), 0x30u);
  EXPECT_EQ(injector.MapVirtualKey('B', 1), 0u);
  injector.KeybdEvent('B', 0x30, 0, kKeyloomExtraInfo);
  injector.KeybdEvent('B', 0x30, KEYEVENTF_KEYUP, kKeyloomExtraInfo);
  injector.KeybdEvent(0x2E, 0x53, KEYEVENTF_EXTENDEDKEY, kKeyloomExtraInfo);
  injector.KeybdEvent(0x2E, 0x53, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, kKeyloomExtraInfo);
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(KeyLines(), (std::vector<std::string>{"key down 0x42 injected", "key up 0x42 injected",
                                                  "key down 0x12e injected", "key up 0x12e injected"}));
}

TEST(VirtualKeyboardLogKeys, FormatsOneLinePerKeyEvent) {
  EXPECT_EQ(VirtualKeyboardLog::FormatKeyLine(5312050, 0x41, true, "passed"), "5312050 key down 0x41 passed\n");
  EXPECT_EQ(VirtualKeyboardLog::FormatKeyLine(7, 0x10D, false, "injected"), "7 key up 0x10d injected\n");
}

}  // namespace
}  // namespace keyloom::platform
