#include "macros/KeyboardHook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/test/ScriptedHookSource.h"

namespace keyloom {
namespace {

using platform::ScriptedHookSource;

// Consumes the keys it is told to and notes what it saw.
class FakeListener : public IKeyboardHookListener {
 public:
  FakeListener(std::string name, std::vector<std::string>* log, uint32_t consumes = 0)
      : name_(std::move(name)), log_(log), consumes_(consumes) {}
  int OnHookEvent(int*, uint32_t*, platform::KBDLLHOOKSTRUCT* event) override {
    log_->push_back(name_);
    if (onEvent) onEvent();
    return event->vkCode == consumes_ ? 1 : 0;
  }
  std::function<void()> onEvent;

 private:
  std::string name_;
  std::vector<std::string>* log_;
  uint32_t consumes_;
};

class KeyboardHookTest : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  ScriptedHookSource source;
  KeyboardHook hook;
};

TEST_F(KeyboardHookTest, AddListenerBeforeInstall_IsRefused) {
  FakeListener listener("a", &log);
  EXPECT_FALSE(hook.AddListener(&listener));
  ASSERT_TRUE(hook.Install(&source));
  source.Feed("+A");
  EXPECT_TRUE(log.empty());
}

TEST_F(KeyboardHookTest, AddingTheSameListenerTwice_KeepsOneEntry) {
  FakeListener listener("a", &log);
  ASSERT_TRUE(hook.Install(&source));
  EXPECT_TRUE(hook.AddListener(&listener));
  EXPECT_TRUE(hook.AddListener(&listener));
  EXPECT_FALSE(hook.AddListener(nullptr));
  source.Feed("+A");
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
}

TEST_F(KeyboardHookTest, Install_UsesTheLowLevelHookOnce) {
  EXPECT_FALSE(hook.Install(nullptr));
  EXPECT_FALSE(hook.IsInstalled());
  ASSERT_TRUE(hook.Install(&source));
  EXPECT_EQ(source.InstalledType(), platform::WH_KEYBOARD_LL);
  ScriptedHookSource other;
  EXPECT_TRUE(hook.Install(&other));  // already installed: nothing new
  EXPECT_FALSE(other.IsInstalled());
}

TEST_F(KeyboardHookTest, Install_FailsQuietly_WhenTheSourceRefuses) {
  source.RefuseInstall(true);
  EXPECT_FALSE(hook.Install(&source));
  EXPECT_FALSE(hook.IsInstalled());
  EXPECT_FALSE(hook.Uninstall());
}

TEST_F(KeyboardHookTest, Uninstall_StopsTheEvents) {
  FakeListener listener("a", &log);
  ASSERT_TRUE(hook.Install(&source));
  hook.AddListener(&listener);
  EXPECT_TRUE(hook.Uninstall());
  EXPECT_FALSE(hook.IsInstalled());
  source.Feed("+A");
  EXPECT_TRUE(log.empty());
}

TEST_F(KeyboardHookTest, ListenersAreAskedInOrder_AndTheFirstThatConsumesEndsTheWalk) {
  FakeListener first("first", &log, 'A');
  FakeListener second("second", &log, 'B');
  FakeListener third("third", &log);
  ASSERT_TRUE(hook.Install(&source));
  for (auto* listener : {&first, &second, &third}) hook.AddListener(listener);

  ScriptedHookSource::FeedResult result = source.Feed("+A +B +C");
  EXPECT_EQ(result.swallowed, "+A +B");
  EXPECT_EQ(result.passed, "+C");
  EXPECT_EQ(log, (std::vector<std::string>{"first", "first", "second", "first", "second", "third"}));
  EXPECT_EQ(source.CallNextCount(), 1);  // only the event nobody consumed goes on
}

TEST_F(KeyboardHookTest, UnconsumedEvent_GetsTheAnswerOfTheNextHook) {
  ASSERT_TRUE(hook.Install(&source));
  source.SetNextHookResult(1);
  EXPECT_EQ(source.Feed("+A").swallowed, "+A");
}

TEST_F(KeyboardHookTest, NegativeHookCode_GoesOnWithoutAskingListeners) {
  FakeListener listener("a", &log, 'A');
  ASSERT_TRUE(hook.Install(&source));
  hook.AddListener(&listener);
  EXPECT_EQ(source.Deliver(platform::WM_KEYDOWN, {'A', 0x1E, 0, 0, 0}, -1), 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(KeyboardHookTest, RemoveListener_RemovesItAlsoWithoutAHook) {
  FakeListener listener("a", &log);
  EXPECT_FALSE(hook.RemoveListener(nullptr));
  EXPECT_TRUE(hook.RemoveListener(&listener));
  ASSERT_TRUE(hook.Install(&source));
  hook.AddListener(&listener);
  EXPECT_TRUE(hook.RemoveListener(&listener));
  source.Feed("+A");
  EXPECT_TRUE(log.empty());
}

TEST_F(KeyboardHookTest, ListenerRemovedDuringTheWalk_IsNotAskedAnyMore) {
  FakeListener first("first", &log);
  FakeListener second("second", &log);
  first.onEvent = [&] { hook.RemoveListener(&second); };
  ASSERT_TRUE(hook.Install(&source));
  hook.AddListener(&first);
  hook.AddListener(&second);
  source.Feed("+A");
  EXPECT_EQ(log, (std::vector<std::string>{"first"}));
}

}  // namespace
}  // namespace keyloom
