#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "device/HidDevice.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "protocol/DeviceCommandThread.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

using namespace std::chrono_literals;
using platform::VirtualKeyboard;

// One logged transfer: when, what kind, the bytes as hex text.
struct Logged {
  int64_t ms;
  std::string kind;
  std::string bytes;
};

class DeviceCommandThreadTest : public ::testing::Test {
 protected:
  DeviceCommandThreadTest() { keyboard_.SetReplugOnFactoryReset(false); }

  std::vector<Logged> Log() const {
    std::vector<Logged> lines;
    std::ifstream in(logPath_);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      Logged entry;
      fields >> entry.ms >> entry.kind;
      std::getline(fields, entry.bytes);
      entry.bytes = entry.bytes.substr(1);
      lines.push_back(entry);
    }
    return lines;
  }
  // The set-feature lighting reports (07 ff ff ...), in the order sent.
  std::vector<Logged> Lighting() const {
    std::vector<Logged> out;
    for (const Logged& l : Log())
      if (l.kind == "set-feature" && l.bytes.rfind("07 ff ff", 0) == 0) out.push_back(l);
    return out;
  }
  void ConnectAndWait() {
    thread_.Connect(ids_);
    ASSERT_TRUE(thread_.WaitUntilIdle(2s));
  }
  std::vector<DeviceReply> Replies() {
    const std::lock_guard lock(repliesMutex_);
    return replies_;
  }

  static KeyboardReport Effect(uint8_t effect) { return {0x07, 0xFF, 0xFF, effect, 5, 1, 0, 0}; }

  test::TempDir dir_;
  std::string logPath_ = dir_.File("keyboard.log");
  VirtualKeyboard keyboard_{logPath_};
  platform::VirtualHidPlatform hid_{keyboard_};
  HidDevice device_{hid_};
  CommandPacer pacer_;
  std::mutex repliesMutex_;
  std::vector<DeviceReply> replies_;
  const KeyboardIds ids_{VirtualKeyboard::kVendorId, VirtualKeyboard::kProductId, VirtualKeyboard::kCommandInterface,
                         VirtualKeyboard::kCommandCollection};
  DeviceCommandThread thread_{device_, pacer_, [this](const DeviceReply& r) {
                                const std::lock_guard lock(repliesMutex_);
                                replies_.push_back(r);
                              }};
};

TEST_F(DeviceCommandThreadTest, ConnectOpensTheKeyboardAndRepliesWithItsFirmwareVersion) {
  keyboard_.SetFirmwareVersion(1, 2);
  ConnectAndWait();
  ASSERT_EQ(Replies().size(), 1u);
  EXPECT_EQ(Replies()[0].kind, DeviceReply::Kind::Connected);
  EXPECT_TRUE(Replies()[0].opened);
  EXPECT_TRUE(Replies()[0].versionRead);
  EXPECT_EQ(Replies()[0].firmwareVersion, 258);
  EXPECT_TRUE(device_.IsOpen());
}

TEST_F(DeviceCommandThreadTest, ConnectWithoutTheKeyboardRepliesNotOpened) {
  keyboard_.Unplug();
  ConnectAndWait();
  ASSERT_EQ(Replies().size(), 1u);
  EXPECT_FALSE(Replies()[0].opened);
  EXPECT_FALSE(Replies()[0].versionRead);
}

TEST_F(DeviceCommandThreadTest, LightingCommandsKeepTheirOrderAndAreAtLeast100MsApart) {
  ConnectAndWait();
  thread_.RestartPacing();
  thread_.SendLightingEffect(Effect(3));
  thread_.SendSideLight({0x07, 0xFF, 0xFF, 0x20, 0, 0, 0x45, 0});
  thread_.Write({0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0});
  thread_.SendLightingEffect(Effect(4));
  ASSERT_TRUE(thread_.WaitUntilIdle(3s));
  std::vector<Logged> log = Log();
  std::vector<std::string> sent;
  for (const Logged& l : log)
    if (l.kind != "get-feature" && l.bytes.rfind("07 f1", 0) != 0) sent.push_back(l.bytes);
  EXPECT_EQ(sent, (std::vector<std::string>{"07 ff ff 03 05 01 00 00", "07 ff ff 20 00 00 45 00",
                                            "07 f0 aa 00 00 00 00 00", "07 ff ff 04 05 01 00 00"}));
  const std::vector<Logged> lighting = Lighting();
  ASSERT_EQ(lighting.size(), 3u);
  for (size_t i = 1; i < lighting.size(); ++i) EXPECT_GE(lighting[i].ms - lighting[i - 1].ms, 99) << i;
}

TEST_F(DeviceCommandThreadTest, AWaitingLightingCommandIsReplacedByANewerOneOfItsKind) {
  ConnectAndWait();
  thread_.RestartPacing();  // the next lighting command waits 100 ms
  thread_.SendLightingEffect(Effect(1));
  thread_.SendSideLight({0x07, 0xFF, 0xFF, 0x20, 0, 0, 0x41, 0});
  thread_.SendLightingEffect(Effect(2));  // takes the place of effect 1
  thread_.SendSideLight({0x07, 0xFF, 0xFF, 0x20, 0, 0, 0x42, 0});
  ASSERT_TRUE(thread_.WaitUntilIdle(3s));
  const std::vector<Logged> lighting = Lighting();
  ASSERT_EQ(lighting.size(), 2u);
  EXPECT_EQ(lighting[0].bytes, "07 ff ff 02 05 01 00 00");
  EXPECT_EQ(lighting[1].bytes, "07 ff ff 20 00 00 42 00");
  EXPECT_EQ(thread_.Replaced(), 2u);
}

TEST_F(DeviceCommandThreadTest, ACommandOfAnotherKindIsNeverOvertaken) {
  ConnectAndWait();
  thread_.RestartPacing();
  thread_.SendLightingEffect(Effect(1));
  thread_.Write({0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0});
  thread_.SendLightingEffect(Effect(2));  // after the reset: no replacement
  ASSERT_TRUE(thread_.WaitUntilIdle(3s));
  const std::vector<Logged> lighting = Lighting();
  ASSERT_EQ(lighting.size(), 2u);
  EXPECT_EQ(lighting[0].bytes, "07 ff ff 01 05 01 00 00");
  EXPECT_EQ(lighting[1].bytes, "07 ff ff 02 05 01 00 00");
  EXPECT_EQ(thread_.Replaced(), 0u);
}

TEST_F(DeviceCommandThreadTest, AHeldWriteDoesNotHoldUpTheCaller) {
  ConnectAndWait();
  keyboard_.SetHoldWrites(true);
  const auto start = std::chrono::steady_clock::now();
  thread_.Write({0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0});
  thread_.SendLightingEffect(Effect(7));
  // Asking took no time; the commands wait on the device thread.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_FALSE(thread_.WaitUntilIdle(200ms));
  keyboard_.ReleaseHeldWrites();
  ASSERT_TRUE(thread_.WaitUntilIdle(3s));
  ASSERT_EQ(Lighting().size(), 1u);
}

TEST_F(DeviceCommandThreadTest, StopDropsWhatIsQueuedAndLaterCommandsAreIgnored) {
  ConnectAndWait();
  thread_.RestartPacing();
  thread_.SendLightingEffect(Effect(1));
  thread_.Stop();
  thread_.SendLightingEffect(Effect(2));
  EXPECT_TRUE(thread_.WaitUntilIdle(100ms));
  EXPECT_TRUE(Lighting().empty());
}

TEST_F(DeviceCommandThreadTest, AnArrivalOpensByPathAndRestartsThePause) {
  thread_.OpenArrived(keyboard_.CommandInterface().notifiedPath);
  thread_.SendLightingEffect(Effect(5));
  ASSERT_TRUE(thread_.WaitUntilIdle(2s));
  ASSERT_EQ(Replies().size(), 1u);
  EXPECT_EQ(Replies()[0].kind, DeviceReply::Kind::Arrived);
  EXPECT_TRUE(Replies()[0].opened);
  const std::vector<Logged> log = Log();
  ASSERT_GE(log.size(), 3u);
  // The firmware query's get-feature, then the effect at least 100 ms later.
  EXPECT_GE(log.back().ms - log[log.size() - 2].ms, 99);
}

}  // namespace
}  // namespace keyloom
