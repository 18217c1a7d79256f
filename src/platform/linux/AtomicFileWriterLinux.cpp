#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/AtomicFileWriter.h"

namespace keyloom::platform {
namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now so that a failing close (delayed write errors on some file
  // systems) can still fail the save.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// A data file kept elsewhere through a symbolic link is replaced where it
// really lives; renaming over the link would turn it into a plain file.
std::string ResolveLink(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;  // dangling: the link itself is replaced
  std::string resolved(real);
  std::free(real);
  return resolved;
}

class AtomicFileWriterLinux final : public IAtomicFileWriter {
 public:
  explicit AtomicFileWriterLinux(WriteFault fault) : fault_(fault) {}

  bool Write(const std::string& requested, std::string_view bytes) override {
    if (requested.empty()) return false;
    const std::string path = ResolveLink(requested);
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return false;

    // The temporary file lives in the target's folder: rename is atomic only
    // within one file system.
    std::string pattern = folder + "/." + base + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Fd file(::mkostemp(name.data(), O_CLOEXEC));
    if (file.get() < 0) return false;
    const std::string temp(name.data());

    // Keep the permissions of the file being replaced. A new file is the
    // owner's alone: recorded macros may hold whatever was typed.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;

    const bool truncated = fault_.failAfterBytes < bytes.size();
    const std::string_view part = truncated ? bytes.substr(0, fault_.failAfterBytes) : bytes;
    const bool written = ::fchmod(file.get(), mode) == 0 && WriteAll(file.get(), part) && !truncated &&
                         ::fsync(file.get()) == 0 && file.Close();
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }

    // Make the rename itself durable. The new content is in place already,
    // so a folder that cannot be synced does not fail the save.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
  }

 private:
  WriteFault fault_;
};

}  // namespace

std::unique_ptr<IAtomicFileWriter> MakeAtomicFileWriter(WriteFault fault) {
  return std::make_unique<AtomicFileWriterLinux>(fault);
}

}  // namespace keyloom::platform
