#pragma once

#include <cstddef>
#include <string>

namespace keyloom::platform {

// The folder that holds keyloom's instance lock and socket: private to the
// user, so that no other user can plant a socket there or block the lock.
struct RuntimeFolder {
  std::string path;   // empty when no folder could be found or made safe
  std::string error;  // why not, in one line naming the folder

  bool ok() const { return !path.empty(); }
};

// $XDG_RUNTIME_DIR when it is an absolute path to a folder (not a link) that
// belongs to the user and grants nothing to group or others; otherwise the
// folder "keyloom-<uid>" in $TMPDIR (or /tmp when that is not an absolute
// path), created with mode 0700 when missing and refused when it is a link,
// belongs to someone else or is open to others. Either must leave room for
// an entry name of `longestEntry` bytes in a local socket's address.
RuntimeFolder FindRuntimeFolder(size_t longestEntry);

// The same, from the given values of those two variables (null: unset).
RuntimeFolder FindRuntimeFolder(const char* xdgRuntimeDir, const char* tmpDir, size_t longestEntry);

}  // namespace keyloom::platform
