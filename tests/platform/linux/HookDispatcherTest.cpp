#include "platform/linux/HookDispatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace keyloom::platform::linux_input {
namespace {

using namespace std::chrono_literals;

// Generous: only a stalled UI thread ever misses it.
constexpr auto kTimeout = 1000ms;

// The test's main thread plays the UI thread: its event loop runs the hook
// procedure, while a second thread asks as the device reader does. A script
// steers both: "+A" a key down (a press, or an auto-repeat while A is held),
// "-A" a key up, "stall" the UI thread stops running its loop (the reader
// goes on only once it has), "resume" it runs it again, "slow" the procedure
// takes longer than the time-out over the next event.
//
// The procedure plays a key assignment: it swallows A and B, except events
// already passed on, and performs A's assignment on its release, as the
// macro assignments do. It changes its mind within a key for two more: D's
// key-ups only would it swallow, E's key-downs only (the single-key page of
// the macro editor does that).
class HookDispatcherTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "linux_input_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  intptr_t Procedure(int code, uint32_t message, KBDLLHOOKSTRUCT* event) {
    EXPECT_EQ(code, HC_ACTION);
    if (slow_.exchange(false)) std::this_thread::sleep_for(kTimeout + 300ms);
    const bool up = message == WM_KEYUP;
    const bool passedOn = (event->flags & kPassedOnFlag) != 0;
    seen_ += std::string(seen_.empty() ? "" : " ") + (up ? "-" : "+") +
             static_cast<char>(event->vkCode) + (passedOn ? ":p" : "");
    if (passedOn) return 0;
    if (event->vkCode == 'D') return up ? 1 : 0;
    if (event->vkCode == 'E') return up ? 0 : 1;
    if (event->vkCode != 'A' && event->vkCode != 'B') return 0;
    if (up && event->vkCode == 'A') ++actions_;
    return 1;
  }

  struct Outcome {
    std::string swallowed;  // what the reader kept from the clone
    std::string passed;     // what it let through
  };

  // Plays `script` through `dispatcher`; returns once the procedure has seen
  // every key event.
  Outcome Play(HookDispatcher& dispatcher, const std::string& script) {
    Outcome outcome;
    std::atomic<size_t> events{0};
    std::atomic<bool> done{false};
    std::thread reader([&] {
      std::istringstream tokens(script);
      std::string token;
      while (tokens >> token) {
        if (token == "stall") {
          stallWanted_ = true;
          while (!stalled_) std::this_thread::yield();
        } else if (token == "resume") {
          stallWanted_ = false;
        } else if (token == "slow") {
          slow_ = true;
        } else {
          ++events;
          const bool up = token[0] == '-';
          KBDLLHOOKSTRUCT event;
          event.vkCode = static_cast<uint32_t>(token[1]);
          event.flags = up ? LLKHF_UP : 0;
          // Key codes of source 1: the dispatcher never looks at the vk.
          const HookKey key{1, token[1]};
          std::string& out = dispatcher.Ask(key, up ? WM_KEYUP : WM_KEYDOWN, event) != 0
                                 ? outcome.swallowed
                                 : outcome.passed;
          out += (out.empty() ? "" : " ") + token;
        }
      }
      stallWanted_ = false;
      done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    const auto all = [&] {
      const auto seen = seen_.empty() ? 0 : std::count(seen_.begin(), seen_.end(), ' ') + 1;
      return done && static_cast<size_t>(seen) >= events.load();
    };
    while (!all() && std::chrono::steady_clock::now() < deadline) {
      if (stallWanted_) {
        stalled_ = true;
        std::this_thread::sleep_for(1ms);
        continue;
      }
      stalled_ = false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    reader.join();
    QCoreApplication::processEvents();
    return outcome;
  }

  std::string seen_;  // what the procedure saw, ":p" for passed on
  int actions_ = 0;   // A's assignment performed
  std::atomic<bool> stallWanted_{false};
  std::atomic<bool> stalled_{false};
  std::atomic<bool> slow_{false};
};

struct FateCase {
  const char* label;
  const char* script;
  const char* swallowed;
  const char* passed;
  const char* seen;
  int actions;
  uint64_t timedOut;
};
std::ostream& operator<<(std::ostream& out, const FateCase& c) { return out << c.label; }

class KeyFate : public HookDispatcherTest, public testing::WithParamInterface<FateCase> {};

// However late the verdicts come, each key's press, auto-repeats and release
// are swallowed together or passed together, and an assignment runs once at
// most: never for a key the desktop has got.
TEST_P(KeyFate, PressRepeatsAndRelease_ShareOneFate_AndNothingActsTwice) {
  const FateCase& c = GetParam();
  HookDispatcher dispatcher(
      [this](int code, uint32_t message, KBDLLHOOKSTRUCT* event) {
        return Procedure(code, message, event);
      },
      kTimeout);
  const Outcome outcome = Play(dispatcher, c.script);
  EXPECT_EQ(outcome.swallowed, c.swallowed);
  EXPECT_EQ(outcome.passed, c.passed);
  EXPECT_EQ(seen_, c.seen);
  EXPECT_EQ(actions_, c.actions);
  EXPECT_EQ(dispatcher.TimedOut(), c.timedOut);
}

INSTANTIATE_TEST_SUITE_P(
    HookDispatcher, KeyFate,
    testing::Values(
        FateCase{"InTime_SwallowedWithItsRepeats", "+A +A +A -A", "+A +A +A -A", "",
                 "+A +A +A -A", 1, 0},
        FateCase{"InTime_PassedWithItsRepeats", "+C +C -C", "", "+C +C -C", "+C +C -C", 0, 0},
        FateCase{"InTime_PassedPress_OutweighsSwallowingItsRelease", "+D +D -D", "", "+D +D -D",
                 "+D +D -D", 0, 0},
        FateCase{"InTime_SwallowedPress_OutweighsPassingItsRelease", "+E +E -E", "+E +E -E", "",
                 "+E +E -E", 0, 0},
        // The press goes on unanswered: so do its repeats and its release,
        // though the procedure is back in time for them and would swallow.
        FateCase{"LatePress_RepeatsAndReleasePassToo", "stall +A +A resume +A -A", "",
                 "+A +A +A -A", "+A:p +A:p +A:p -A:p", 0, 1},
        // The release comes while the UI thread is stalled: it stays with
        // its press, and the assignment runs on it when the procedure gets it.
        FateCase{"PressInTime_ReleaseWhileStalled_StaysSwallowed", "+A stall +A -A resume",
                 "+A +A -A", "", "+A +A -A", 1, 0},
        FateCase{"TwoKeys_EachKeepsItsOwnFate", "+A stall +B -A resume -B", "+A -A", "+B -B",
                 "+A +B:p -A -B:p", 1, 1},
        FateCase{"AfterTheRelease_TheNextPressIsAskedAfresh", "stall +A -A resume +A -A", "+A -A",
                 "+A -A", "+A:p -A:p +A -A", 1, 1},
        // A procedure already at work when the time runs out decided the
        // key; its verdict holds rather than the time-out's.
        FateCase{"ProcedureBusyPastTheTimeout_IsWaitedFor", "slow +A -A", "+A -A", "", "+A -A", 1,
                 0},
        // Held before keyloom took the keyboard: the desktop had the press.
        FateCase{"ReleaseWithoutPress_Passes", "-A", "", "-A", "-A:p", 0, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(HookDispatcherTest, SameCodeOnTwoSources_AreTwoKeys_AndForgottenKeysPassOn) {
  HookDispatcher dispatcher([](int, uint32_t, KBDLLHOOKSTRUCT*) -> intptr_t { return 1; }, kTimeout);
  KBDLLHOOKSTRUCT down;
  down.vkCode = 'A';
  KBDLLHOOKSTRUCT up = down;
  up.flags = LLKHF_UP;
  std::vector<intptr_t> verdicts;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    verdicts.push_back(dispatcher.Ask({1, 30}, WM_KEYDOWN, down));
    verdicts.push_back(dispatcher.Ask({2, 30}, WM_KEYDOWN, down));  // asked: a press
    dispatcher.Forget(1);                                           // its device went away
    verdicts.push_back(dispatcher.Ask({1, 30}, WM_KEYUP, up));
    verdicts.push_back(dispatcher.Ask({2, 30}, WM_KEYUP, up));
    done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  reader.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(verdicts, (std::vector<intptr_t>{1, 1, 0, 1}));
  EXPECT_EQ(dispatcher.TimedOut(), 0u);
}

TEST_F(HookDispatcherTest, Stop_ReleasesWaitingAsk_AndProcedureIsNotCalledAfterwards) {
  int calls = 0;
  HookDispatcher dispatcher(
      [&calls](int, uint32_t, KBDLLHOOKSTRUCT*) -> intptr_t {
        ++calls;
        return 1;
      },
      60000ms);
  std::atomic<bool> asked{false};
  intptr_t verdict = -1;
  KBDLLHOOKSTRUCT event;
  event.vkCode = 'A';
  std::thread reader([&] {
    asked = true;
    verdict = dispatcher.Ask({1, 30}, WM_KEYDOWN, event);
  });
  while (!asked) std::this_thread::yield();
  std::this_thread::sleep_for(20ms);
  const auto before = std::chrono::steady_clock::now();
  dispatcher.Stop();
  reader.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
  EXPECT_EQ(verdict, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(dispatcher.Ask({1, 48}, WM_KEYDOWN, event), 0);
}

}  // namespace
}  // namespace keyloom::platform::linux_input
