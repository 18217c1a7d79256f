#include "platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace keyloom::platform {
namespace {

bool Absolute(const char* path) { return path != nullptr && path[0] == '/'; }

// Room for "<folder>/<entry>" and its terminating zero in sun_path.
bool LeavesRoom(const std::string& folder, size_t longestEntry) {
  return folder.size() + 1 + longestEntry < sizeof(sockaddr_un::sun_path);
}

// Empty when `path` is a real folder of this user with no group or other
// access; else what is wrong with it.
std::string Unsuitable(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (S_ISLNK(st.st_mode)) return "is a symbolic link";
  if (!S_ISDIR(st.st_mode)) return "is not a folder";
  if (st.st_uid != geteuid()) return "belongs to another user";
  if ((st.st_mode & 077) != 0) {
    char mode[64];
    std::snprintf(mode, sizeof mode, "is open to other users (mode %04o)", static_cast<unsigned>(st.st_mode & 07777));
    return mode;
  }
  return {};
}

RuntimeFolder Refused(const std::string& path, const std::string& why) {
  return {{}, "runtime folder " + path + " " + why};
}

}  // namespace

RuntimeFolder FindRuntimeFolder(size_t longestEntry) {
  return FindRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"), longestEntry);
}

RuntimeFolder FindRuntimeFolder(const char* xdgRuntimeDir, const char* tmpDir, size_t longestEntry) {
  if (Absolute(xdgRuntimeDir)) {
    const std::string path = xdgRuntimeDir;
    if (LeavesRoom(path, longestEntry) && Unsuitable(path).empty()) return {path, {}};
  }
  // Others share the temporary folder: the folder is ours only if we made it
  // or it passes the same checks, looked at without following a link.
  const std::string base = Absolute(tmpDir) ? tmpDir : "/tmp";
  const std::string path = base + (base.back() == '/' ? "" : "/") + "keyloom-" + std::to_string(geteuid());
  if (!LeavesRoom(path, longestEntry)) return Refused(path, "is too long a path for a local socket");
  if (mkdir(path.c_str(), 0700) == 0) {
    // The umask may have taken bits of our own; it never adds any.
    chmod(path.c_str(), 0700);
  } else if (errno != EEXIST) {
    return Refused(path, std::string("cannot be created: ") + std::strerror(errno));
  }
  if (const std::string why = Unsuitable(path); !why.empty()) return Refused(path, why);
  return {path, {}};
}

}  // namespace keyloom::platform
