#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "lighting/SideLightSettings.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

const std::string kFactoryFile =
    "<?xml version=\"1.0\"?>\n"
    "<effect sel=\"0\">\n"
    "\t<item brightness=\"4\" />\n\t<item brightness=\"4\" />\n\t<item brightness=\"4\" />\n"
    "\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n"
    "\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n"
    "\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n\t<item brightness=\"7\" />\n"
    "</effect>\n";

class SideLightSettingsTest : public ::testing::Test {
 protected:
  bool LoadText(const std::string& body) { return settings.Load(dir.Write("sidemodel.xml", body)); }

  test::TempDir dir;
  SideLightSettings settings;
  const std::string path = dir.File("sidemodel.xml");
};

TEST_F(SideLightSettingsTest, MissingFile_ShouldWriteFactoryLevels_AndReturnFalse) {
  EXPECT_FALSE(settings.Load(path));
  EXPECT_EQ(dir.Read("sidemodel.xml"), kFactoryFile);
  EXPECT_EQ(settings.GetCurrent(), 0);
  for (int i = 0; i < SideLightSettings::kEntryCount; ++i) EXPECT_EQ(settings.GetEntry(i)->Level(), i < 3 ? 4 : 7);
}

TEST_F(SideLightSettingsTest, MalformedFile_ShouldResetDefaults_AndKeepTheDamagedFileAside) {
  EXPECT_FALSE(LoadText("<effect sel=\"3\">"));
  EXPECT_EQ(dir.Read("sidemodel.xml"), kFactoryFile);
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    backups += entry.path().filename().string().starts_with("sidemodel.xml.bad-");
  EXPECT_EQ(backups, 1);
}

TEST_F(SideLightSettingsTest, WrongRoot_ShouldGiveCurrentZero_KeepLevels_AndNotRewrite) {
  settings.GetEntry(0)->SetLevel(2);
  const std::string text = "<side sel=\"4\"><item brightness=\"1\"/></side>";
  EXPECT_TRUE(LoadText(text));
  EXPECT_EQ(settings.GetCurrent(), 0);
  EXPECT_EQ(settings.GetEntry(0)->Level(), 2);
  EXPECT_EQ(dir.Read("sidemodel.xml"), text);
}

TEST_F(SideLightSettingsTest, FileWithFiveItems_ShouldChangeOnlyTheirLevels) {
  for (int i = 0; i < 12; ++i) *settings.GetEntry(i) = {0x2A, 0xC3};  // level 2, reserved bits set
  EXPECT_TRUE(LoadText("<effect>"
                       "<item brightness=\"6\"/><item brightness=\"6\"/><item brightness=\"6\"/>"
                       "<item brightness=\"6\"/><item brightness=\"6\"/></effect>"));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(*settings.GetEntry(i), (SideModeEntry{0x6A, 0xC3})) << i;
  for (int i = 5; i < 12; ++i) EXPECT_EQ(*settings.GetEntry(i), (SideModeEntry{0x2A, 0xC3})) << i;
}

TEST_F(SideLightSettingsTest, ResetDefaults_ShouldSetLevelsAndFlag_KeepingOtherReservedBits) {
  settings.Load(path);
  *settings.GetEntry(0) = {0x1F, 0xFE};
  *settings.GetEntry(5) = {0x05, 0x00};
  settings.SetCurrent(9);
  EXPECT_TRUE(settings.ResetDefaults());
  EXPECT_EQ(*settings.GetEntry(0), (SideModeEntry{0x4F, 0xF1}));
  EXPECT_EQ(*settings.GetEntry(5), (SideModeEntry{0x75, 0x01}));
  EXPECT_EQ(settings.GetCurrent(), 0);
  EXPECT_EQ(dir.Read("sidemodel.xml"), kFactoryFile);
}

TEST_F(SideLightSettingsTest, SaveAndLoad_ShouldKeepLevelsAndCurrent) {
  settings.Load(path);
  for (int i = 0; i < 12; ++i) settings.GetEntry(i)->SetLevel(static_cast<uint8_t>(i % 8));
  EXPECT_TRUE(settings.SetCurrent(11));
  SideLightSettings reread;
  EXPECT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.GetCurrent(), 11);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(reread.GetEntry(i)->Level(), i % 8) << i;
}

TEST_F(SideLightSettingsTest, GetEntry_ShouldResolveMinusOneToCurrent_AndRejectOthersOutOfRange) {
  settings.Load(path);
  settings.SetCurrent(3);
  EXPECT_EQ(settings.GetEntry(-1), settings.GetEntry(3));
  EXPECT_EQ(settings.GetEntry(12), nullptr);
  EXPECT_EQ(settings.GetEntry(-5), nullptr);
}

// How "brightness" of an item reads into the level.
struct LevelCase {
  const char* name;
  const char* value;
  int expected;
};
std::ostream& operator<<(std::ostream& out, const LevelCase& c) { return out << c.name; }

class SideLevelReading : public ::testing::TestWithParam<LevelCase> {};

TEST_P(SideLevelReading, ShouldTakeTheLowFourBits_AndDropLevelsAboveSeven) {
  test::TempDir dir;
  SideLightSettings settings;
  *settings.GetEntry(0) = {0x3C, 0x81};
  const std::string attribute = GetParam().value ? std::string("brightness=\"") + GetParam().value + "\"" : "";
  ASSERT_TRUE(settings.Load(dir.Write("sidemodel.xml", "<effect><item " + attribute + "/></effect>")));
  EXPECT_EQ(settings.GetEntry(0)->Level(), GetParam().expected);
  EXPECT_EQ(settings.GetEntry(0)->byte0 & 0x0F, 0x0C) << "reserved bits of byte 0";
  EXPECT_EQ(settings.GetEntry(0)->byte1, 0x81) << "byte 1 is never read from the file";
}

INSTANTIATE_TEST_SUITE_P(Levels, SideLevelReading,
                         ::testing::Values(LevelCase{"Seven_IsKept", "7", 7}, LevelCase{"Eight_ReadsAsZero", "8", 0},
                                           LevelCase{"Fifteen_ReadsAsZero", "15", 0},
                                           LevelCase{"Sixteen_KeepsLowBitsZero", "16", 0},
                                           LevelCase{"TwentyOne_ReadsAsFive", "21", 5},
                                           LevelCase{"MinusThree_ReadsAsZero", "-3", 0},
                                           LevelCase{"Missing_ReadsAsZero", nullptr, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SideSelCase {
  const char* name;
  const char* document;
  int32_t expected;
};
std::ostream& operator<<(std::ostream& out, const SideSelCase& c) { return out << c.name; }

class SideSelReading : public ::testing::TestWithParam<SideSelCase> {};

TEST_P(SideSelReading, ShouldGiveTheCurrentIndex) {
  test::TempDir dir;
  SideLightSettings settings;
  ASSERT_TRUE(settings.Load(dir.Write("sidemodel.xml", GetParam().document)));
  EXPECT_EQ(settings.GetCurrent(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sel, SideSelReading,
                         ::testing::Values(SideSelCase{"Twelve_IsAccepted", R"(<effect sel="12"/>)", 12},
                                           SideSelCase{"Thirteen_ReadsAsZero", R"(<effect sel="13"/>)", 0},
                                           SideSelCase{"MinusOne_ReadsAsZero", R"(<effect sel="-1"/>)", 0},
                                           SideSelCase{"CapitalNames_AreMatched", R"(<Effect Sel="6"/>)", 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SideSel, Twelve_ShouldNameNoEntry) {
  test::TempDir dir;
  SideLightSettings settings;
  ASSERT_TRUE(settings.Load(dir.Write("sidemodel.xml", R"(<effect sel="12"/>)")));
  EXPECT_EQ(settings.GetEntry(-1), nullptr);
}

}  // namespace
}  // namespace keyloom
