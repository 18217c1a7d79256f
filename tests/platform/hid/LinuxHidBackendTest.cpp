#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QSignalSpy>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/linux/LinuxDeviceNotifier.h"
#include "platform/linux/LinuxHidPlatform.h"

namespace keyloom::platform {
namespace {

bool MachineHasHidraw() {
  std::error_code error;
  return std::filesystem::exists("/sys/class/hidraw", error) &&
         !std::filesystem::is_empty("/sys/class/hidraw", error);
}

TEST(LinuxHidPlatform, ListingSucceedsAndIsEmptyWithoutHidrawNodes) {
  LinuxHidPlatform hid;
  HidInterfaceList list;
  ASSERT_TRUE(hid.ListInterfaces(list));
  if (MachineHasHidraw()) GTEST_SKIP() << "this machine has HID devices";
  EXPECT_TRUE(list.interfaces.empty());
}

TEST(LinuxHidPlatform, OpeningAMissingNodeFailsAndItsHandleRefusesEverything) {
  LinuxHidPlatform hid;
  const std::wstring path = L"hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw-keyloom-missing";
  EXPECT_EQ(hid.Open(path, kHidReadWriteShared), kInvalidHidHandle);
  EXPECT_EQ(hid.Open(path, kHidShareRead | kHidShareWrite), kInvalidHidHandle);
  EXPECT_EQ(hid.Open(L"hid#vid_1a2b&pid_3c4d#not-a-node", kHidReadWriteShared), kInvalidHidHandle);
  uint8_t report[8] = {7};
  EXPECT_FALSE(hid.SetFeature(kInvalidHidHandle, report, 8));
  EXPECT_FALSE(hid.GetFeature(kInvalidHidHandle, report, 8));
  EXPECT_FALSE(hid.Close(kInvalidHidHandle));
  const HidWriteStart start = hid.BeginWrite(kInvalidHidHandle, report, 8);
  EXPECT_FALSE(start.completed);
  EXPECT_NE(start.error, kHidErrorIoPending);
}

// A node the user may not open: a file under /dev (the backend opens only
// paths there) with no permissions. Root passes any permission check, so the
// opening child drops to nobody first.
class RefusedNode : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/dev/shm/keyloom-hint-XXXXXX";
    if (!mkdtemp(pattern)) GTEST_SKIP() << "no writable /dev/shm";
    dir_ = pattern;
    node_ = dir_ + "/hidraw0";
    std::ofstream(node_).put('\0');
    ASSERT_EQ(chmod(dir_.c_str(), 0711), 0);
    ASSERT_EQ(chmod(node_.c_str(), 0), 0);
  }
  void TearDown() override {
    std::error_code error;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, error);
  }
  static void BecomeUnprivileged() {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(3);
  }

  std::string dir_;
  std::string node_;
};

TEST_F(RefusedNode, RefusedOpen_PrintsTheRulesHintOnce) {
  const std::wstring path = L"hid#vid_1a2b&pid_0001#" + std::wstring(node_.begin(), node_.end());
  // The whole of standard error is one line naming the node and the rules
  // file, although the node is refused three times.
  const std::string onlyLine = "^keyloom: no access to " + node_ +
                               "; install packaging/linux/70-keyloom.rules[^\n]*\n$";
  EXPECT_EXIT(
      {
        BecomeUnprivileged();
        LinuxHidPlatform hid;
        const bool refused = hid.Open(path, kHidReadWriteShared) == kInvalidHidHandle &&
                             hid.Open(path, kHidReadWriteShared) == kInvalidHidHandle &&
                             hid.Open(path, kHidAccessRead | kHidShareRead) == kInvalidHidHandle;
        std::_Exit(refused ? 0 : 1);
      },
      testing::ExitedWithCode(0), onlyLine);
}

TEST_F(RefusedNode, MissingNode_PrintsNoHint) {
  const std::string missing = dir_ + "/hidraw1";
  const std::wstring path = L"hid#vid_1a2b&pid_0001#" + std::wstring(missing.begin(), missing.end());
  EXPECT_EXIT(
      {
        BecomeUnprivileged();
        LinuxHidPlatform hid;
        std::_Exit(hid.Open(path, kHidReadWriteShared) == kInvalidHidHandle ? 0 : 1);
      },
      testing::ExitedWithCode(0), "^$");
}

// Arrival details are scripted; removal must repeat them although the node's
// sysfs entries would be gone by then.
TEST(LinuxDeviceNotifier, RemovalRepeatsThePathsOfTheArrival) {
  const std::string syspath = "/sys/devices/usb1/1-2/1-2:1.1/0003:1A2B:3C4D.0005/hidraw/hidraw3";
  bool present = true;
  LinuxDeviceNotifier notifier(
      [&](const std::string& path, HidrawDetails& details) {
        if (!present || path != syspath) return false;
        details.syspath = path;
        details.devnode = "/dev/hidraw3";
        details.identity = {0x1A2B, 0x3C4D, 1};
        details.collections.resize(2);
        return true;
      },
      nullptr);
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);

  notifier.HandleEvent({true, "/dev/hidraw3", syspath});
  present = false;
  notifier.HandleEvent({false, "/dev/hidraw3", syspath});

  ASSERT_EQ(spy.count(), 4);
  const QString col1 = "hid#vid_1a2b&pid_3c4d&mi_01&col01#/dev/hidraw3";
  const QString col2 = "hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3";
  EXPECT_EQ(spy[0][0].value<DeviceChange>(), DeviceChange::Arrival);
  EXPECT_EQ(spy[0][1].toString(), col1);
  EXPECT_EQ(spy[1][1].toString(), col2);
  EXPECT_EQ(spy[2][0].value<DeviceChange>(), DeviceChange::RemoveComplete);
  EXPECT_EQ(spy[2][1].toString(), col1);
  EXPECT_EQ(spy[3][1].toString(), col2);
}

TEST(LinuxDeviceNotifier, RemovalOfAnUnseenNodeIsNamedFromItsSysPath) {
  LinuxDeviceNotifier notifier([](const std::string&, HidrawDetails&) { return false; }, nullptr);
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);
  notifier.HandleEvent({false, "/dev/hidraw4", "/sys/devices/usb1/1-2/1-2:1.0/0003:1A2B:3C4D.0006/hidraw/hidraw4"});
  notifier.HandleEvent({false, "/dev/hidraw5", "/sys/devices/virtual/misc/something"});
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][1].toString(), "hid#vid_1a2b&pid_3c4d&mi_00#/dev/hidraw4");
}

TEST(LinuxDeviceNotifier, ArrivalThatCannotBeReadIsIgnored) {
  LinuxDeviceNotifier notifier([](const std::string&, HidrawDetails&) { return false; }, nullptr);
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);
  notifier.HandleEvent({true, "/dev/hidraw4", "/sys/devices/usb1/1-2/1-2:1.0/0003:1A2B:3C4D.0006/hidraw/hidraw4"});
  EXPECT_EQ(spy.count(), 0);
}

}  // namespace
}  // namespace keyloom::platform
