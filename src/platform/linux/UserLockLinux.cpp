#include "platform/UserLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keyloom::platform {
namespace {

class FlockUserLock : public IUserLock {
 public:
  explicit FlockUserLock(int fd) : fd_(fd) {}
  ~FlockUserLock() override { close(fd_); }  // closing drops the flock

 private:
  int fd_;
};

// The per-user folder for lock files: $XDG_RUNTIME_DIR, or a private folder
// under /tmp when the session has none. A /tmp folder of that name that is
// not this user's own private folder (another user may have made it first)
// is not used: empty then.
std::string LockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  std::string folder = "/tmp/keyloom-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & 077) != 0) {
    return {};
  }
  return folder;
}

// Lock names such as "HidDevice::Open" become file names without separators.
std::string FileNameFor(const std::string& name) {
  std::string file = "keyloom-lock-";
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    file += plain ? c : '_';
  }
  return file;
}

}  // namespace

std::unique_ptr<IUserLock> AcquireUserLock(const std::string& name) {
  const std::string folder = LockFolder();
  if (folder.empty()) return nullptr;
  const std::string path = folder + "/" + FileNameFor(name);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  int rc;
  do {
    rc = flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<FlockUserLock>(fd);
}

}  // namespace keyloom::platform
