#include <gtest/gtest.h>

#include <ostream>

#include "platform/linux/HidrawPaths.h"

namespace keyloom::platform {
namespace {

struct SysPathCase {
  const char* name;
  const char* syspath;
  bool ok;
  HidrawIdentity identity;
};

std::ostream& operator<<(std::ostream& out, const SysPathCase& c) { return out << c.name; }

class IdentityFromSysPathTest : public ::testing::TestWithParam<SysPathCase> {};

TEST_P(IdentityFromSysPathTest, ReadsVendorProductAndInterfaceFromThePathAlone) {
  const SysPathCase& c = GetParam();
  HidrawIdentity identity;
  ASSERT_EQ(IdentityFromSysPath(c.syspath, identity), c.ok);
  if (!c.ok) return;
  EXPECT_EQ(identity.vid, c.identity.vid);
  EXPECT_EQ(identity.pid, c.identity.pid);
  EXPECT_EQ(identity.mi, c.identity.mi);
}

INSTANTIATE_TEST_SUITE_P(
    SysPaths, IdentityFromSysPathTest,
    ::testing::Values(
        SysPathCase{"UsbInterfaceOne",
                    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1A2B:3C4D.0005/hidraw/hidraw3", true,
                    {0x1A2B, 0x3C4D, 1}},
        SysPathCase{"BehindAHub",
                    "/sys/devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4:1.0/0003:046D:C52B.0001/hidraw/hidraw0",
                    true, {0x046D, 0xC52B, 0}},
        SysPathCase{"TwoDigitInterface",
                    "/sys/devices/usb1/1-1/1-1:1.12/0003:1A2B:3C4D.000A/hidraw/hidraw9", true, {0x1A2B, 0x3C4D, 12}},
        SysPathCase{"VirtualDeviceHasNoInterface",
                    "/sys/devices/virtual/misc/uhid/0003:1A2B:3C4D.0001/hidraw/hidraw0", true, {0x1A2B, 0x3C4D, -1}},
        SysPathCase{"NoHidPart", "/sys/devices/virtual/misc/uhid", false, {}},
        // Parts that look like a USB interface but name none are passed over.
        SysPathCase{"InterfaceWithoutNumber",
                    "/sys/devices/usb1/1-2/1-2:1../0003:1A2B:3C4D.0001/hidraw/hidraw0", true, {0x1A2B, 0x3C4D, -1}},
        SysPathCase{"InterfaceNumberBeyondAByte",
                    "/sys/devices/usb1/1-2/1-2:1.99999999999/0003:1A2B:3C4D.0001/hidraw/hidraw0", true,
                    {0x1A2B, 0x3C4D, -1}},
        SysPathCase{"InterfaceNumberWithDots",
                    "/sys/devices/usb1/1-2/1-2:1.1/1-2:1.2.3/0003:1A2B:3C4D.0001/hidraw/hidraw0", true,
                    {0x1A2B, 0x3C4D, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PathsCase {
  const char* name;
  HidrawIdentity identity;
  int collections;
  std::vector<std::wstring> expected;
};

std::ostream& operator<<(std::ostream& out, const PathsCase& c) { return out << c.name; }

class HidrawPathsTest : public ::testing::TestWithParam<PathsCase> {};

TEST_P(HidrawPathsTest, NamesEachCollectionOfTheNode) {
  const PathsCase& c = GetParam();
  EXPECT_EQ(HidrawPaths(c.identity, c.collections, "/dev/hidraw3"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, HidrawPathsTest,
    ::testing::Values(
        PathsCase{"CompositeWithTwoCollections",
                  {0x1A2B, 0x3C4D, 1},
                  2,
                  {L"hid#vid_1a2b&pid_3c4d&mi_01&col01#/dev/hidraw3", L"hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3"}},
        PathsCase{"SingleCollectionHasNoCollectionPart",
                  {0x1A2B, 0x3C4D, 0},
                  1,
                  {L"hid#vid_1a2b&pid_3c4d&mi_00#/dev/hidraw3"}},
        PathsCase{"NotCompositeHasNoInterfacePart", {0x046D, 0xC52B, -1}, 1, {L"hid#vid_046d&pid_c52b#/dev/hidraw3"}},
        PathsCase{"UnreadableDescriptorCountsAsOneCollection",
                  {0x1A2B, 0x3C4D, 1},
                  0,
                  {L"hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidrawPaths, NodeAndCollectionComeBackOutOfThePath) {
  const std::wstring path = L"hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3";
  EXPECT_EQ(DevnodeFromPath(path), "/dev/hidraw3");
  EXPECT_EQ(CollectionFromPath(path), 2);
  EXPECT_EQ(CollectionFromPath(L"HID#VID_1A2B&PID_3C4D&MI_01&COL0B#/dev/hidraw3"), 11);
  EXPECT_EQ(CollectionFromPath(L"hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw3"), 0);
  EXPECT_EQ(DevnodeFromPath(L"hid#vid_1a2b&pid_3c4d"), "");
}

}  // namespace
}  // namespace keyloom::platform
