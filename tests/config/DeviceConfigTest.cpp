#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "config/DeviceConfig.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

using Steps = std::vector<std::pair<int32_t, int32_t>>;

DeviceConfig LoadText(const std::string& text) {
  test::TempDir dir;
  DeviceConfig config;
  config.Load(dir.Write("config.xml", text));
  return config;
}

// Something other than a file where config.xml should be: start-up must go
// on with defaults, neither hanging on a pipe nor sizing a buffer from a folder.
TEST(DeviceConfig, AFolderOrAPipeInPlaceOfTheFile_GivesTheDefaultsAtOnce) {
  for (const char* kind : {"folder", "pipe"}) {
    SCOPED_TRACE(kind);
    test::TempDir dir;
    const std::string path = (dir.path() / "config.xml").string();
    if (std::string(kind) == "folder") {
      std::filesystem::create_directory(path);
    } else {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
    DeviceConfig config;
    config.chinese = true;
    config.Load(path);  // the old reader blocked here for ever on the pipe
    EXPECT_TRUE(config.chinese);
    EXPECT_TRUE(std::filesystem::exists(path));
  }
}

TEST(DeviceConfig, ReadsEveryElementOfAFullFile) {
  const DeviceConfig c = LoadText(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<local language=\"cn\"/>\n"
      "<usb vid=\"1A2B\" pid=\"0001\" interface=\"1\" subdevice=\"-1\"/>\n"
      "<funkey><item name=\"Calc\" path=\"/usr/bin/calc\" argm=\"-x\" code=\"7\"/></funkey>\n"
      "<combkey><item name=\"Copy\" code=\"17:0,67:0\"/></combkey>\n");
  EXPECT_TRUE(c.chinese);
  EXPECT_EQ(c.vid, 0x1A2B);
  EXPECT_EQ(c.pid, 1);
  EXPECT_EQ(c.interface, 1);
  EXPECT_EQ(c.subdevice, -1);
  ASSERT_EQ(c.functionKeys.size(), 1u);
  EXPECT_EQ(c.functionKeys[0].name, L"Calc");
  EXPECT_EQ(c.functionKeys[0].path, L"/usr/bin/calc");
  EXPECT_EQ(c.functionKeys[0].argm, L"-x");
  EXPECT_EQ(c.functionKeys[0].code, 7u);
  ASSERT_EQ(c.combinations.size(), 1u);
  EXPECT_EQ(c.combinations[0].name, L"Copy");
  EXPECT_EQ(c.combinations[0].steps, (Steps{{17, 0}, {67, 0}}));
}

TEST(DeviceConfig, NonAsciiTextsArriveAsWideStrings) {
  const DeviceConfig c = LoadText("<funkey><a name=\"计算器\" path=\"calc\"/></funkey>");
  ASSERT_EQ(c.functionKeys.size(), 1u);
  EXPECT_EQ(c.functionKeys[0].name, L"计算器");
}

TEST(DeviceConfig, UsbElementWithWildcards) {
  const DeviceConfig c = LoadText("<usb vid=\"0x1a2b\" pid=\"0\" interface=\"-1\" subdevice=\"-1\"/>");
  EXPECT_EQ(c.vid, 6699);
  EXPECT_EQ(c.pid, 0);
  EXPECT_EQ(c.interface, -1);
  EXPECT_EQ(c.subdevice, -1);
}

TEST(DeviceConfig, NamesInCapitalsReadAsLowerCase) {
  const DeviceConfig c = LoadText("<USB VID=\"10\" PID=\"20\" INTERFACE=\"2\" SubDevice=\"3\"/><LOCAL Language=\"cn\"/>");
  EXPECT_EQ(c.vid, 16);
  EXPECT_EQ(c.pid, 32);
  EXPECT_EQ(c.interface, 2);
  EXPECT_EQ(c.subdevice, 3);
  EXPECT_TRUE(c.chinese);
}

TEST(DeviceConfig, LanguageValueIsCaseSensitive) {
  EXPECT_FALSE(LoadText("<local language=\"CN\"/>").chinese);
  EXPECT_FALSE(LoadText("<local/>").chinese);
  EXPECT_FALSE(LoadText("<local language=\"en\"/>").chinese);
}

TEST(DeviceConfig, OnlyTheFirstElementAndAttributeOfANameCount) {
  const DeviceConfig c = LoadText("<usb vid=\"1\" VID=\"2\"/><usb vid=\"3\"/>");
  EXPECT_EQ(c.vid, 1);
}

TEST(DeviceConfig, FunctionKeyWithEmptyNameIsSkippedAndOrderKept) {
  const DeviceConfig c = LoadText(
      "<funkey>text is skipped<a name=\"one\"/><b name=\"\"/><c/><d name=\"two\" code=\"-1\"/></funkey>");
  ASSERT_EQ(c.functionKeys.size(), 2u);
  EXPECT_EQ(c.functionKeys[0].name, L"one");
  EXPECT_EQ(c.functionKeys[0].path, L"");
  EXPECT_EQ(c.functionKeys[0].code, 0u);
  EXPECT_EQ(c.functionKeys[1].name, L"two");
  EXPECT_EQ(c.functionKeys[1].code, 0xFFFFFFFFu);
}

TEST(DeviceConfig, TextInsideCombkeyIsAnEmptyCombination) {
  const DeviceConfig c = LoadText("<combkey><a name=\"x\" code=\"1\"/>loose text</combkey>");
  ASSERT_EQ(c.combinations.size(), 2u);
  EXPECT_EQ(c.combinations[0].name, L"x");
  EXPECT_EQ(c.combinations[1].name, L"");
  EXPECT_TRUE(c.combinations[1].steps.empty());
}

TEST(DeviceConfig, CombinationWithoutNameOrCodeStillCounts) {
  const DeviceConfig c = LoadText("<combkey><a/></combkey>");
  ASSERT_EQ(c.combinations.size(), 1u);
  EXPECT_TRUE(c.combinations[0].steps.empty());
}

struct CodeCase {
  const char* code;
  Steps expected;
};

std::ostream& operator<<(std::ostream& os, const CodeCase& c) { return os << '"' << c.code << '"'; }

class CombinationCode : public testing::TestWithParam<CodeCase> {};

TEST_P(CombinationCode, ParsesToSteps) {
  EXPECT_EQ(ParseCombinationCode(GetParam().code), GetParam().expected) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(Table, CombinationCode, testing::Values(
    CodeCase{"17:0,67:0", {{17, 0}, {67, 0}}},
    CodeCase{" 17 : 5 , 67 ", {{17, 5}, {67, 0}}},
    CodeCase{"17,,67", {{17, 0}, {67, 0}}},
    CodeCase{",17,", {{17, 0}}},
    CodeCase{"", {}},
    CodeCase{"   ", {}},
    CodeCase{"::", {}},          // colons only: no first part, skipped
    CodeCase{"17,:,67", {{17, 0}, {67, 0}}},
    CodeCase{"-5:-6", {{-5, -6}}},
    CodeCase{"16:1:9", {{16, 1}}},
    CodeCase{"abc:3", {{0, 3}}}));

TEST(DeviceConfig, WrappedInOneRootReadsAsEmpty) {
  const DeviceConfig c = LoadText("<config><usb vid=\"1\" pid=\"2\"/><local language=\"cn\"/></config>");
  EXPECT_EQ(c.vid, 0);
  EXPECT_EQ(c.pid, 0);
  EXPECT_FALSE(c.chinese);
}

TEST(DeviceConfig, MissingOrMalformedFileLeavesDefaults) {
  DeviceConfig missing;
  missing.Load("/nonexistent/keyloom/config.xml");
  EXPECT_EQ(missing.vid, 0);
  EXPECT_FALSE(missing.chinese);

  const DeviceConfig malformed = LoadText("<usb vid=\"1A2B\" pid=\"1\"/><local language=\"cn\"");
  EXPECT_EQ(malformed.vid, 0);
  EXPECT_EQ(malformed.pid, 0);
  EXPECT_FALSE(malformed.chinese);
}

TEST(DeviceConfig, MissingElementKeepsDefaultsOthersStillRead) {
  const DeviceConfig c = LoadText("<local language=\"cn\"/><combkey><a code=\"1\"/></combkey>");
  EXPECT_TRUE(c.chinese);
  EXPECT_EQ(c.vid, 0);
  EXPECT_EQ(c.combinations.size(), 1u);
}

TEST(DeviceConfig, Utf16FileIsDetectedByItself) {
  test::TempDir dir;
  const std::string text = "<usb vid=\"ab\"/>";
  std::string utf16 = "\xFF\xFE";
  for (char c : text) { utf16.push_back(c); utf16.push_back('\0'); }
  DeviceConfig c;
  c.Load(dir.Write("config.xml", utf16));
  EXPECT_EQ(c.vid, 0xAB);
}

}  // namespace
}  // namespace keyloom
