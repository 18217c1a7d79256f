#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "lighting/LightingEffectSettings.h"
#include "support/TempDir.h"

namespace keyloom {

std::ostream& operator<<(std::ostream& out, const EffectEntry& e) {
  return out << "{brightness " << int{e.brightness} << ", speed " << int{e.speed} << ", direction "
             << int{e.direction} << ", selection " << int{e.selection} << "}";
}

namespace {

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

const std::string kDefaultItem = "\t<item speed=\"1\" brightness=\"5\" deriction=\"0\" selection=\"1\" />\n";
const std::string kFactoryFile =
    "<?xml version=\"1.0\"?>\n<effect sel=\"20\">\n" + Repeat(kDefaultItem, 22) + "</effect>\n";

class LightingEffectSettingsTest : public ::testing::Test {
 protected:
  // Loads `body` as the whole of ledeffect.xml.
  bool LoadText(const std::string& body) { return settings.Load(dir.Write("ledeffect.xml", body)); }
  bool HasBackup() const {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().filename().string().starts_with("ledeffect.xml.bad-")) return true;
    return false;
  }

  test::TempDir dir;
  LightingEffectSettings settings;
  const std::string path = dir.File("ledeffect.xml");
};

TEST_F(LightingEffectSettingsTest, MissingFile_ShouldWriteFactoryDefaults_AndReturnFalse) {
  EXPECT_FALSE(settings.Load(path));
  EXPECT_EQ(dir.Read("ledeffect.xml"), kFactoryFile);
  EXPECT_EQ(settings.GetCurrent(), 20);
  for (int i = 0; i < LightingEffectSettings::kEntryCount; ++i) EXPECT_EQ(settings.GetEntry(i)->Value(), 0x01000105u);
  EXPECT_FALSE(HasBackup());
}

TEST_F(LightingEffectSettingsTest, MalformedFile_ShouldBeKeptAside_ThenReplacedByDefaults) {
  const std::string damaged = "<effect sel=\"3\"><item speed=\"2\"";
  EXPECT_FALSE(LoadText(damaged));
  EXPECT_EQ(dir.Read("ledeffect.xml"), kFactoryFile);
  EXPECT_EQ(settings.GetCurrent(), 20);
  EXPECT_TRUE(HasBackup());
}

TEST_F(LightingEffectSettingsTest, WrongRoot_ShouldGiveCurrentZero_KeepEntries_AndNotRewrite) {
  settings.GetEntry(0)->speed = 2;
  const std::string text = "<other sel=\"5\"><item speed=\"0\"/></other>";
  EXPECT_TRUE(LoadText(text));
  EXPECT_EQ(settings.GetCurrent(), 0);
  EXPECT_EQ(settings.GetEntry(0)->speed, 2);
  EXPECT_EQ(dir.Read("ledeffect.xml"), text);
}

TEST_F(LightingEffectSettingsTest, ShorterFile_ShouldChangeOnlyTheEntriesItLists) {
  for (int i = 0; i < 22; ++i) settings.GetEntry(i)->brightness = 3;
  EXPECT_TRUE(LoadText("<effect sel=\"1\"><item/><item/><item/></effect>"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(settings.GetEntry(i)->brightness, 0) << i;
  for (int i = 3; i < 22; ++i) EXPECT_EQ(settings.GetEntry(i)->brightness, 3) << i;
}

TEST_F(LightingEffectSettingsTest, LongerFile_ShouldFillAllEntries_AndIgnoreTheRest) {
  EXPECT_TRUE(LoadText("<effect sel=\"1\">" + Repeat("<item brightness=\"2\"/>", 30) + "</effect>"));
  for (int i = 0; i < 22; ++i) EXPECT_EQ(settings.GetEntry(i)->brightness, 2) << i;
}

TEST_F(LightingEffectSettingsTest, TextInsideRoot_ShouldTakeUpOneEntry) {
  EXPECT_TRUE(LoadText("<effect sel=\"1\">stray<item brightness=\"2\"/></effect>"));
  EXPECT_EQ(*settings.GetEntry(0), (EffectEntry{0, 0, 0, 1}));
  EXPECT_EQ(settings.GetEntry(1)->brightness, 2);
}

TEST_F(LightingEffectSettingsTest, SetCurrent_ShouldSaveTheIndexAtOnce) {
  settings.Load(path);
  EXPECT_TRUE(settings.SetCurrent(5));
  LightingEffectSettings reread;
  EXPECT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.GetCurrent(), 5);
  EXPECT_NE(dir.Read("ledeffect.xml").find("<effect sel=\"5\">"), std::string::npos);
}

TEST_F(LightingEffectSettingsTest, SaveAndLoad_ShouldKeepEveryField) {
  settings.Load(path);
  for (int i = 0; i < 22; ++i)
    *settings.GetEntry(i) = {static_cast<uint8_t>(i % 6), static_cast<uint8_t>(i % 3), static_cast<uint8_t>(i % 2),
                             static_cast<uint8_t>(1 + i % 2)};
  settings.SetCurrent(13);
  LightingEffectSettings reread;
  EXPECT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.GetCurrent(), 13);
  for (int i = 0; i < 22; ++i) EXPECT_EQ(*reread.GetEntry(i), *settings.GetEntry(i)) << i;
}

TEST_F(LightingEffectSettingsTest, ResetDefaults_ShouldRestoreAndSave) {
  settings.Load(path);
  settings.GetEntry(4)->speed = 0;
  settings.SetCurrent(3);
  EXPECT_TRUE(settings.ResetDefaults());
  EXPECT_EQ(settings.GetCurrent(), 20);
  EXPECT_EQ(settings.GetEntry(4)->Value(), EffectEntry::kFactoryValue);
  EXPECT_EQ(dir.Read("ledeffect.xml"), kFactoryFile);
}

TEST_F(LightingEffectSettingsTest, GetEntry_ShouldResolveMinusOneToCurrent_AndRejectOthersOutOfRange) {
  settings.Load(path);
  settings.SetCurrent(7);
  EXPECT_EQ(settings.GetEntry(-1), settings.GetEntry(7));
  EXPECT_EQ(settings.GetEntry(22), nullptr);
  EXPECT_EQ(settings.GetEntry(-2), nullptr);
}

TEST_F(LightingEffectSettingsTest, EmptyPath_ShouldDoNothing) {
  EXPECT_FALSE(settings.Load(""));
  EXPECT_EQ(settings.Path(), "");
  EXPECT_FALSE(settings.Save());
}

TEST(EffectEntry, ValueShouldBeLittleEndianWithBrightnessLowest) {
  EXPECT_EQ((EffectEntry{5, 1, 0, 1}).Value(), 0x01000105u);
  EXPECT_EQ(EffectEntry::FromValue(0x02010203u), (EffectEntry{3, 2, 1, 2}));
}

// How one "item" of the file reads into its entry.
struct ItemCase {
  const char* name;
  const char* attributes;
  EffectEntry expected;
};
std::ostream& operator<<(std::ostream& out, const ItemCase& c) { return out << c.name; }

class EffectItemReading : public ::testing::TestWithParam<ItemCase> {};

TEST_P(EffectItemReading, ShouldStoreTheCorrectedBytes) {
  test::TempDir dir;
  LightingEffectSettings settings;
  ASSERT_TRUE(settings.Load(dir.Write("ledeffect.xml", std::string("<effect><item ") + GetParam().attributes + "/></effect>")));
  EXPECT_EQ(*settings.GetEntry(0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Items, EffectItemReading,
    ::testing::Values(
        ItemCase{"ValuesInRange_AreKept", R"(speed="2" brightness="0" deriction="1" selection="2")", {0, 2, 1, 2}},
        ItemCase{"ValuesAboveRange_AreCorrected", R"(speed="7" brightness="9" deriction="4" selection="0")", {5, 1, 0, 1}},
        ItemCase{"NoAttributes_ReadAsZeroWithSelectionOne", "", {0, 0, 0, 1}},
        ItemCase{"ValuesAreTruncatedToTheirLow8Bits", R"(speed="258" brightness="261")", {5, 2, 0, 1}},
        ItemCase{"NegativeValues_WrapAndAreCorrected", R"(speed="-1" brightness="-1" deriction="-1" selection="-1")", {5, 1, 0, 1}},
        ItemCase{"HugeValues_SaturateAndAreCorrected", R"(speed="99999999999" selection="99999999999")", {0, 1, 0, 1}},
        ItemCase{"BlanksSignAndTrailingText_ReadLikeTheCLibrary", R"(speed=" +2x" brightness="3.9" deriction="abc")", {3, 2, 0, 1}},
        ItemCase{"NamesInAnyCase_ReadLikeLowerCase", R"(Speed="2" BRIGHTNESS="4" DeRiction="1" SELECTION="2")", {4, 2, 1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

// How "sel" reads into the current index.
struct SelCase {
  const char* name;
  const char* document;
  int32_t expected;
};
std::ostream& operator<<(std::ostream& out, const SelCase& c) { return out << c.name; }

class EffectSelReading : public ::testing::TestWithParam<SelCase> {};

TEST_P(EffectSelReading, ShouldGiveTheCurrentIndex) {
  test::TempDir dir;
  LightingEffectSettings settings;
  ASSERT_TRUE(settings.Load(dir.Write("ledeffect.xml", GetParam().document)));
  EXPECT_EQ(settings.GetCurrent(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sel, EffectSelReading,
    ::testing::Values(SelCase{"InRange_IsKept", R"(<effect sel="21"/>)", 21},
                      SelCase{"TwentyTwo_IsAccepted", R"(<effect sel="22"/>)", 22},
                      SelCase{"AboveTwentyTwo_ReadsAsZero", R"(<effect sel="23"/>)", 0},
                      SelCase{"Negative_ReadsAsZero", R"(<effect sel="-1"/>)", 0},
                      SelCase{"Missing_ReadsAsZero", R"(<effect/>)", 0},
                      SelCase{"CapitalNames_AreMatched", R"(<EFFECT SEL="9"/>)", 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EffectSel, TwentyTwo_ShouldNameNoEntry) {
  test::TempDir dir;
  LightingEffectSettings settings;
  ASSERT_TRUE(settings.Load(dir.Write("ledeffect.xml", R"(<effect sel="22"/>)")));
  EXPECT_EQ(settings.GetEntry(-1), nullptr);
}

}  // namespace
}  // namespace keyloom
