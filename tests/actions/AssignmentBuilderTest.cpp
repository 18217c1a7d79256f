#include <gtest/gtest.h>

#include "actions/AssignmentBuilder.h"
#include "actions/AssignmentFixture.h"

namespace keyloom {
namespace {

// What the editor left behind, for one row of the table.
struct BuildCase {
  const char* what;
  int32_t type;
  int32_t target;  // group (type 0), skcode (1), media (2) or function (3)
  bool made;
  const wchar_t* targetName;
  std::vector<MacroStep> steps;
};
std::ostream& operator<<(std::ostream& os, const BuildCase& c) { return os << c.what; }

class Building : public testing::TestWithParam<BuildCase> {
 protected:
  Building() {
    library.groups = {MacroGroup{L"Group 0", {{65, 0, 30, L"A"}, {65, 1, 10, L"A"}}}};
    library.repeat = 3;
    library.playmode = 1;
    config.functionKeys = {{L"Calculator", L"/usr/bin/calc", L"", 10001}};
    config.combinations = {{L"Copy", {{17, 0}, {67, 5}}}, {L"Empty", {}}};
  }
  MacroLibrary library;
  DeviceConfig config;
};

TEST_P(Building, EachTypeMakesItsRecordOrNoneWithoutItsTarget) {
  const BuildCase& c = GetParam();
  library.type = c.type;
  library.group = library.skcode = library.media = library.function = 0;
  (c.type == 0 ? library.group : c.type == 1 ? library.skcode : c.type == 2 ? library.media : library.function) = c.target;
  const PictureKeyLookup picture = [](int32_t id, std::wstring* name) {
    if (id != 0x42) return false;
    *name = L"B";
    return true;
  };
  const std::optional<KeyRecord> record = BuildAssignment(0x12D, L"Insert", library, config, picture);
  ASSERT_EQ(record.has_value(), c.made);
  if (!c.made) return;
  EXPECT_EQ(record->code, 0x12D);
  EXPECT_EQ(record->type, c.type);
  EXPECT_EQ(record->name, L"Insert");
  EXPECT_EQ(record->group, c.targetName);
  EXPECT_EQ(record->steps, c.steps);
  EXPECT_EQ(record->repeat, c.type == 0 ? 3 : 0);
  EXPECT_EQ(record->mode, c.type == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Building, testing::Values(
    BuildCase{"macro", 0, 0, true, L"Group 0", {{65, 0, 30, L"A"}, {65, 1, 10, L"A"}}},
    BuildCase{"macro without its group", 0, 1, false, L"", {}},
    BuildCase{"macro with no group selected", 0, -1, false, L"", {}},
    BuildCase{"single key", 1, 0x42, true, L"B", {{0x42, 0, 0, L""}}},
    BuildCase{"single key not on the picture", 1, 0x43, false, L"", {}},
    BuildCase{"program", 2, 0, true, L"Calculator", {{10001, 0, 0, L""}}},
    BuildCase{"program past the list", 2, 1, false, L"", {}},
    BuildCase{"combination", 3, 0, true, L"Copy", {{17, 1, 1, L""}, {67, 1, 6, L""}, {17, 0, 0, L""}, {67, 0, 5, L""}}},
    BuildCase{"combination without keys", 3, 1, false, L"", {}},
    BuildCase{"combination past the list", 3, 2, false, L"", {}},
    BuildCase{"unknown type", 4, 0, false, L"", {}}));

// The shipped config.xml's programs must start: their codes are from 10000
// up, which plays them as launches rather than as virtual keys.
TEST(ShippedConfig, AProgramAssignedFromItIsLaunched) {
  AssignmentFixture f;
  f.config.Load(KEYLOOM_SOURCE_DIR "/config.xml");
  ASSERT_FALSE(f.config.functionKeys.empty());
  f.library.type = 2;
  f.library.media = 0;
  const std::optional<KeyRecord> record = BuildAssignment(0x74, L"F5", f.library, f.config, {});
  ASSERT_TRUE(record.has_value());
  f.Assign(*record);
  EXPECT_EQ(f.Feed("+F5 -F5").swallowed, "+F5 -F5");
  ASSERT_EQ(f.shell.Launches().size(), 1u);
  EXPECT_EQ(f.shell.Launches()[0].path, f.config.functionKeys[0].path);
  EXPECT_EQ(f.Injected(), "");
}

}  // namespace
}  // namespace keyloom
