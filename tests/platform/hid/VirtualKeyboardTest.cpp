#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <fstream>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "platform/virtual/VirtualDeviceNotifier.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

using Report = std::vector<uint8_t>;

class VirtualKeyboardTest : public ::testing::Test {
 protected:
  HidHandle OpenInterface(int index) {
    return hid.Open(keyboard.Interfaces()[index].path, kHidReadWriteShared);
  }
  HidHandle OpenCommands() { return OpenInterface(1); }

  VirtualKeyboard keyboard;
  VirtualHidPlatform hid{keyboard};
};

TEST_F(VirtualKeyboardTest, ListsThreeInterfacesNamedLikeACompositeKeyboard) {
  HidInterfaceList list;
  ASSERT_TRUE(hid.ListInterfaces(list));
  ASSERT_EQ(list.interfaces.size(), 3u);
  EXPECT_NE(list.interfaces[0].path.find(L"hid#vid_1a2b&pid_0001&mi_00#"), std::wstring::npos);
  EXPECT_NE(list.interfaces[1].path.find(L"hid#vid_1a2b&pid_0001&mi_01&col01#"), std::wstring::npos);
  EXPECT_NE(list.interfaces[2].path.find(L"hid#vid_1a2b&pid_0001&mi_01&col02#"), std::wstring::npos);
  HidCaps caps;
  const HidHandle handle = OpenCommands();
  ASSERT_TRUE(hid.GetCaps(handle, caps));
  EXPECT_EQ(caps.usagePage, 0xFF00);
  EXPECT_EQ(caps.outputReportByteLength, 8);
  HidAttributes attributes;
  ASSERT_TRUE(hid.GetAttributes(handle, attributes));
  EXPECT_EQ(attributes.vendorId, 0x1A2B);
  EXPECT_EQ(attributes.productId, 0x0001);
}

struct DecodeCase {
  const char* name;
  Report report;
  VirtualKeyboardState expected;
};

std::ostream& operator<<(std::ostream& out, const DecodeCase& c) { return out << c.name; }

class VirtualKeyboardDecode : public VirtualKeyboardTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(VirtualKeyboardDecode, FeatureReportChangesWhatTheKeyboardShows) {
  const DecodeCase& c = GetParam();
  ASSERT_TRUE(hid.SetFeature(OpenCommands(), c.report.data(), c.report.size()));
  const VirtualKeyboardState state = keyboard.State();
  EXPECT_EQ(state.effect, c.expected.effect);
  EXPECT_EQ(state.brightness, c.expected.brightness);
  EXPECT_EQ(state.speed, c.expected.speed);
  EXPECT_EQ(state.option, c.expected.option);
  EXPECT_EQ(state.direction, c.expected.direction);
  EXPECT_EQ(state.sideMode, c.expected.sideMode);
  EXPECT_EQ(state.sideLevel, c.expected.sideLevel);
  EXPECT_EQ(state.firmwareQueries, c.expected.firmwareQueries);
  EXPECT_EQ(state.reportsReceived, 1);
}

VirtualKeyboardState Effect(int effect, int brightness, int speed, int option, int direction) {
  VirtualKeyboardState s;
  s.effect = effect;
  s.brightness = brightness;
  s.speed = speed;
  s.option = option;
  s.direction = direction;
  return s;
}

VirtualKeyboardState Side(int mode, int level) {
  VirtualKeyboardState s;
  s.sideMode = mode;
  s.sideLevel = level;
  return s;
}

VirtualKeyboardState Queried() {
  VirtualKeyboardState s;
  s.firmwareQueries = 1;
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, VirtualKeyboardDecode,
    ::testing::Values(
        DecodeCase{"LightingEffect", {0x07, 0xFF, 0xFF, 0x03, 0x05, 0x02, 0x01, 0x01}, Effect(3, 5, 2, 1, 1)},
        DecodeCase{"LightingEffectOfCurrentEntryMarker", {0x07, 0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x01},
                   Effect(0xFF, 4, 0, 0, 1)},
        DecodeCase{"SideLightModeAndLevel", {0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x35, 0x00}, Side(5, 3)},
        DecodeCase{"FirmwareQuery", {0x07, 0xF1, 0, 0, 0, 0, 0, 0}, Queried()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualKeyboardTest, AnswersTheFirmwareQueryWithItsVersion) {
  const HidHandle handle = OpenCommands();
  uint8_t reply[8] = {0x07, 0xF1};
  ASSERT_TRUE(hid.GetFeature(handle, reply, 8));
  EXPECT_EQ(Report(reply, reply + 8), (Report{0x07, 0x01, 0x02, 0, 0, 0, 0, 0}));
  keyboard.SetFirmwareVersion(1, 0x85);
  ASSERT_TRUE(hid.GetFeature(handle, reply, 8));
  EXPECT_EQ(Report(reply, reply + 3), (Report{0x07, 0x01, 0x85}));
}

TEST_F(VirtualKeyboardTest, RefusesCommandsOnOtherInterfacesAndWhenToldTo) {
  const Report effect = {0x07, 0xFF, 0xFF, 0x03, 0x05, 0x02, 0x01, 0x01};
  EXPECT_FALSE(hid.SetFeature(OpenInterface(0), effect.data(), 8)) << "boot keyboard takes no commands";
  EXPECT_FALSE(hid.SetFeature(hid.Open(keyboard.CommandInterface().path, kHidShareRead), effect.data(), 8))
      << "a query-only handle transfers nothing";
  const HidHandle handle = OpenCommands();
  keyboard.SetFailFeatureTransfers(true);
  EXPECT_FALSE(hid.SetFeature(handle, effect.data(), 8));
  uint8_t reply[8] = {0x07};
  EXPECT_FALSE(hid.GetFeature(handle, reply, 8));
  keyboard.SetFailOpens(true);
  EXPECT_EQ(OpenCommands(), kInvalidHidHandle);
  EXPECT_EQ(keyboard.State().reportsReceived, 0);
}

TEST_F(VirtualKeyboardTest, HeldWriteTimesOutAndArrivesWhenReleased) {
  keyboard.SetReplugOnFactoryReset(false);
  const HidHandle handle = OpenCommands();
  keyboard.SetHoldWrites(true);
  const uint8_t reset[8] = {0x07, 0xF0, 0xAA};
  const HidWriteStart start = hid.BeginWrite(handle, reset, 8);
  ASSERT_FALSE(start.completed);
  ASSERT_EQ(start.error, kHidErrorIoPending);
  uint32_t bytes = 0;
  EXPECT_FALSE(hid.WaitWrite(handle, 50, bytes));
  EXPECT_EQ(keyboard.State().factoryResets, 0);
  keyboard.ReleaseHeldWrites();
  EXPECT_EQ(keyboard.State().factoryResets, 1);

  keyboard.SetHoldWrites(false);
  const HidWriteStart direct = hid.BeginWrite(handle, reset, 8);
  EXPECT_TRUE(direct.completed);
  EXPECT_EQ(direct.bytes, 8u);
  EXPECT_EQ(keyboard.State().factoryResets, 2);
}

class VirtualKeyboardHotplug : public VirtualKeyboardTest {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "hid_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
};

TEST_F(VirtualKeyboardHotplug, UnplugAndPlugRaiseNotificationsFromTheEventLoop) {
  VirtualDeviceNotifier notifier(keyboard);
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);
  const HidHandle before = OpenCommands();

  keyboard.Unplug();
  EXPECT_EQ(spy.count(), 0) << "delivered from the event loop, not from inside Unplug";
  QCoreApplication::processEvents();
  ASSERT_EQ(spy.count(), 3);
  EXPECT_EQ(spy[1][0].value<DeviceChange>(), DeviceChange::RemoveComplete);
  EXPECT_EQ(spy[1][1].toString().toStdWString(), keyboard.CommandInterface().notifiedPath);
  EXPECT_TRUE(spy[1][1].toString().startsWith("\\\\?\\HID#VID_1A2B&PID_0001&MI_01&COL01#"));

  HidInterfaceList list;
  ASSERT_TRUE(hid.ListInterfaces(list));
  EXPECT_TRUE(list.interfaces.empty());
  EXPECT_EQ(OpenCommands(), kInvalidHidHandle);

  keyboard.Plug();
  QCoreApplication::processEvents();
  ASSERT_EQ(spy.count(), 6);
  EXPECT_EQ(spy[5][0].value<DeviceChange>(), DeviceChange::Arrival);
  EXPECT_EQ(spy[4][1].toString(), spy[1][1].toString()) << "arrival and removal name the same interface";

  const uint8_t effect[8] = {0x07, 0xFF, 0xFF, 0x01, 0x05, 0x01, 0x00, 0x00};
  EXPECT_FALSE(hid.SetFeature(before, effect, 8)) << "a handle from before the unplug is dead";
  EXPECT_TRUE(hid.SetFeature(OpenCommands(), effect, 8));
}

TEST_F(VirtualKeyboardHotplug, FactoryResetMakesTheKeyboardLeaveAndComeBack) {
  VirtualDeviceNotifier notifier(keyboard);
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);
  const uint8_t reset[8] = {0x07, 0xF0, 0xAA};
  ASSERT_TRUE(hid.BeginWrite(OpenCommands(), reset, 8).completed);
  QCoreApplication::processEvents();
  ASSERT_EQ(spy.count(), 6);
  EXPECT_EQ(spy[0][0].value<DeviceChange>(), DeviceChange::RemoveComplete);
  EXPECT_EQ(spy[3][0].value<DeviceChange>(), DeviceChange::Arrival);
  EXPECT_TRUE(keyboard.Plugged());
  EXPECT_EQ(keyboard.State().factoryResets, 1);
}

TEST(VirtualKeyboardLog, AppendsOneTimedLinePerReceivedReport) {
  test::TempDir dir;
  const std::string log = dir.File("keyboard.log");
  {
    VirtualKeyboard keyboard(log);
    keyboard.SetReplugOnFactoryReset(false);
    VirtualHidPlatform hid(keyboard);
    const HidHandle handle = hid.Open(keyboard.CommandInterface().path, kHidReadWriteShared);
    const uint8_t effect[8] = {0x07, 0xFF, 0xFF, 0x03, 0x05, 0x02, 0x01, 0x01};
    ASSERT_TRUE(hid.SetFeature(handle, effect, 8));
    uint8_t query[8] = {0x07, 0xF1};
    ASSERT_TRUE(hid.GetFeature(handle, query, 8));
    const uint8_t reset[8] = {0x07, 0xF0, 0xAA};
    ASSERT_TRUE(hid.BeginWrite(handle, reset, 8).completed);
    keyboard.SetFailFeatureTransfers(true);
    EXPECT_FALSE(hid.SetFeature(handle, effect, 8)) << "a refused report is not logged";
  }
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  const std::regex format(R"((\d+) (set-feature|get-feature|write)( [0-9a-f]{2}){8})");
  std::vector<long long> stamps;
  for (const std::string& line : lines) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, format)) << line;
    stamps.push_back(std::stoll(match[1]));
  }
  EXPECT_LE(stamps[0], stamps[1]);
  EXPECT_LE(stamps[1], stamps[2]);
  EXPECT_NE(lines[0].find(" set-feature 07 ff ff 03 05 02 01 01"), std::string::npos);
  EXPECT_NE(lines[1].find(" get-feature 07 f1 00 00 00 00 00 00"), std::string::npos);
  EXPECT_NE(lines[2].find(" write 07 f0 aa 00 00 00 00 00"), std::string::npos);
}

}  // namespace
}  // namespace keyloom::platform
