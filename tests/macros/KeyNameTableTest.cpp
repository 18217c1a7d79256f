#include "macros/KeyNameTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace keyloom {
namespace {

TEST(KeyNameTable, HasEveryRowOnce) {
  std::set<uint32_t> codes;
  for (int i = 0; i < KeyNameTable::RowCount(); ++i) codes.insert(KeyNameTable::Rows()[i].code);
  EXPECT_EQ(KeyNameTable::RowCount(), 105);
  EXPECT_EQ(codes.size(), 105u);
}

struct LookupCase {
  const char* label;
  uint32_t vk;
  bool extended;
  const wchar_t* name;  // null: no name
};
std::ostream& operator<<(std::ostream& out, const LookupCase& c) { return out << c.label; }

class LookupKeyNameTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupKeyNameTest, NamesTheKey) {
  const LookupCase& c = GetParam();
  const wchar_t* name = LookupKeyName(c.vk, c.extended);
  if (!c.name) {
    EXPECT_EQ(name, nullptr);
  } else {
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::wstring(name), std::wstring(c.name));
  }
}

INSTANTIATE_TEST_SUITE_P(
    KeyNameTable, LookupKeyNameTest,
    ::testing::Values(LookupCase{"MainEnter", 0x0D, false, L"Enter"},
                      LookupCase{"PadEnter", 0x0D, true, L"Pad Enter"},
                      LookupCase{"ExtendedInsertFallsBackToPlainRow", 0x2D, true, L"Insert"},
                      LookupCase{"ExtendedArrow", 0x26, true, L"ArrowUp"},
                      LookupCase{"ShiftLeft", 0xA0, false, L"ShiftLeft"},
                      LookupCase{"Quote", 0xDE, false, L"\u2018"},
                      LookupCase{"Backslash", 0xDC, false, L"\\"},
                      LookupCase{"Clear", 0x0C, false, L"Clear/Pad 5"},
                      LookupCase{"LastLetterRow", 0x4D, false, L"M"},
                      LookupCase{"F13HasNoName", 0x7C, false, nullptr},
                      LookupCase{"MediaKeyHasNoName", 0xAF, false, nullptr},
                      LookupCase{"Zero", 0x00, false, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace keyloom
