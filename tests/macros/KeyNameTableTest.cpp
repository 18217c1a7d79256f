#include "macros/KeyNameTable.h"

#include <gtest/gtest.h>

#include <QString>
#include <iterator>
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

// The rows as the recorder must show them, in table order, written down
// here on their own so that any changed, moved or lost row fails.
const KeyNameRow kExpectedRows[] = {
    {0x1B, L"Esc"}, {0x70, L"F1"}, {0x71, L"F2"}, {0x72, L"F3"}, {0x73, L"F4"}, {0x74, L"F5"}, {0x75, L"F6"},
    {0x76, L"F7"}, {0x77, L"F8"}, {0x78, L"F9"}, {0x79, L"F10"}, {0x7A, L"F11"}, {0x7B, L"F12"},
    {0x2C, L"PrintScreen"}, {0x91, L"ScrollLock"}, {0x13, L"Pause"}, {0xC0, L"~"}, {0x31, L"1"}, {0x32, L"2"},
    {0x33, L"3"}, {0x34, L"4"}, {0x35, L"5"}, {0x36, L"6"}, {0x37, L"7"}, {0x38, L"8"}, {0x39, L"9"},
    {0x30, L"0"}, {0xBD, L"-"}, {0xBB, L"="}, {0x08, L"Backspace"}, {0x2D, L"Insert"}, {0x24, L"Home"},
    {0x21, L"PageUp"}, {0x90, L"NumLock"}, {0x6F, L"Pad /"}, {0x6A, L"Pad *"}, {0x6D, L"Pad -"},
    {0x09, L"Tab"}, {0x51, L"Q"}, {0x57, L"W"}, {0x45, L"E"}, {0x52, L"R"}, {0x54, L"T"}, {0x59, L"Y"},
    {0x55, L"U"}, {0x49, L"I"}, {0x4F, L"O"}, {0x50, L"P"}, {0xDB, L"["}, {0xDD, L"]"}, {0xDC, L"\\"},
    {0x2E, L"Delete"}, {0x23, L"End"}, {0x22, L"PageDown"}, {0x67, L"Pad 7"}, {0x68, L"Pad 8"},
    {0x69, L"Pad 9"}, {0x6B, L"Pad +"}, {0x14, L"CapsLock"}, {0x41, L"A"}, {0x53, L"S"}, {0x44, L"D"},
    {0x46, L"F"}, {0x47, L"G"}, {0x48, L"H"}, {0x4A, L"J"}, {0x4B, L"K"}, {0x4C, L"L"}, {0xBA, L";"},
    {0xDE, L"\u2018"}, {0x0D, L"Enter"}, {0x64, L"Pad 4"}, {0x65, L"Pad 5"}, {0x66, L"Pad 6"},
    {0xA0, L"ShiftLeft"}, {0x5A, L"Z"}, {0x58, L"X"}, {0x43, L"C"}, {0x56, L"V"}, {0x42, L"B"}, {0x4E, L"N"},
    {0x4D, L"M"}, {0xBC, L","}, {0xBE, L"."}, {0xBF, L"/"}, {0xA1, L"ShiftRight"}, {0x26, L"ArrowUp"},
    {0x61, L"Pad 1"}, {0x62, L"Pad 2"}, {0x63, L"Pad 3"}, {0x10D, L"Pad Enter"}, {0xA2, L"CtrlLeft"},
    {0x5B, L"WinLeft"}, {0xA4, L"AltLeft"}, {0x20, L"SpaceBar"}, {0xA5, L"AltRight"}, {0x5C, L"WinRight"},
    {0x5D, L"App"}, {0xA3, L"CtrlRight"}, {0x25, L"ArrowLeft"}, {0x28, L"ArrowDown"}, {0x27, L"ArrowRight"},
    {0x60, L"Pad 0"}, {0x6E, L"Pad ."}, {0x0C, L"Clear/Pad 5"},
};

TEST(KeyNameTable, EveryRowHasItsCodeAndNameInOrder) {
  ASSERT_EQ(KeyNameTable::RowCount(), static_cast<int>(std::size(kExpectedRows)));
  for (int i = 0; i < KeyNameTable::RowCount(); ++i) {
    const KeyNameRow& row = KeyNameTable::Rows()[i];
    EXPECT_EQ(row.code, kExpectedRows[i].code) << "row " << i;
    EXPECT_EQ(std::wstring(row.name), std::wstring(kExpectedRows[i].name)) << "row " << i;
  }
}

TEST(KeyNameTable, EveryNameLeadsBackToItsCode) {
  for (const KeyNameRow& row : kExpectedRows) {
    const bool extended = (row.code & 0x100) != 0;
    const wchar_t* name = LookupKeyName(row.code & 0xFF, extended);
    ASSERT_NE(name, nullptr) << std::hex << row.code;
    EXPECT_EQ(std::wstring(name), std::wstring(row.name));
    uint32_t code = 0;
    ASSERT_TRUE(FindKeyCodeByName(QString::fromWCharArray(row.name).toLower().toStdString(), &code))
        << std::hex << row.code;
    EXPECT_EQ(code, row.code);
  }
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
