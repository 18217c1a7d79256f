#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "config/ModelFile.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

std::vector<std::string> Backups(const test::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    if (entry.path().filename().string().starts_with("a.xml.bad-")) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// What loading a file of some content gives, and whether it waits to be kept.
struct ContentCase {
  const char* name;
  const char* content;  // null: no file
  ModelFile::EmptyDocument empty;
  bool loads;
  bool keptAside;
};
std::ostream& operator<<(std::ostream& out, const ContentCase& c) { return out << c.name; }

class ModelFileLoading : public ::testing::TestWithParam<ContentCase> {};

TEST_P(ModelFileLoading, ShouldTellParsedFromDamaged) {
  test::TempDir dir;
  if (GetParam().content) dir.Write("a.xml", GetParam().content);
  ModelFile file;
  pugi::xml_document doc;
  EXPECT_EQ(file.Load(dir.File("a.xml"), doc, GetParam().empty), GetParam().loads);
  EXPECT_EQ(file.backup_pending(), GetParam().keptAside);
  EXPECT_EQ(file.path(), dir.File("a.xml"));
}

using Empty = ModelFile::EmptyDocument;
INSTANTIATE_TEST_SUITE_P(
    Contents, ModelFileLoading,
    ::testing::Values(ContentCase{"WellFormed_Loads", "<a/>", Empty::Malformed, true, false},
                      ContentCase{"Missing_FailsWithoutBackup", nullptr, Empty::Malformed, false, false},
                      ContentCase{"Truncated_FailsAndIsKept", "<a><b", Empty::Malformed, false, true},
                      ContentCase{"DeclarationOnly_FailsWhereAnElementIsNeeded", "<?xml version=\"1.0\"?>\n",
                                  Empty::Malformed, false, true},
                      ContentCase{"DeclarationOnly_LoadsWhereEmptyIsValid", "<?xml version=\"1.0\"?>\n", Empty::Valid,
                                  true, false},
                      ContentCase{"EmptyFile_FailsWithNothingToKeep", "", Empty::Valid, false, false},
                      ContentCase{"BlankFile_FailsWithNothingToKeep", " \n\t", Empty::Valid, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModelFile, Save_ShouldWriteDeclarationAndTabIndentedUtf8) {
  test::TempDir dir;
  ModelFile file;
  pugi::xml_document doc;
  file.Load(dir.File("a.xml"), doc);
  pugi::xml_node root = doc.append_child("root");
  root.append_child("child").append_attribute("name").set_value("é");
  root.append_child("child");
  ASSERT_TRUE(file.Save(doc));
  EXPECT_EQ(dir.Read("a.xml"), "<?xml version=\"1.0\"?>\n<root>\n\t<child name=\"\xC3\xA9\" />\n\t<child />\n</root>\n");
}

TEST(ModelFile, DamagedFilesOfOneSecond_ShouldGetNamesOfTheirOwn) {
  test::TempDir dir;
  pugi::xml_document doc;
  doc.append_child("ok");
  for (const char* damaged : {"<first", "<second", "<third"}) {
    dir.Write("a.xml", damaged);
    ModelFile file;
    pugi::xml_document ignored;
    file.Load(dir.File("a.xml"), ignored);
    ASSERT_TRUE(file.Save(doc));
  }
  // The runs may straddle a second; either way nothing is overwritten.
  std::vector<std::string> contents;
  for (const std::string& name : Backups(dir)) contents.push_back(dir.Read(name));
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{"<first", "<second", "<third"}));
}

TEST(ModelFile, Save_WithoutAPath_ShouldFail) {
  ModelFile file;
  pugi::xml_document doc;
  EXPECT_FALSE(file.Save(doc));
}

}  // namespace
}  // namespace keyloom
