#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "platform/linux/ReportDescriptor.h"

namespace keyloom::platform {
namespace {

// The boot keyboard of interface 0: modifiers, reserved byte, six keys in;
// five LEDs and padding out; no report ids.
const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// Interface 1: media keys (report 2) and the vendor collection (report 7,
// seven data bytes as feature and output, inside a nested collection).
const std::vector<uint8_t> kCommandInterface = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00, 0x2A,
    0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x07, 0x09, 0x02, 0xA1, 0x00, 0x15, 0x00, 0x26,
    0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0, 0xC0};

// A usage that carries its own page, and a push/pop around a report size.
const std::vector<uint8_t> kExtendedUsage = {
    0x0B, 0x01, 0x00, 0x0C, 0x00, 0xA1, 0x01, 0x75, 0x08, 0xA4, 0x75, 0x01, 0xB4, 0x95, 0x03,
    0x81, 0x02, 0xC0};

struct DescriptorCase {
  const char* name;
  std::vector<uint8_t> descriptor;
  std::vector<HidCaps> expected;
};

std::ostream& operator<<(std::ostream& out, const DescriptorCase& c) { return out << c.name; }

class ParseTopLevelCollectionsTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(ParseTopLevelCollectionsTest, GivesOneCapabilityRecordPerTopLevelCollection) {
  const DescriptorCase& c = GetParam();
  const auto collections = ParseTopLevelCollections(c.descriptor.data(), c.descriptor.size());
  ASSERT_EQ(collections.size(), c.expected.size());
  for (size_t i = 0; i < collections.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(collections[i].usagePage, c.expected[i].usagePage);
    EXPECT_EQ(collections[i].usage, c.expected[i].usage);
    EXPECT_EQ(collections[i].inputReportByteLength, c.expected[i].inputReportByteLength);
    EXPECT_EQ(collections[i].outputReportByteLength, c.expected[i].outputReportByteLength);
    EXPECT_EQ(collections[i].featureReportByteLength, c.expected[i].featureReportByteLength);
  }
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, ParseTopLevelCollectionsTest,
    ::testing::Values(
        DescriptorCase{"BootKeyboardIsOneCollection", kBootKeyboard, {HidCaps{6, 0x01, 9, 2, 0}}},
        DescriptorCase{"MediaAndVendorAreTwoCollections",
                       kCommandInterface,
                       {HidCaps{1, 0x0C, 3, 0, 0}, HidCaps{1, 0xFF00, 0, 8, 8}}},
        DescriptorCase{"FourByteUsageCarriesItsPage", kExtendedUsage, {HidCaps{1, 0x0C, 4, 0, 0}}},
        DescriptorCase{"TruncatedDescriptorKeepsWhatWasRead", Truncated(kCommandInterface, 36),
                       {HidCaps{1, 0x0C, 3, 0, 0}, HidCaps{1, 0xFF00, 0, 0, 0}}},
        DescriptorCase{"EmptyDescriptorHasNoCollections", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom::platform
