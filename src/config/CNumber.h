#pragma once

#include <cstdint>
#include <string_view>

namespace keyloom {

// Number text is read the way the C library's strtol/strtoul read it on the
// platform the data files come from, where `long` has 32 bits: leading blanks,
// one optional sign, an optional 0x prefix in base 16, digits up to the first
// non-digit, and 0 when there is no digit at all. Out-of-range values
// saturate exactly as the C library's do, so files stay portable.

// strtol with a 32-bit long: saturates at INT32_MIN / INT32_MAX.
int32_t CLong32(std::string_view text, int base);

// strtoul with a 32-bit unsigned long: a leading minus negates modulo 2^32
// ("-1" gives 0xFFFFFFFF); a magnitude past 2^32-1 gives 0xFFFFFFFF.
uint32_t CULong32(std::string_view text, int base);

}  // namespace keyloom
