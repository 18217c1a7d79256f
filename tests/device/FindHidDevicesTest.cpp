#include <gtest/gtest.h>

#include <ostream>

#include "device/FindHidDevices.h"
#include "device/ScriptedHidPlatform.h"

namespace keyloom {
namespace {

using platform::HidPathFetch;
using test::ScriptedHidPlatform;

// A keyboard with a boot interface, two collections on interface 1, an
// unrelated device of the same vendor and one of another vendor.
const wchar_t* const kBoot = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_00#a";
const wchar_t* const kMedia = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col01#b";
const wchar_t* const kVendor = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col02#c";
const wchar_t* const kMouse = L"\\\\?\\hid#vid_1a2b&pid_0777#d";
const wchar_t* const kOther = L"\\\\?\\hid#vid_9999&pid_3c4d&mi_01&col02#e";

struct FilterCase {
  const char* name;
  int32_t vid;
  int32_t pid;  // 0: empty product list
  int32_t interface;
  int32_t collection;
  std::vector<std::wstring> expected;
};

std::ostream& operator<<(std::ostream& out, const FilterCase& c) { return out << c.name; }

class FindHidDevicesFilter : public ::testing::TestWithParam<FilterCase> {
 protected:
  void SetUp() override {
    for (const wchar_t* path : {kBoot, kMedia, kVendor, kMouse, kOther}) platform.AddInterface(path);
  }
  ScriptedHidPlatform platform;
};

TEST_P(FindHidDevicesFilter, KeepsTheMatchingInterfacesInOrder) {
  const FilterCase& c = GetParam();
  const int32_t pids[] = {c.pid};
  const auto found = FindHidDevices(platform, c.vid, c.pid ? pids : nullptr, c.pid ? 1 : 0, c.interface,
                                    c.collection);
  std::vector<std::wstring> paths;
  for (const auto& info : found) paths.push_back(info.path);
  EXPECT_EQ(paths, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FindHidDevicesFilter,
    ::testing::Values(
        FilterCase{"ExactIdentifiersFindOneCollection", 0x1A2B, 0x3C4D, 1, 2, {kVendor}},
        FilterCase{"VendorAndProductZeroFindNothing", 0, 0, -1, -1, {}},
        FilterCase{"NegativeVendorWithoutProductFindsNothing", -5, 0, -1, -1, {}},
        FilterCase{"ProductZeroAcceptsEveryProductOfTheVendor", 0x1A2B, 0, -1, -1, {kBoot, kMedia, kVendor, kMouse}},
        FilterCase{"VendorZeroWithProductAcceptsAnyVendor", 0, 0x3C4D, 1, 2, {kVendor, kOther}},
        FilterCase{"InterfaceZeroRejectsPathWithoutInterface", 0x1A2B, 0x0777, 0, -1, {}},
        FilterCase{"InterfaceMinusOneAcceptsPathWithoutInterface", 0x1A2B, 0x0777, -1, -1, {kMouse}},
        FilterCase{"CollectionMinusOneAcceptsEveryCollection", 0x1A2B, 0x3C4D, 1, -1, {kMedia, kVendor}},
        FilterCase{"CollectionZeroRejectsPathWithoutCollection", 0x1A2B, 0x3C4D, 0, 0, {}},
        FilterCase{"InterfaceBelowMinusOneMatchesNothing", 0x1A2B, 0x3C4D, -2, -1, {}},
        FilterCase{"CollectionBelowMinusOneMatchesNothing", 0x1A2B, 0x3C4D, -1, -2, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindHidDevices, ProbeRecordsVersionAndUsageWithoutDeciding) {
  ScriptedHidPlatform platform;
  ScriptedHidPlatform::Device locked;
  locked.opens = false;
  platform.AddInterface(kMedia, locked);
  ScriptedHidPlatform::Device open;
  open.attributes.versionNumber = 0x0102;
  open.caps.usagePage = 0xFF00;
  open.caps.usage = 1;
  platform.AddInterface(kVendor, open);

  const int32_t pids[] = {0x3C4D};
  const auto found = FindHidDevices(platform, 0x1A2B, pids, 1, 1, -1);

  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, kMedia);
  EXPECT_EQ(found[0].vid, 0x1A2B);
  EXPECT_EQ(found[0].pid, 0x3C4D);
  EXPECT_EQ(found[0].versionNumber, 0);
  EXPECT_EQ(found[0].usagePage, 0);
  EXPECT_EQ(found[0].usage, 0);
  EXPECT_EQ(found[1].versionNumber, 0x0102);
  EXPECT_EQ(found[1].usagePage, 0xFF00);
  EXPECT_EQ(found[1].usage, 1);
  EXPECT_EQ(platform.closes.size(), 1u) << "the probe closes what it opened";
}

TEST(FindHidDevices, PathsThatCannotBeFetchedAreSkippedWithATraceLine) {
  ScriptedHidPlatform platform;
  platform.AddInterface(L"", {}, HidPathFetch::NoSize);
  platform.AddInterface(L"", {}, HidPathFetch::Failed);
  platform.AddInterface(kVendor);

  ::testing::internal::CaptureStdout();
  const int32_t pids[] = {0x3C4D};
  const auto found = FindHidDevices(platform, 0x1A2B, pids, 1, 1, 2);
  const std::string trace = ::testing::internal::GetCapturedStdout();

  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].path, kVendor);
  EXPECT_EQ(trace,
            "got classs: guid={4d1e55b2-f16f-11cf-88cb001111000030}\n"
            "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=0\n"
            "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=1\n"
            "获取接口信息失败\n"
            "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=2\n"
            "open dev: 00000040\n");
}

TEST(FindHidDevices, UnavailableListGivesEmptyResult) {
  ScriptedHidPlatform platform;
  platform.AddInterface(kVendor);
  platform.listAvailable = false;
  EXPECT_TRUE(FindHidDevices(platform, 0x1A2B, nullptr, 0, -1, -1).empty());
}

}  // namespace
}  // namespace keyloom
