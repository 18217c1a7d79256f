#pragma once

namespace keyloom {

// Writes one trace line of the device code to standard output with the C
// library's formatted print and flushes it, so the lines show up as they
// happen also when standard output is a file or a pipe.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace keyloom
