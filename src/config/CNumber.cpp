#include "config/CNumber.h"

#include <cctype>
#include <limits>

namespace keyloom {
namespace {

struct Parsed {
  bool negative = false;
  bool overflow = false;  // magnitude past 2^32-1
  uint64_t magnitude = 0;
};

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

Parsed Parse(std::string_view s, int base) {
  Parsed p;
  size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    p.negative = s[i] == '-';
    ++i;
  }
  // "0x" only counts as a prefix when a hexadecimal digit follows it;
  // otherwise the 0 alone is the number.
  if (base == 16 && i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
      DigitValue(s[i + 2]) < 16) {
    i += 2;
  }
  constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
  for (; i < s.size(); ++i) {
    const int d = DigitValue(s[i]);
    if (d >= base) break;
    if (!p.overflow) {
      p.magnitude = p.magnitude * base + d;
      if (p.magnitude > kLimit) p.overflow = true;
    }
  }
  return p;
}

}  // namespace

int32_t CLong32(std::string_view text, int base) {
  const Parsed p = Parse(text, base);
  constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
  if (p.negative) {
    if (p.overflow || p.magnitude > kMaxPositive + 1) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(-static_cast<int64_t>(p.magnitude));
  }
  if (p.overflow || p.magnitude > kMaxPositive) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(p.magnitude);
}

uint32_t CULong32(std::string_view text, int base) {
  const Parsed p = Parse(text, base);
  if (p.overflow) return std::numeric_limits<uint32_t>::max();
  const auto value = static_cast<uint32_t>(p.magnitude);
  return p.negative ? static_cast<uint32_t>(0u - value) : value;
}

}  // namespace keyloom
