#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/DataFileReader.h"

namespace keyloom::platform {
namespace {

FileStatus Failed(FileStatus status) {
  SetLastFileStatus(status);
  return status;
}

}  // namespace

FileStatus ReadDataFile(const std::string& path, std::string& bytes, size_t limit) {
  bytes.clear();
  // Looked at before opening: opening some devices already does something.
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return Failed(FileStatus::FromErrno(errno));
  if (!S_ISREG(named.st_mode)) return Failed({FileFault::NotRegular, 0});

  // Non-blocking: should a pipe take the file's place after the look above,
  // opening it must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Failed(FileStatus::FromErrno(errno));
  struct stat opened {};
  FileStatus status;
  if (::fstat(fd, &opened) != 0) {
    status = FileStatus::FromErrno(errno);
  } else if (!S_ISREG(opened.st_mode)) {
    status = {FileFault::NotRegular, 0};
  } else if (opened.st_size < 0 || static_cast<unsigned long long>(opened.st_size) > limit) {
    status = {FileFault::TooLarge, 0};
  } else {
    // The size is a hint only: the file may change while it is read. Reading
    // stops at its end or one byte past the limit, whichever comes first.
    bytes.resize(static_cast<size_t>(opened.st_size) + 1);
    size_t done = 0;
    for (;;) {
      if (done == bytes.size()) {
        if (bytes.size() > limit) break;
        bytes.resize(std::min(limit + 1, bytes.size() * 2));
      }
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        status = FileStatus::FromErrno(errno);
        break;
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    if (status.ok() && done > limit) status = {FileFault::TooLarge, 0};
  }
  ::close(fd);
  if (!status.ok()) {
    bytes.clear();
    return Failed(status);
  }
  return status;
}

}  // namespace keyloom::platform
