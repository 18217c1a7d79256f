#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "macros/MacroLibrary.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

class MacroLibraryTest : public ::testing::Test {
 protected:
  bool LoadText(const std::string& body) { return library.Load(dir.Write("macro.xml", body)); }
  bool FileExists() const { return std::filesystem::exists(path); }

  test::TempDir dir;
  MacroLibrary library;
  const std::string path = dir.File("macro.xml");
};

TEST_F(MacroLibraryTest, Save_ShouldWriteTheExactFileLayout) {
  library.Load(path);
  library.groups = {{L"Group 0", {}}, {L"键 & <x>", {{65, 0, 4294967295u, L"A"}, {269, 1, 0, L""}}}};
  EXPECT_TRUE(library.Save());
  EXPECT_EQ(dir.Read("macro.xml"),
            "<?xml version=\"1.0\"?>\n"
            "<config type=\"0\" repeat=\"1\" mode=\"0\" delay=\"10\" media=\"0\" function=\"0\" group=\"0\" "
            "skcode=\"0\" playmode=\"0\" />\n"
            "<macro>\n"
            "\t<group name=\"Group 0\" />\n"
            "\t<group name=\"键 &amp; &lt;x>\">\n"
            "\t\t<item code=\"65\" state=\"0\" delay=\"4294967295\" name=\"A\" />\n"
            "\t\t<item code=\"269\" state=\"1\" delay=\"0\" name=\"\" />\n"
            "\t</group>\n"
            "</macro>\n");
}

TEST_F(MacroLibraryTest, SaveAndLoad_ShouldKeepEverySettingAndStep_NegativesIncluded) {
  library.Load(path);
  library.type = 3;
  library.repeat = -7;
  library.delay = 25;
  library.mode = 1;
  library.media = 2;
  library.function = -2147483647 - 1;
  library.skcode = 2147483647;
  library.group = -1;
  library.playmode = 1;
  library.groups = {{L"", {{1, 2, 3, L"x"}}},
                    {L"日本語 \"q\" <&>", {{4294967295u, 0, 0, L""}, {255, 1, 100, L"Ctrl"}}},
                    {L" two  blanks\tand a tab\nand a line ", {{9, 0, 0, L"\x01\x1F"}}}};
  ASSERT_TRUE(library.Save());

  MacroLibrary reread;
  ASSERT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.type, 3);
  EXPECT_EQ(reread.repeat, -7);
  EXPECT_EQ(reread.delay, 25);
  EXPECT_EQ(reread.mode, 1);
  EXPECT_EQ(reread.media, 2);
  EXPECT_EQ(reread.function, -2147483647 - 1);
  EXPECT_EQ(reread.skcode, 2147483647);
  EXPECT_EQ(reread.group, -1);
  EXPECT_EQ(reread.playmode, 1);
  EXPECT_EQ(reread.groups, library.groups);
}

TEST_F(MacroLibraryTest, Recording_ShouldNeverBeWritten) {
  library.Load(path);
  library.recording = 1;
  library.Save();
  EXPECT_EQ(dir.Read("macro.xml").find("recording"), std::string::npos);
}

TEST_F(MacroLibraryTest, ConfigWithoutRepeat_ShouldLoadRepeatZero) {
  EXPECT_TRUE(LoadText(R"(<config type="1"/>)"));
  EXPECT_EQ(library.repeat, 0);
  EXPECT_EQ(library.delay, 0);
  EXPECT_EQ(library.type, 1);
}

TEST_F(MacroLibraryTest, FileWithoutConfig_ShouldKeepTheSettings) {
  library.delay = 33;
  EXPECT_TRUE(LoadText(R"(<macro><group name="a"/></macro>)"));
  EXPECT_EQ(library.repeat, 1);
  EXPECT_EQ(library.delay, 33);
  ASSERT_EQ(library.GroupCount(), 1);
}

TEST_F(MacroLibraryTest, ElementsBelowMacro_ShouldBeGroupsAndStepsWhateverTheirNames) {
  EXPECT_TRUE(LoadText(R"(<?xml version="1.0"?>
<CONFIG GROUP="-1" Repeat="4294967296"/>
<Macro>
	<g Name="first"><key CODE="70" state="1" delay="20"/><x/></g>
	<group/>
	loose text
</Macro>)"));
  ASSERT_EQ(library.GroupCount(), 3);
  EXPECT_EQ(library.groups[0], (MacroGroup{L"first", {{70, 1, 20, L""}, {0, 0, 0, L""}}}));
  EXPECT_EQ(library.groups[1], (MacroGroup{L"", {}}));
  EXPECT_EQ(library.groups[2], (MacroGroup{L"", {}}));
  EXPECT_EQ(library.group, -1);
  EXPECT_EQ(library.repeat, -1) << "past 2^32-1 saturates, and all ones read back signed is -1";
}

TEST_F(MacroLibraryTest, OnlyTheFirstElementOfEachName_ShouldBeRead) {
  EXPECT_TRUE(LoadText(R"(<macro><group name="a"/></macro><macro><group name="b"/></macro>)"));
  ASSERT_EQ(library.GroupCount(), 1);
  EXPECT_EQ(library.groups[0].name, L"a");
}

TEST_F(MacroLibraryTest, MalformedFile_ShouldFail_AndKeepGroupsAndSettings) {
  library.groups = {{L"kept", {}}};
  library.mode = 2;
  EXPECT_FALSE(LoadText("<macro><group name=\"x\">"));
  EXPECT_EQ(library.GroupCount(), 1);
  EXPECT_EQ(library.mode, 2);
  EXPECT_EQ(library.Path(), path);
}

TEST_F(MacroLibraryTest, MissingFile_ShouldFail_AndFirstSaveCreatesIt) {
  EXPECT_FALSE(library.Load(path));
  EXPECT_FALSE(FileExists());
  EXPECT_TRUE(library.Save());
  EXPECT_TRUE(FileExists());
}

TEST_F(MacroLibraryTest, EmptyPath_ShouldDoNothing) {
  library.groups = {{L"kept", {}}};
  EXPECT_FALSE(library.Load(""));
  EXPECT_EQ(library.GroupCount(), 1);
  EXPECT_FALSE(library.Save());
}

TEST_F(MacroLibraryTest, RenameGroup_ShouldSaveOnlyWhenTheNameChanges) {
  library.Load(path);
  library.groups = {{L"same", {}}};
  EXPECT_FALSE(library.RenameGroup(0, L"same"));
  EXPECT_FALSE(FileExists());
  EXPECT_FALSE(library.RenameGroup(1, L"other"));
  EXPECT_FALSE(library.RenameGroup(-1, L"other"));
  EXPECT_TRUE(library.RenameGroup(0, L""));
  EXPECT_EQ(library.groups[0].name, L"");
  EXPECT_TRUE(FileExists());
}

TEST_F(MacroLibraryTest, DeleteGroup_ShouldRemoveAndSave_LeavingTheSelectionAlone) {
  library.Load(path);
  library.groups = {{L"only", {}}};
  library.group = 0;
  EXPECT_FALSE(library.DeleteGroup(1));
  EXPECT_FALSE(library.DeleteGroup(-1));
  EXPECT_FALSE(FileExists());
  EXPECT_TRUE(library.DeleteGroup(0));
  EXPECT_EQ(library.GroupCount(), 0);
  EXPECT_EQ(library.group, 0);
  EXPECT_EQ(library.GetGroup(-1), nullptr);
  EXPECT_TRUE(FileExists());
}

// The name AddGroup gives a new group.
struct NamingCase {
  const char* name;
  std::vector<std::wstring> existing;
  std::wstring expected;
};
std::ostream& operator<<(std::ostream& out, const NamingCase& c) { return out << c.name; }

class AddGroupNaming : public ::testing::TestWithParam<NamingCase> {};

TEST_P(AddGroupNaming, ShouldTakeTheFirstFreeNumberFromTheCount_AndSave) {
  test::TempDir dir;
  MacroLibrary library;
  library.Load(dir.File("macro.xml"));
  for (const std::wstring& name : GetParam().existing) library.groups.push_back({name, {}});
  library.AddGroup();
  ASSERT_EQ(library.GroupCount(), static_cast<int>(GetParam().existing.size()) + 1);
  EXPECT_EQ(library.groups.back(), (MacroGroup{GetParam().expected, {}}));
  MacroLibrary reread;
  ASSERT_TRUE(reread.Load(dir.File("macro.xml")));
  EXPECT_EQ(reread.groups, library.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Names, AddGroupNaming,
    ::testing::Values(NamingCase{"EmptyLibrary_GetsGroup0", {}, L"Group 0"},
                      NamingCase{"CountNameTaken_GetsNextNumber", {L"Group 1"}, L"Group 2"},
                      NamingCase{"OtherNames_DoNotMatter", {L"Macro"}, L"Group 1"},
                      NamingCase{"SeveralTaken_SkipsThemAll", {L"Group 2", L"Group 3"}, L"Group 4"},
                      NamingCase{"LowerNumbersFree_AreNotReused", {L"a", L"b", L"Group 0"}, L"Group 3"},
                      NamingCase{"ComparisonIsCaseSensitive", {L"group 1"}, L"Group 1"},
                      NamingCase{"ComparisonIsWholeName", {L"Group 1 "}, L"Group 1"}),
    [](const auto& info) { return std::string(info.param.name); });

// Which group GetGroup resolves.
struct GetGroupCase {
  const char* name;
  int selected;
  int index;
  int expected;  // -1: none
};
std::ostream& operator<<(std::ostream& out, const GetGroupCase& c) { return out << c.name; }

class GetGroupResolving : public ::testing::TestWithParam<GetGroupCase> {};

TEST_P(GetGroupResolving, ShouldYieldTheGroupOrNone) {
  MacroLibrary library;
  library.groups = {{L"a", {}}, {L"b", {}}};
  library.group = GetParam().selected;
  const MacroGroup* found = library.GetGroup(GetParam().index);
  EXPECT_EQ(found, GetParam().expected < 0 ? nullptr : &library.groups[GetParam().expected]);
}

INSTANTIATE_TEST_SUITE_P(
    Indices, GetGroupResolving,
    ::testing::Values(GetGroupCase{"MinusOne_GivesTheSelectedGroup", 1, -1, 1},
                      GetGroupCase{"AnyNegative_GivesTheSelectedGroup", 0, -5, 0},
                      GetGroupCase{"SelectionEqualToCount_GivesNone", 2, -1, -1},
                      GetGroupCase{"NegativeSelection_GivesNone", -1, -1, -1},
                      GetGroupCase{"ValidIndex_IgnoresTheSelection", 5, 1, 1},
                      GetGroupCase{"IndexPastTheEnd_GivesNone", 0, 2, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom
