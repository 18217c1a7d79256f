#include "platform/linux/HookDispatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>
#include <vector>

namespace keyloom::platform::linux_input {
namespace {

using namespace std::chrono_literals;

// The test's main thread plays the UI thread: its event loop runs the hook
// procedure, while a second thread asks as the device reader does.
class HookDispatcherTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "linux_input_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  // Runs the event loop until `done` is set (or a generous bound passes).
  static void PumpUntil(const std::atomic<bool>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done && std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();
  }

  static KBDLLHOOKSTRUCT Key(uint32_t vk) {
    KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    return event;
  }

  std::vector<uint32_t> seen_;  // vk codes in the order the procedure saw them
};

TEST_F(HookDispatcherTest, Ask_ReturnsProcedureVerdict_InOrder) {
  HookDispatcher dispatcher(
      [this](int code, uint32_t message, KBDLLHOOKSTRUCT* event) -> intptr_t {
        EXPECT_EQ(code, HC_ACTION);
        EXPECT_EQ(message, WM_KEYDOWN);
        seen_.push_back(event->vkCode);
        return event->vkCode == 'A' ? 1 : 0;
      },
      5000ms);
  std::vector<intptr_t> verdicts;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    for (uint32_t vk : {'A', 'B', 'A'}) verdicts.push_back(dispatcher.Ask(WM_KEYDOWN, Key(vk)));
    done = true;
  });
  PumpUntil(done);
  reader.join();
  EXPECT_EQ(verdicts, (std::vector<intptr_t>{1, 0, 1}));
  EXPECT_EQ(seen_, (std::vector<uint32_t>{'A', 'B', 'A'}));
  EXPECT_EQ(dispatcher.TimedOut(), 0u);
}

TEST_F(HookDispatcherTest, BusyUiThread_PassesEventsOnAfterTimeout_AndStillDeliversAllInOrder) {
  HookDispatcher dispatcher(
      [this](int, uint32_t, KBDLLHOOKSTRUCT* event) -> intptr_t {
        seen_.push_back(event->vkCode);
        return 1;
      },
      30ms);
  std::vector<intptr_t> verdicts;
  // The UI thread is busy (not pumping) while all three are asked.
  std::thread reader([&] {
    for (uint32_t vk : {'A', 'B', 'C'}) verdicts.push_back(dispatcher.Ask(WM_KEYDOWN, Key(vk)));
  });
  reader.join();
  EXPECT_EQ(verdicts, (std::vector<intptr_t>{0, 0, 0}));
  EXPECT_EQ(dispatcher.TimedOut(), 3u);
  QCoreApplication::processEvents();
  EXPECT_EQ(seen_, (std::vector<uint32_t>{'A', 'B', 'C'}));
}

TEST_F(HookDispatcherTest, Stop_ReleasesWaitingAsk_AndProcedureIsNotCalledAfterwards) {
  HookDispatcher dispatcher(
      [this](int, uint32_t, KBDLLHOOKSTRUCT* event) -> intptr_t {
        seen_.push_back(event->vkCode);
        return 1;
      },
      60000ms);
  std::atomic<bool> asked{false};
  intptr_t verdict = -1;
  std::thread reader([&] {
    asked = true;
    verdict = dispatcher.Ask(WM_KEYDOWN, Key('A'));
  });
  while (!asked) std::this_thread::yield();
  std::this_thread::sleep_for(20ms);
  const auto before = std::chrono::steady_clock::now();
  dispatcher.Stop();
  reader.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
  EXPECT_EQ(verdict, 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(dispatcher.Ask(WM_KEYDOWN, Key('B')), 0);
}

}  // namespace
}  // namespace keyloom::platform::linux_input
