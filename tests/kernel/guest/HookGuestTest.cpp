// The evdev hook source against the real kernel: a uinput keyboard with the
// configured ids is grabbed, its keys reach the hook procedure as low-level
// records, and what the procedure does not swallow comes out of the clone.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "kernel/guest/VirtualInput.h"
#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/linux/EvdevHookSource.h"

namespace keyloom::kernel_test {
namespace {

using namespace std::chrono_literals;
using platform::KBDLLHOOKSTRUCT;
using platform::linux_input::EvdevHookSource;

constexpr const char* kName = "keyloom test keyboard";

std::string Format(uint32_t message, const KBDLLHOOKSTRUCT& e) {
  const char* m = message == platform::WM_KEYDOWN      ? "DOWN"
                  : message == platform::WM_KEYUP      ? "UP"
                  : message == platform::WM_SYSKEYDOWN ? "SYSDOWN"
                  : message == platform::WM_SYSKEYUP   ? "SYSUP"
                                                       : "?";
  char text[64];
  std::snprintf(text, sizeof text, "%s %02X %02X", m, e.vkCode, e.scanCode);
  std::string out = text;
  if (e.flags & platform::LLKHF_EXTENDED) out += " ext";
  if (e.flags & platform::LLKHF_ALTDOWN) out += " alt";
  if (e.flags & platform::LLKHF_UP) out += " up";
  if (e.flags & platform::LLKHF_INJECTED) out += " injected";
  if (e.flags & platform::kPassedOnFlag) out += " passed";
  return out;
}

class EvdevHook : public testing::Test {
 protected:
  // Installs the hook; `swallow` picks the virtual keys to consume.
  void Install(std::function<bool(uint32_t vk)> swallow = {}) {
    source_ = std::make_unique<EvdevHookSource>(kSampleVid, kSamplePid);
    ASSERT_TRUE(source_->Install(
        platform::WH_KEYBOARD_LL,
        [this, swallow](int, uint32_t message, KBDLLHOOKSTRUCT* event) -> intptr_t {
          seen_.push_back(Format(message, *event));
          return swallow && swallow(event->vkCode) ? 1 : 0;
        }));
  }

  // The clone's node: the other node with the test keyboard's name.
  std::string CloneNode(const TestKeyboard& keyboard) {
    for (const std::string& node : NodesNamed(kName)) {
      if (node != keyboard.Node()) return node;
    }
    return {};
  }

  bool WaitSeen(size_t count) {
    return PumpUntil([&] { return seen_.size() >= count; }, 5s);
  }

  std::unique_ptr<EvdevHookSource> source_;
  std::vector<std::string> seen_;
};

TEST_F(EvdevHook, ConfiguredKeyboard_IsGrabbed_OtherKeyboardIsNot) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  TestKeyboard other("another keyboard", 0x1111, kSamplePid);
  ASSERT_TRUE(keyboard.Ok() && other.Ok());
  Install();
  EXPECT_EQ(source_->GrabbedCount(), 1);
  // Grabbed: a second reader of the real node sees nothing.
  NodeReader direct(keyboard.Node());
  keyboard.Tap(KEY_A);
  ASSERT_TRUE(WaitSeen(2));
  EXPECT_EQ(direct.KeysUntilQuiet(100ms), "");
}

TEST_F(EvdevHook, KeyEvents_ArriveAsLowLevelRecords) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  keyboard.Tap(KEY_A);
  keyboard.Tap(KEY_RIGHT);      // extended
  keyboard.Key(KEY_LEFTALT, 1);  // Alt+Tab: system keys
  keyboard.Tap(KEY_TAB);
  keyboard.Key(KEY_LEFTALT, 0);
  keyboard.Key(KEY_B, 1);
  keyboard.Key(KEY_B, 2);        // auto-repeat
  keyboard.Key(KEY_B, 0);
  keyboard.Tap(KEY_KPENTER);
  ASSERT_TRUE(WaitSeen(13));
  EXPECT_EQ(seen_, (std::vector<std::string>{
                       "DOWN 41 1E", "UP 41 1E up", "DOWN 27 4D ext", "UP 27 4D ext up",
                       "SYSDOWN A4 38 alt", "SYSDOWN 09 0F alt", "SYSUP 09 0F alt up",
                       "UP A4 38 up", "DOWN 42 30", "DOWN 42 30", "UP 42 30 up",
                       "DOWN 0D 1C ext", "UP 0D 1C ext up"}));
}

TEST_F(EvdevHook, UnswallowedKeys_LeaveThroughTheClone_SwallowedOnesDoNot) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install([](uint32_t vk) { return vk == 0x42; });  // B
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  keyboard.Tap(KEY_A);
  keyboard.Tap(KEY_B);
  keyboard.Key(KEY_C, 1);
  keyboard.Key(KEY_C, 2);
  keyboard.Key(KEY_C, 0);
  keyboard.Key(KEY_LEFTALT, 1);
  keyboard.Tap(KEY_F4);
  keyboard.Key(KEY_LEFTALT, 0);
  ASSERT_TRUE(WaitSeen(11));
  EXPECT_EQ(clone.KeysUntilQuiet(300ms), "+30 -30 +46 +46r -46 +56 +62 -62 -56");
}

TEST_F(EvdevHook, LedsSetOnTheClone_ReachTheRealKeyboard) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  ASSERT_TRUE(clone.Write(EV_LED, LED_CAPSL, 1));
  const input_event led = keyboard.NextLed(2s);
  EXPECT_EQ(led.code, LED_CAPSL);
  EXPECT_EQ(led.value, 1);
}

TEST_F(EvdevHook, EveryInterfaceOfTheKeyboard_IsGrabbed) {
  TestKeyboard first(kName, kSampleVid, kSamplePid);
  TestKeyboard second("keyloom test keyboard consumer control", kSampleVid, kSamplePid);
  ASSERT_TRUE(first.Ok() && second.Ok());
  Install();
  EXPECT_EQ(source_->GrabbedCount(), 2);
  first.Tap(KEY_A);
  second.Tap(KEY_VOLUMEUP);
  // One key state for the whole keyboard: Alt on one interface makes a key
  // of the other a system key.
  first.Key(KEY_LEFTALT, 1);
  ASSERT_TRUE(WaitSeen(5));
  second.Tap(KEY_VOLUMEUP);
  ASSERT_TRUE(WaitSeen(7));
  first.Key(KEY_LEFTALT, 0);
  ASSERT_TRUE(WaitSeen(8));
  EXPECT_EQ(seen_, (std::vector<std::string>{
                       "DOWN 41 1E", "UP 41 1E up", "DOWN AF 30 ext", "UP AF 30 ext up",
                       "SYSDOWN A4 38 alt", "SYSDOWN AF 30 ext alt", "SYSUP AF 30 ext alt up",
                       "UP A4 38 up"}));
}

TEST_F(EvdevHook, Keypad_FollowsNumLockSetOnTheClone) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  keyboard.Tap(KEY_KP7);  // NumLock off: Home, not extended
  ASSERT_TRUE(WaitSeen(2));
  ASSERT_TRUE(clone.Write(EV_LED, LED_NUML, 1));
  ASSERT_EQ(keyboard.NextLed(2s).code, LED_NUML);
  keyboard.Tap(KEY_KP7);  // NumLock on: keypad 7
  ASSERT_TRUE(WaitSeen(4));
  EXPECT_EQ(seen_, (std::vector<std::string>{"DOWN 24 47", "UP 24 47 up", "DOWN 67 47",
                                             "UP 67 47 up"}));
}

TEST_F(EvdevHook, Hotplug_TakesArrivingKeyboard_AndLetsGoWhenItVanishes) {
  Install();
  EXPECT_EQ(source_->GrabbedCount(), 0);
  auto keyboard = std::make_unique<TestKeyboard>(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard->Ok());
  EXPECT_TRUE(PumpUntil([&] { return source_->GrabbedCount() == 1; }, 5s));
  keyboard->Tap(KEY_Z);
  ASSERT_TRUE(WaitSeen(2));
  keyboard.reset();
  EXPECT_TRUE(PumpUntil([&] { return source_->GrabbedCount() == 0; }, 5s));
}

TEST_F(EvdevHook, Uninstall_LetsGoOfTheKeyboard) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  ASSERT_EQ(NodesNamed(kName).size(), 2u);  // the keyboard and its clone
  EXPECT_TRUE(source_->Uninstall());
  EXPECT_FALSE(source_->Uninstall());
  EXPECT_EQ(source_->GrabbedCount(), 0);
  EXPECT_TRUE(PumpUntil([&] { return NodesNamed(kName).size() == 1; }, 5s));
  NodeReader direct(keyboard.Node());
  keyboard.Tap(KEY_A);
  EXPECT_EQ(direct.KeysUntilQuiet(300ms), "+30 -30");
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen_.empty());
}

// Start-up installs the hook before it looks for a running instance, so a
// second keyloom briefly hooks too: it must not take the first one's clone.
TEST_F(EvdevHook, SecondHook_TakesNeitherTheGrabbedKeyboardNorTheFirstHooksClone) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  ASSERT_EQ(source_->GrabbedCount(), 1);
  int secondSeen = 0;
  EvdevHookSource second(kSampleVid, kSamplePid);
  ASSERT_TRUE(second.Install(platform::WH_KEYBOARD_LL, [&](int, uint32_t, KBDLLHOOKSTRUCT*) -> intptr_t {
    ++secondSeen;
    return 1;
  }));
  EXPECT_EQ(second.GrabbedCount(), 0);
  EXPECT_EQ(NodesNamed(kName).size(), 2u);  // no clone of the clone
  NodeReader clone(CloneNode(keyboard));
  keyboard.Tap(KEY_A);
  // The first hook answers on this thread's event loop; without it each key
  // would wait out the 300 ms hook time-out on its way to the clone.
  ASSERT_TRUE(WaitSeen(2));
  EXPECT_EQ(clone.KeysUntilQuiet(300ms), "+30 -30");
  QCoreApplication::processEvents();
  EXPECT_EQ(secondSeen, 0);
}

// Injected through the clone while the hook holds the keyboard (or through
// keyloom's own virtual keyboard without one): the desktop gets them, the
// hook never does.
TEST_F(EvdevHook, KeysInjectedByKeyloom_NeverReachTheHook) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  using platform::IKeyboardHookSource;
  for (IKeyboardHookSource* hook : {static_cast<IKeyboardHookSource*>(source_.get()),
                                    static_cast<IKeyboardHookSource*>(nullptr)}) {
    seen_.clear();
    auto injector = platform::CreateKeyInjector(hook);
    ASSERT_NE(injector, nullptr);
    injector->KeybdEvent(0x41, 0x1E, 0, platform::kKeyloomExtraInfo);
    injector->KeybdEvent(0x41, 0x1E, platform::KEYEVENTF_KEYUP, platform::kKeyloomExtraInfo);
    keyboard.Tap(KEY_B);  // a real key after them, as a marker
    ASSERT_TRUE(WaitSeen(2));
    EXPECT_EQ(seen_, (std::vector<std::string>{"DOWN 42 30", "UP 42 30 up"}));
    EXPECT_EQ(clone.KeysUntilQuiet(300ms), hook ? "+30 -30 +48 -48" : "+48 -48");
  }
}

TEST_F(EvdevHook, BusyUiThread_PressPassesAfterTimeout_ReleaseFollowsAtOnce_InOrder) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install([](uint32_t) { return true; });  // would swallow everything
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  // The UI thread does not run its loop here: no verdict comes. Only the
  // presses wait for one; each release goes the way of its press at once.
  const auto start = std::chrono::steady_clock::now();
  keyboard.Tap(KEY_Q);
  keyboard.Tap(KEY_W);
  EXPECT_EQ(clone.KeysUntilQuiet(1500ms), "+16 -16 +17 -17");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * EvdevHookSource::kVerdictTimeout);
  EXPECT_EQ(source_->TimedOutCount(), 2u);
  // The procedure still sees every event, late and in order, each marked as
  // gone on already.
  ASSERT_TRUE(WaitSeen(4));
  EXPECT_EQ(seen_, (std::vector<std::string>{"DOWN 51 10 passed", "UP 51 10 up passed",
                                             "DOWN 57 11 passed", "UP 57 11 up passed"}));
}

// Not a pass/fail check: prints the hook's pass-through latency (uinput write
// to the clone's event) for docs/performance.md.
TEST_F(EvdevHook, PassThroughLatency_IsMeasured) {
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());
  Install();
  NodeReader clone(CloneNode(keyboard));
  ASSERT_TRUE(clone.Ok());
  constexpr int kKeys = 1000;
  std::vector<double> micros;
  std::atomic<bool> done{false};
  QEventLoop loop;
  std::thread typist([&] {
    input_event event{};
    for (int i = 0; i < kKeys; ++i) {
      const auto before = std::chrono::steady_clock::now();
      keyboard.Key(KEY_L, i % 2 == 0 ? 1 : 0);
      if (!clone.Next(EV_KEY, 2s, &event)) break;
      micros.push_back(std::chrono::duration<double, std::micro>(
                           std::chrono::steady_clock::now() - before)
                           .count());
    }
    done = true;
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();  // the idle UI thread answers each event at once
  typist.join();
  ASSERT_EQ(micros.size(), static_cast<size_t>(kKeys));
  std::sort(micros.begin(), micros.end());
  std::printf("KEYLOOM-METRIC hook-pass-through keys=%d p50_us=%.0f p99_us=%.0f max_us=%.0f\n",
              kKeys, micros[kKeys / 2], micros[kKeys * 99 / 100], micros.back());
  EXPECT_EQ(source_->TimedOutCount(), 0u);
}

}  // namespace
}  // namespace keyloom::kernel_test
