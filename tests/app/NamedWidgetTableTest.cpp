#include <gtest/gtest.h>

#include <set>

#include "app/NamedWidgetTable.h"

namespace keyloom {
namespace {

TEST(NamedWidgetTable, HoldsSeventyRowsWithUniqueIdsFromTheStartMarkerUp) {
  const auto& table = NamedWidgetTable();
  ASSERT_EQ(table.size(), 70u);
  std::set<int> ids;
  std::map<QString, int> byName;
  for (const auto& [name, id] : table) {
    ids.insert(id);
    byName[name] = id;
  }
  EXPECT_EQ(ids.size(), 70u);
  EXPECT_EQ(*ids.begin(), 65535);
  EXPECT_EQ(*ids.rbegin(), 65604);
  EXPECT_EQ(byName["_name_start"], 65535);
  EXPECT_EQ(byName["title"], 65536);
  EXPECT_EQ(byName["btn_close"], 65539);
  EXPECT_EQ(byName["bar_side_brightness"], 65560);
  EXPECT_EQ(byName["btnMin"], 65561);
  EXPECT_EQ(byName["btnOK"], 65596);
  EXPECT_TRUE(std::is_sorted(table.begin(), table.end()));
}

}  // namespace
}  // namespace keyloom
