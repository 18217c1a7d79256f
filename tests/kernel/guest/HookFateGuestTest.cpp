// A key keeps one fate from its press to its release, however late the UI
// thread answers: the evdev hook source, the hook chain and the key
// assignments together, against a real uinput keyboard and its clone, with
// the UI thread stalled at chosen moments.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <sstream>
#include <string>
#include <thread>

#include "actions/KeyAssignments.h"
#include "kernel/guest/VirtualInput.h"
#include "macros/KeyboardHook.h"
#include "platform/linux/EvdevHookSource.h"
#include "platform/test/RecordingInjector.h"
#include "runtime/SimpleThread.h"

namespace keyloom::kernel_test {
namespace {

using namespace std::chrono_literals;
using platform::KBDLLHOOKSTRUCT;
using platform::linux_input::EvdevHookSource;

constexpr const char* kName = "keyloom test keyboard";
constexpr uint32_t kVkT = 0x54;
constexpr uint32_t kVkF5 = 0x74;
// Well past the hook's 300 ms, with room for the emulated guest's slowness.
constexpr auto kStall = 1000ms;

// First in the hook chain, ahead of the key assignments. A press of T makes
// the UI thread stall right after answering it (as a long repaint or a file
// save would); "slow" makes the listener itself take that long over the next
// press of F5. It passes every event on down the chain and counts them.
class StallingListener : public IKeyboardHookListener {
 public:
  int OnHookEvent(int*, uint32_t* message, KBDLLHOOKSTRUCT* event) override {
    ++seen;
    const bool press = (*message == platform::WM_KEYDOWN) && !(event->flags & platform::kPassedOnFlag);
    if (press && event->vkCode == kVkT) {
      QMetaObject::invokeMethod(
          QCoreApplication::instance(),
          [this] {
            stalling = true;
            std::this_thread::sleep_for(kStall);
          },
          Qt::QueuedConnection);
    }
    if (press && event->vkCode == kVkF5 && slow.exchange(false)) std::this_thread::sleep_for(kStall);
    return 0;
  }
  std::atomic<int> seen{0};
  std::atomic<bool> stalling{false};
  std::atomic<bool> slow{false};
};

struct FateCase {
  const char* label;
  // Typed from a second thread: "+63" press, "*63" auto-repeat, "-63"
  // release (evdev codes; 63 is F5); "stall" taps T and waits until the UI
  // thread stalls; "slow" makes the listener slow over the next F5 press.
  const char* typed;
  const char* clone;   // key events out of the clone
  size_t queued;       // macro steps F5's assignment queued
  uint64_t timedOut;
};
std::ostream& operator<<(std::ostream& out, const FateCase& c) { return out << c.label; }

class HookFate : public testing::TestWithParam<FateCase> {};

TEST_P(HookFate, KeyKeepsOneFate_NothingLeaksOrSticks_AssignmentRunsAtMostOnce) {
  const FateCase& c = GetParam();
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());

  // F5 plays a macro on its release, as assigned keys do.
  KeyRecordList records;
  KeyRecord record;
  record.code = static_cast<int32_t>(kVkF5);
  record.type = 0;
  record.repeat = 1;
  record.steps = {MacroStep{0x42, 0, 0, {}}, MacroStep{0x42, 1, 0, {}}};
  records.records.push_back(record);
  MacroLibrary library;
  DeviceConfig config;
  platform::RecordingInjector injector;
  SimpleThread thread;  // never started: the queue stays for the test to read
  KeyAssignments assignments(KeyAssignments::Services{
      records, library, config, [] { return true; }, &injector, nullptr, thread});

  EvdevHookSource source(kSampleVid, kSamplePid);
  KeyboardHook hook;
  ASSERT_TRUE(hook.Install(&source));
  StallingListener staller;
  hook.AddListener(&staller);
  hook.AddListener(&assignments);
  std::string cloneNode;
  for (const std::string& node : NodesNamed(kName)) {
    if (node != keyboard.Node()) cloneNode = node;
  }
  NodeReader clone(cloneNode);
  ASSERT_TRUE(clone.Ok());

  std::atomic<int> typed{0};
  std::atomic<bool> done{false};
  std::thread typist([&] {
    std::istringstream tokens(c.typed);
    std::string token;
    while (tokens >> token) {
      if (token == "stall") {
        keyboard.Tap(KEY_T);
        typed += 2;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!staller.stalling && std::chrono::steady_clock::now() < deadline) {
          std::this_thread::sleep_for(1ms);
        }
      } else if (token == "slow") {
        staller.slow = true;
      } else {
        const int value = token[0] == '+' ? 1 : token[0] == '*' ? 2 : 0;
        keyboard.Key(std::stoi(token.substr(1)), value);
        ++typed;
      }
    }
    done = true;
  });
  // The hook delivers every event to the chain, late ones included.
  EXPECT_TRUE(PumpUntil([&] { return done && staller.seen >= typed; }, 20s));
  typist.join();

  EXPECT_EQ(clone.KeysUntilQuiet(500ms), c.clone);
  EXPECT_EQ(clone.HeldKeys(), "");
  EXPECT_EQ(assignments.Queue().Snapshot().size(), c.queued);
  EXPECT_EQ(source.TimedOutCount(), c.timedOut);
  hook.RemoveListener(&assignments);
  hook.RemoveListener(&staller);
}

INSTANTIATE_TEST_SUITE_P(
    EvdevHook, HookFate,
    testing::Values(
        // F5's press comes while the UI thread is stalled and goes on to the
        // desktop: its repeats and release follow it there, and the macro
        // does not also play when the assignments get the key late.
        FateCase{"PressPassedOnLate_RepeatsAndReleaseFollowIt", "stall +63 *63 *63 -63",
                 "+20 -20 +63 +63r +63r -63", 0, 1},
        // F5's press is swallowed in time; its repeat and release come while
        // the UI thread is stalled: neither leaks, and the macro plays once
        // when the assignments get the release.
        FateCase{"PressSwallowed_RepeatAndReleaseWhileStalled_StaySwallowed",
                 "+63 stall *63 -63", "+20 -20", 2, 0},
        // The assignments are still at work on the press when the 300 ms
        // run out: their verdict is waited for and holds.
        FateCase{"ListenerBusyPastTheTimeout_IsWaitedFor", "slow +63 *63 -63", "", 2, 0}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace keyloom::kernel_test
