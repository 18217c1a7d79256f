#pragma once

#include <cstddef>
#include <string>

#include "platform/FileStatus.h"

namespace keyloom::platform {

// Far beyond any real settings file (a large macro library is a few MB) and
// small enough that reading one never threatens the machine's memory.
inline constexpr size_t kDataFileSizeLimit = size_t{64} << 20;

// Reads the whole of the regular file `path` (a symbolic link to one is
// followed) into `bytes`. Anything else in its place (a folder, a pipe, a
// device) is refused as NotRegular without being opened for long or read, so
// a pipe never blocks and a device is never disturbed; a file over `limit`
// bytes is refused as TooLarge without reading it. `bytes` is empty unless
// the result is ok.
FileStatus ReadDataFile(const std::string& path, std::string& bytes, size_t limit = kDataFileSizeLimit);

}  // namespace keyloom::platform
