#include "device/Trace.h"

#include <cstdarg>
#include <cstdio>

namespace keyloom {

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

}  // namespace keyloom
