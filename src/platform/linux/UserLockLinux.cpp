#include "platform/UserLock.h"

#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace keyloom::platform {
namespace {

// "keyloom-lock-" and the longest operation name in use, with room to spare.
constexpr size_t kLongestLockFile = 64;

class FlockUserLock : public IUserLock {
 public:
  explicit FlockUserLock(int fd) : fd_(fd) {}
  ~FlockUserLock() override { close(fd_); }  // closing drops the flock

 private:
  int fd_;
};

// The per-user folder for lock files: the same private runtime folder as
// the instance lock's, so no other user can hold or plant a lock there.
// Empty when there is none.
std::string LockFolder() { return FindRuntimeFolder(kLongestLockFile).path; }

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
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
