#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace keyloom::platform {
namespace {

class FileInstanceLock : public IInstanceLock {
 public:
  explicit FileInstanceLock(int fd) : fd_(fd) {}
  ~FileInstanceLock() override { close(fd_); }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<IInstanceLock> TryLockInstance(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<FileInstanceLock>(fd);
}

}  // namespace keyloom::platform
