#include <gtest/gtest.h>

#include "config/CNumber.h"

namespace keyloom {
namespace {

struct LongCase {
  const char* text;
  int base;
  int32_t expected;
};

std::ostream& operator<<(std::ostream& os, const LongCase& c) { return os << '"' << c.text << "\" base " << c.base; }

class CLong32Test : public testing::TestWithParam<LongCase> {};

TEST_P(CLong32Test, ReadsLikeTheCLibraryWith32BitLong) {
  EXPECT_EQ(CLong32(GetParam().text, GetParam().base), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, CLong32Test, testing::Values(
    LongCase{"1A2B", 16, 6699},
    LongCase{"0x1a2b", 16, 6699},
    LongCase{"0X1A2B", 16, 6699},
    LongCase{"-1", 16, -1},
    LongCase{"+10", 16, 16},
    LongCase{"  ff", 16, 255},
    LongCase{"12zz", 16, 18},     // stops at the first non-digit
    LongCase{"zz", 16, 0},        // no digit at all
    LongCase{"", 16, 0},
    LongCase{"0x", 16, 0},        // a bare prefix is the digit 0
    LongCase{"0xg", 16, 0},
    LongCase{"- 5", 10, 0},       // no blank between sign and digits
    LongCase{"--5", 10, 0},
    LongCase{"FFFFFFFF", 16, 2147483647},   // saturates like a 32-bit long
    LongCase{"-80000001", 16, -2147483647 - 1},
    LongCase{"-80000000", 16, -2147483647 - 1},
    LongCase{"17", 10, 17},
    LongCase{"99999999999999999999", 10, 2147483647}));

struct ULongCase {
  const char* text;
  uint32_t expected;
};

std::ostream& operator<<(std::ostream& os, const ULongCase& c) { return os << '"' << c.text << '"'; }

class CULong32Test : public testing::TestWithParam<ULongCase> {};

TEST_P(CULong32Test, ReadsLikeTheCLibraryWith32BitUnsignedLong) {
  EXPECT_EQ(CULong32(GetParam().text, 10), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, CULong32Test, testing::Values(
    ULongCase{"42", 42u},
    ULongCase{"-1", 0xFFFFFFFFu},           // negated modulo 2^32
    ULongCase{"-5", 0xFFFFFFFBu},
    ULongCase{"4294967295", 0xFFFFFFFFu},
    ULongCase{"4294967296", 0xFFFFFFFFu},   // past 2^32-1 saturates
    ULongCase{"-4294967296", 0xFFFFFFFFu},
    ULongCase{"12abc", 12u},
    ULongCase{"abc", 0u}));

}  // namespace
}  // namespace keyloom
