#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace keyloom::platform {
namespace {

class FileInstanceLock : public IInstanceLock {
 public:
  explicit FileInstanceLock(int fd) : fd_(fd) {}
  ~FileInstanceLock() override { close(fd_); }

 private:
  int fd_;
};

InstanceLockResult Failure(const std::string& reason) {
  return {InstanceLockResult::Status::CouldNotCreate, nullptr, reason};
}

}  // namespace

InstanceLockResult TryLockInstance(const std::string& path) {
  // O_NONBLOCK: a FIFO planted at the path must not hang the open.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return Failure(std::strerror(errno));
  // Whoever else can open the file could hold its lock and keep keyloom from
  // ever starting.
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    close(fd);
    return Failure(S_ISREG(st.st_mode) ? "it belongs to another user" : "it is not a regular file");
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return {InstanceLockResult::Status::HeldByAnother, nullptr, {}};
    return Failure(std::strerror(error));
  }
  return {InstanceLockResult::Status::Acquired, std::make_unique<FileInstanceLock>(fd), {}};
}

}  // namespace keyloom::platform
