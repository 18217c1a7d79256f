#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "macros/KeyRecordList.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

KeyRecord Record(int32_t code, const std::wstring& group) {
  KeyRecord r;
  r.code = code;
  r.group = group;
  return r;
}

class KeyRecordListTest : public ::testing::Test {
 protected:
  bool LoadText(const std::string& body) { return list.Load(dir.Write("record.xml", body)); }
  std::vector<std::wstring> Groups() const {
    std::vector<std::wstring> groups;
    for (const KeyRecord& r : list.records) groups.push_back(r.group);
    return groups;
  }

  test::TempDir dir;
  KeyRecordList list;
  const std::string path = dir.File("record.xml");
};

TEST_F(KeyRecordListTest, Save_ShouldWriteTheExactFileLayout) {
  list.Load(path);
  KeyRecord macro{269, 0, 2, 1, L"Enter", L"Group 0", {{65, 0, 15, L"A"}, {65, 1, 0, L""}}};
  list.records = {macro, {-1, 1, 0, 0, L"F1", L"", {}}};
  EXPECT_TRUE(list.Save());
  EXPECT_EQ(dir.Read("record.xml"),
            "<?xml version=\"1.0\"?>\n"
            "<record code=\"269\" type=\"0\" repeat=\"2\" name=\"Enter\" group=\"Group 0\" mode=\"1\">\n"
            "\t<item code=\"65\" state=\"0\" delay=\"15\" name=\"A\" />\n"
            "\t<item code=\"65\" state=\"1\" delay=\"0\" name=\"\" />\n"
            "</record>\n"
            "<record code=\"-1\" type=\"1\" repeat=\"0\" name=\"F1\" group=\"\" mode=\"0\" />\n");
}

TEST_F(KeyRecordListTest, EmptyList_ShouldSaveTheDeclarationOnly_AndLoadBackAsEmpty) {
  list.Load(path);
  EXPECT_TRUE(list.Save());
  EXPECT_EQ(dir.Read("record.xml"), "<?xml version=\"1.0\"?>\n");
  KeyRecordList reread;
  reread.records = {Record(1, L"stale")};
  EXPECT_TRUE(reread.Load(path));
  EXPECT_TRUE(reread.records.empty());
}

TEST_F(KeyRecordListTest, SaveAndLoad_ShouldKeepEveryField_NegativesIncluded) {
  list.Load(path);
  list.records = {{269, 0, 5, 1, L"回车", L"Group 3", {{17, 1, 1, L""}, {4294967295u, 7, 99, L"Ctrl"}}},
                  {-2147483647 - 1, -1, -5, -9, L"", L"x\"y", {}}};
  ASSERT_TRUE(list.Save());
  KeyRecordList reread;
  ASSERT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.records, list.records);
}

TEST_F(KeyRecordListTest, Load_ShouldTakeEveryTopLevelElement_WithMissingValuesEmpty) {
  EXPECT_TRUE(LoadText(R"(<?xml version="1.0"?>
<record code="269" TYPE="3" Name="Enter"><item code="13" state="1" delay="-1"/></record>
<other code="-1"/>)"));
  ASSERT_EQ(list.records.size(), 2u);
  EXPECT_EQ(list.records[0], (KeyRecord{269, 3, 0, 0, L"Enter", L"", {{13, 1, 4294967295u, L""}}}));
  EXPECT_EQ(list.records[1], (KeyRecord{-1, 0, 0, 0, L"", L"", {}}));
}

TEST_F(KeyRecordListTest, MalformedFile_ShouldFail_AndLeaveTheRecords) {
  list.records = {Record(5, L"kept")};
  EXPECT_FALSE(LoadText("<record code=\"1\">"));
  EXPECT_EQ(Groups(), std::vector<std::wstring>{L"kept"});
}

TEST_F(KeyRecordListTest, BlankFile_ShouldCountAsMalformed) {
  list.records = {Record(5, L"kept")};
  EXPECT_FALSE(LoadText(""));
  EXPECT_EQ(list.records.size(), 1u);
}

TEST_F(KeyRecordListTest, DuplicateCodes_ShouldAllLoad_AndAddOrReplaceOverwritesTheFirstInPlace) {
  ASSERT_TRUE(LoadText(R"(<record code="7" group="a"/><record code="8" group="b"/><record code="7" group="c"/>)"));
  const std::string before = dir.Read("record.xml");
  list.AddOrReplace(Record(7, L"new"));
  EXPECT_EQ(Groups(), (std::vector<std::wstring>{L"new", L"b", L"c"}));
  EXPECT_EQ(dir.Read("record.xml"), before) << "a replacement is saved by the caller";
}

TEST_F(KeyRecordListTest, AddOrReplace_ShouldAppendANewCode_AndSave) {
  list.Load(path);
  list.AddOrReplace(Record(9, L"first"));
  list.AddOrReplace(Record(10, L"second"));
  EXPECT_EQ(Groups(), (std::vector<std::wstring>{L"first", L"second"}));
  KeyRecordList reread;
  ASSERT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.records, list.records);
}

TEST_F(KeyRecordListTest, Remove_ShouldTakeTheFirstMatchOnly_AndNotSave) {
  list.Load(path);
  list.records = {Record(7, L"a"), Record(8, L"b"), Record(7, L"c")};
  EXPECT_TRUE(list.Remove(7));
  EXPECT_EQ(Groups(), (std::vector<std::wstring>{L"b", L"c"}));
  EXPECT_FALSE(list.Remove(42));
  EXPECT_EQ(list.records.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(KeyRecordListTest, EmptyPath_ShouldDoNothing) {
  list.records = {Record(1, L"kept")};
  EXPECT_FALSE(list.Load(""));
  EXPECT_EQ(list.records.size(), 1u);
  EXPECT_FALSE(list.Save());
}

}  // namespace
}  // namespace keyloom
