#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>

#include "device/FindHidDevices.h"
#include "device/HidDevice.h"
#include "device/ScriptedHidPlatform.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"

namespace keyloom {
namespace {

using platform::kHidReadWriteShared;
using platform::kInvalidHidHandle;
using platform::kNullHidHandle;
using test::ScriptedHidPlatform;

const wchar_t* const kPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col02#c";
const wchar_t* const kOtherPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_00#a";

class HidDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedHidPlatform::Device keyboard;
    keyboard.caps.outputReportByteLength = 8;
    keyboard.attributes.versionNumber = 0x0102;
    platform.AddInterface(kPath, keyboard);
    platform.AddInterface(kOtherPath);
  }
  ScriptedHidPlatform platform;
  HidDevice device{platform};
};

TEST_F(HidDeviceTest, OpenWithMissingPath_ReturnsFalseAndLeavesHandleAlone) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const auto handle = device.Handle();
  EXPECT_FALSE(device.Open(kHidReadWriteShared, static_cast<const wchar_t*>(nullptr)));
  EXPECT_EQ(device.Handle(), handle);
  EXPECT_TRUE(device.IsOpen());
}

TEST_F(HidDeviceTest, OpenOnOpenDevice_ClosesTheOldHandleFirst) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const auto first = device.Handle();
  platform.opens.clear();
  platform.closes.clear();
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kOtherPath));
  ASSERT_FALSE(platform.closes.empty());
  EXPECT_EQ(platform.closes.front(), first);
  ASSERT_FALSE(platform.opens.empty());
  EXPECT_EQ(platform.opens.front().path, kOtherPath);
  EXPECT_EQ(platform.opens.front().accessMode, kHidReadWriteShared);
  EXPECT_NE(device.Handle(), first);
}

TEST_F(HidDeviceTest, FailedOpen_LeavesIsOpenFalseWithInvalidHandle) {
  platform.devices[kPath].opens = false;
  EXPECT_FALSE(device.Open(kHidReadWriteShared, kPath));
  EXPECT_EQ(device.Handle(), kInvalidHidHandle);
  EXPECT_FALSE(device.IsOpen());
  // Transfers on the failed handle reach the platform, which refuses them.
  const uint8_t report[8] = {7};
  EXPECT_FALSE(device.SetFeature(report));
  EXPECT_EQ(platform.featureCalls, 1);
}

TEST_F(HidDeviceTest, CapsAreReadThroughAQueryOnlyHandle) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  ASSERT_EQ(platform.opens.size(), 2u);
  EXPECT_EQ(platform.opens[1].accessMode & 0xFF000000u, 0u);
  EXPECT_EQ(device.Caps().outputReportByteLength, 8);
  EXPECT_EQ(platform.closes.size(), 1u);
}

TEST_F(HidDeviceTest, CapsKeepTheirContentsWhenTheyCannotBeRead) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  platform.devices[kOtherPath].capsReadable = false;
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kOtherPath));
  EXPECT_EQ(device.Caps().outputReportByteLength, 8);
}

TEST_F(HidDeviceTest, CloseTwice_SecondCallDoesNothing) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  platform.closes.clear();
  device.Close();
  device.Close();
  EXPECT_EQ(platform.closes.size(), 1u);
  EXPECT_EQ(device.Handle(), kNullHidHandle);
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(HidDeviceTest, TransfersOnNeverOpenedDevice_FailWithoutReachingThePlatform) {
  uint8_t report[8] = {7};
  EXPECT_FALSE(device.SetFeature(report));
  EXPECT_FALSE(device.GetFeature(report));
  EXPECT_FALSE(device.SetFeature(nullptr));
  EXPECT_EQ(platform.featureCalls, 0);
}

TEST_F(HidDeviceTest, OpenByIdentifiersWithoutMatch_ReturnsFalseAndKeepsHandle) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const auto handle = device.Handle();
  uint16_t version = 0xBEEF;
  const int32_t pids[] = {0x9999};
  EXPECT_FALSE(device.Open(0x1A2B, pids, 1, 1, 2, kHidReadWriteShared, &version));
  EXPECT_EQ(device.Handle(), handle);
  EXPECT_EQ(version, 0xBEEF);
}

TEST_F(HidDeviceTest, OpenByIdentifiers_OpensTheFirstMatchAndReportsItsVersion) {
  uint16_t version = 0;
  const int32_t pids[] = {0x3C4D};
  ASSERT_TRUE(device.Open(0x1A2B, pids, 1, -1, -1, kHidReadWriteShared, &version));
  EXPECT_EQ(version, 0x0102);
  EXPECT_EQ(platform.opens.back().path, kPath);
}

// Discovery opens every match to probe it, so the open that counts is the
// one whose handle the device keeps.
TEST_F(HidDeviceTest, OpenByIdentifiers_KeepsTheFirstOfSeveralMatches) {
  const int32_t pids[] = {0x3C4D};
  ASSERT_EQ(FindHidDevices(platform, 0x1A2B, pids, 1, -1, -1).size(), 2u);
  platform.opens.clear();
  ASSERT_TRUE(device.Open(0x1A2B, pids, 1, -1, -1, kHidReadWriteShared));
  int kept = 0;
  for (const auto& open : platform.opens) {
    if (open.result != device.Handle()) continue;
    ++kept;
    EXPECT_EQ(open.path, kPath);
    EXPECT_EQ(open.accessMode, kHidReadWriteShared);
  }
  EXPECT_EQ(kept, 1);
}

TEST_F(HidDeviceTest, OpenByIdentifiers_WhenTheFirstMatchWillNotOpen_NeverTriesTheNext) {
  platform.devices[kPath].opens = false;
  const int32_t pids[] = {0x3C4D};
  EXPECT_FALSE(device.Open(0x1A2B, pids, 1, -1, -1, kHidReadWriteShared));
  EXPECT_FALSE(device.IsOpen());
  int laterOpens = 0;
  for (const auto& open : platform.opens) laterOpens += open.path == kOtherPath;
  EXPECT_EQ(laterOpens, 1) << "only its probe";
}

TEST_F(HidDeviceTest, Open_TracesTheHandleOrFfffffffWhenItFails) {
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "open dev: 00000040\n");
  platform.devices[kOtherPath].opens = false;
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(device.Open(kHidReadWriteShared, kOtherPath));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "open dev: ffffffff\n");
}

TEST_F(HidDeviceTest, WriteThatCompletesAtOnce_TracesStartLengthAndBytesWritten) {
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const uint8_t report[8] = {7, 0xF0, 0xAA};
  char expected[200];
  std::snprintf(expected, sizeof expected,
                "写(异步)USB设备 handle=00000040, data=%08x, len=8, timeout=3000\n正在写入... 8\n已写长度为 8\n",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(report)));
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(device.Write(report), 8);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
}

struct WriteLengthCase {
  uint16_t outputLength;
  size_t sent;
};
std::ostream& operator<<(std::ostream& out, const WriteLengthCase& c) {
  return out << "output length " << c.outputLength;
}

class HidDeviceWriteLength : public HidDeviceTest, public ::testing::WithParamInterface<WriteLengthCase> {};

TEST_P(HidDeviceWriteLength, SendsEightBytesUnlessTheOutputReportIsShorter) {
  platform.devices[kPath].caps.outputReportByteLength = GetParam().outputLength;
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const uint8_t report[8] = {7, 0xF0, 0xAA};
  EXPECT_EQ(device.Write(report), static_cast<int>(GetParam().sent));
  ASSERT_EQ(platform.writeLengths.size(), 1u);
  EXPECT_EQ(platform.writeLengths[0], GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Caps, HidDeviceWriteLength,
                         ::testing::Values(WriteLengthCase{0, 8}, WriteLengthCase{4, 4}, WriteLengthCase{8, 8},
                                           WriteLengthCase{65, 8}),
                         [](const auto& info) { return "OutputLength" + std::to_string(info.param.outputLength); });

TEST_F(HidDeviceTest, PendingWriteThatCompletes_ReturnsItsBytes) {
  platform.writeMode = ScriptedHidPlatform::WriteMode::PendingThenDone;
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const uint8_t report[8] = {7, 0xF0, 0xAA};
  EXPECT_EQ(device.Write(report), 8);
  EXPECT_EQ(platform.waitTimeouts, std::vector<uint32_t>{3000});
}

TEST_F(HidDeviceTest, PendingWritePastTimeout_ReturnsZeroWithTraceLines) {
  platform.writeMode = ScriptedHidPlatform::WriteMode::PendingPastTimeout;
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const uint8_t report[8] = {7, 0xF0, 0xAA};
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(device.Write(report), 0);
  const std::string trace = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(platform.waitTimeouts, std::vector<uint32_t>{3000});
  EXPECT_NE(trace.find("写(异步)USB设备 handle=00000040"), std::string::npos) << trace;
  EXPECT_NE(trace.find("len=8, timeout=3000\n正在写入... 8\n写文件错误(0040,997)\n超时索引错误\n已写长度为 0\n"),
            std::string::npos)
      << trace;
}

TEST_F(HidDeviceTest, WriteThatFails_ReturnsZeroWithoutWaiting) {
  platform.writeMode = ScriptedHidPlatform::WriteMode::Fail;
  ASSERT_TRUE(device.Open(kHidReadWriteShared, kPath));
  const uint8_t report[8] = {7, 0xF0, 0xAA};
  EXPECT_EQ(device.Write(report), 0);
  EXPECT_TRUE(platform.waitTimeouts.empty());
}

// The virtual keyboard holds the write for real, so this waits the full
// three seconds; the buffer is freed as soon as Write returns, and the
// sanitizer build catches any later use of it.
TEST(HidDeviceVirtual, WriteHeldPastTimeout_ReturnsZeroAndNeverTouchesTheBufferAgain) {
  platform::VirtualKeyboard keyboard;
  keyboard.SetReplugOnFactoryReset(false);
  platform::VirtualHidPlatform hid(keyboard);
  HidDevice device(hid);
  ASSERT_TRUE(device.Open(kHidReadWriteShared, keyboard.CommandInterface().path));
  keyboard.SetHoldWrites(true);

  auto buffer = std::make_unique<uint8_t[]>(8);
  const uint8_t reset[8] = {0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0};
  std::copy(reset, reset + 8, buffer.get());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(device.Write(buffer.get()), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900));
  buffer.reset();

  keyboard.ReleaseHeldWrites();
  EXPECT_EQ(keyboard.State().factoryResets, 1) << "the late write carried its own copy";
}

}  // namespace
}  // namespace keyloom

namespace keyloom {
namespace {

// config.xml's sample identifiers: vendor 1A2B, product 0001, interface 1,
// any collection.
TEST(HidDeviceVirtual, SampleIdentifiersOpenTheCollectionThatTakesCommands) {
  platform::VirtualKeyboard keyboard;
  platform::VirtualHidPlatform hid(keyboard);
  HidDevice device(hid);
  const int32_t pids[] = {0x0001};
  const uint8_t effect[8] = {0x07, 0xFF, 0xFF, 0x03, 0x05, 0x02, 0x01, 0x01};

  ASSERT_TRUE(device.Open(0x1A2B, pids, 1, 1, -1, kHidReadWriteShared));
  EXPECT_TRUE(device.SetFeature(effect));
  EXPECT_EQ(keyboard.State().effect, 3);

  ASSERT_TRUE(device.Open(0x1A2B, pids, 1, 0, -1, kHidReadWriteShared));
  EXPECT_FALSE(device.SetFeature(effect)) << "the boot keyboard takes no commands";
}

}  // namespace
}  // namespace keyloom
