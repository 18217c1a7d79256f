#include <gtest/gtest.h>

#include <vector>

#include "device/HidDevice.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "protocol/KeyboardCommands.h"

namespace keyloom {
namespace {

// A clock that moves only when someone sleeps on it or the test says so, and
// remembers every sleep.
class FakeClock : public MonotonicClock {
 public:
  int64_t NowMs() override { return now; }
  void SleepMs(int64_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += milliseconds;
  }
  int64_t now = 1000000;
  std::vector<int64_t> sleeps;
};

class KeyboardCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keyboard.SetReplugOnFactoryReset(false);
    OpenKeyboard();
  }
  void OpenKeyboard() {
    ASSERT_TRUE(device.Open(VirtualKeyboard::kVendorId, pids, 1, VirtualKeyboard::kCommandInterface,
                            VirtualKeyboard::kCommandCollection, platform::kHidReadWriteShared));
  }

  using VirtualKeyboard = platform::VirtualKeyboard;
  const int32_t pids[1] = {VirtualKeyboard::kProductId};
  VirtualKeyboard keyboard;
  platform::VirtualHidPlatform hid{keyboard};
  HidDevice device{hid};
  LightingEffectSettings effects;
  SideLightSettings sideLight;
  FakeClock clock;
  CommandPacer pacer{clock};
};

TEST_F(KeyboardCommandsTest, LightingEffectReachesTheKeyboard) {
  *effects.GetEntry(3) = {7, 2, 1, 2};
  EXPECT_TRUE(SendLightingEffect(device, effects, pacer, 3));
  const auto state = keyboard.State();
  EXPECT_EQ(state.effect, 3);
  EXPECT_EQ(state.brightness, 5);
  EXPECT_EQ(state.speed, 2);
  EXPECT_EQ(state.option, 1);
  EXPECT_EQ(state.direction, 1);
}

TEST_F(KeyboardCommandsTest, MinusOneSendsTheCurrentEntryUnderEffectFF) {
  effects.SetCurrent(4);
  *effects.GetEntry(4) = {2, 0, 1, 1};
  EXPECT_TRUE(SendLightingEffect(device, effects, pacer, -1));
  EXPECT_EQ(keyboard.State().effect, 0xFF);
  EXPECT_EQ(keyboard.State().brightness, 2);
}

TEST_F(KeyboardCommandsTest, EffectIndexOutsideTheModel_SendsNothingAndDoesNotSleep) {
  pacer.SetNow();
  EXPECT_FALSE(SendLightingEffect(device, effects, pacer, 22));
  effects.SetCurrent(22);
  EXPECT_FALSE(SendLightingEffect(device, effects, pacer, -1));
  EXPECT_FALSE(SendSideLightMode(device, sideLight, pacer, 12));
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(pacer.Last(), clock.now);
  EXPECT_EQ(keyboard.State().reportsReceived, 0);
}

TEST_F(KeyboardCommandsTest, BackToBackCommands_SecondStartsAFullGapAfterTheFirstFinished) {
  EXPECT_TRUE(SendLightingEffect(device, effects, pacer, 1));
  const int64_t firstFinished = pacer.Last();
  clock.now += 30;  // the caller spends a little time in between
  EXPECT_TRUE(SendSideLightMode(device, sideLight, pacer, 5));
  ASSERT_EQ(clock.sleeps.size(), 1u);
  EXPECT_EQ(clock.sleeps[0], 70);
  EXPECT_GE(pacer.Last(), firstFinished + CommandPacer::kGapMs);
  EXPECT_EQ(keyboard.State().sideMode, 5);
}

// The virtual keyboard, with every feature transfer taking a while on the
// test's clock.
class SlowFeatureTransfers : public platform::VirtualHidPlatform {
 public:
  SlowFeatureTransfers(platform::VirtualKeyboard& keyboard, FakeClock& clock, int64_t transferMs)
      : VirtualHidPlatform(keyboard), clock_(clock), transferMs_(transferMs) {}
  bool SetFeature(platform::HidHandle handle, const uint8_t* data, size_t length) override {
    clock_.now += transferMs_;
    return VirtualHidPlatform::SetFeature(handle, data, length);
  }

 private:
  FakeClock& clock_;
  const int64_t transferMs_;
};

TEST_F(KeyboardCommandsTest, GapIsCountedFromTheEndOfTheTransfer_NotItsStart) {
  SlowFeatureTransfers slow(keyboard, clock, 40);
  HidDevice slowDevice(slow);
  ASSERT_TRUE(slowDevice.Open(platform::kHidReadWriteShared, keyboard.CommandInterface().path));
  const int64_t sent = clock.now;
  EXPECT_TRUE(SendLightingEffect(slowDevice, effects, pacer, 1));
  EXPECT_EQ(pacer.Last(), sent + 40);
  EXPECT_TRUE(SendSideLightMode(slowDevice, sideLight, pacer, 5));
  // Counted from the start, the first transfer's 40 ms would shorten it to 60.
  EXPECT_EQ(clock.sleeps, std::vector<int64_t>{100});
}

TEST_F(KeyboardCommandsTest, ClockBehindTheLastCommand_WaitsNoMoreThanTheGap) {
  pacer.SetNow();
  clock.now -= 5000;
  SendLightingEffect(device, effects, pacer, 0);
  EXPECT_EQ(clock.sleeps, std::vector<int64_t>{100});
}

TEST_F(KeyboardCommandsTest, ClosedDevice_StillPacesAndMovesThePacer) {
  device.Close();
  pacer.SetNow();
  EXPECT_FALSE(SendLightingEffect(device, effects, pacer, 0));
  EXPECT_EQ(clock.sleeps, std::vector<int64_t>{100});
  EXPECT_EQ(pacer.Last(), clock.now);
  EXPECT_EQ(keyboard.State().reportsReceived, 0);
}

TEST_F(KeyboardCommandsTest, SideLightCarriesLevelAndMode) {
  sideLight.GetEntry(5)->SetLevel(3);
  EXPECT_TRUE(SendSideLightMode(device, sideLight, pacer, 5));
  EXPECT_EQ(keyboard.State().sideMode, 5);
  EXPECT_EQ(keyboard.State().sideLevel, 3);
}

TEST_F(KeyboardCommandsTest, FirmwareQuery_ReadsTheVersion) {
  keyboard.SetFirmwareVersion(1, 0x85);
  int32_t version = -1;
  EXPECT_TRUE(QueryFirmwareVersion(device, version));
  EXPECT_EQ(version, 0x0185);
  EXPECT_EQ(keyboard.State().firmwareQueries, 1);
}

TEST_F(KeyboardCommandsTest, FirmwareQueryThatFails_KeepsThePreviousVersion) {
  int32_t version = 0x0102;
  keyboard.SetFailFeatureTransfers(true);
  EXPECT_FALSE(QueryFirmwareVersion(device, version));
  EXPECT_EQ(version, 0x0102);
  keyboard.SetFailFeatureTransfers(false);
  device.Close();
  EXPECT_FALSE(QueryFirmwareVersion(device, version));
  EXPECT_EQ(version, 0x0102);
  EXPECT_EQ(keyboard.State().reportsReceived, 0) << "a closed device is not asked";
}

TEST_F(KeyboardCommandsTest, RestoreFactoryIsAnOutputReport) {
  EXPECT_TRUE(SendRestoreFactory(device));
  EXPECT_EQ(keyboard.State().factoryResets, 1);
}

TEST_F(KeyboardCommandsTest, StartupEffect_IsNotPacedAndLeavesThePacerAlone) {
  pacer.SetNow();
  const int64_t last = pacer.Last();
  EXPECT_TRUE(SendStartupEffect(device, effects, 0, 7, 8, 9));
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(pacer.Last(), last);
  const auto state = keyboard.State();
  EXPECT_EQ(state.effect, 0);
  // The keyboard reads byte 6 as the option and byte 7 as the direction;
  // the start-up report carries direction 0 and selection 1 there.
  EXPECT_EQ(state.option, 0);
  EXPECT_EQ(state.direction, 1);
}

}  // namespace
}  // namespace keyloom
