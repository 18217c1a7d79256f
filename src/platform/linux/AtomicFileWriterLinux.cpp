#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "platform/AtomicFileWriter.h"

namespace keyloom::platform {
namespace {

// When this process began (close enough: while its static objects were
// made). A temporary file older than that belongs to a process that died.
const timespec kProcessStart = [] {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now;
}();

constexpr char kTempInfix[] = ".tmp-";
constexpr size_t kTempSuffixLength = 6;

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

bool Fail(FileStatus status) {
  SetLastFileStatus(status);
  return false;
}
bool FailWithErrno() { return Fail(FileStatus::FromErrno(errno)); }

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

struct Place {
  std::string folder;
  std::string base;
};

Place Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// ".<base>.tmp-XXXXXX": hidden, and recognisably the writer's own.
std::string TempPattern(const Place& place) { return place.folder + "/." + place.base + kTempInfix + "XXXXXX"; }

std::string FreshTempName(const Place& place) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::minstd_rand random(std::random_device{}());
  std::string name = TempPattern(place);
  for (size_t i = name.size() - kTempSuffixLength; i < name.size(); ++i)
    name[i] = kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

// The new content, complete and on the disk, in a file that is either
// nameless (O_TMPFILE: a crash leaves nothing behind) or, where the file
// system has no such thing, under a temporary name that Drop removes.
class TempFile {
 public:
  explicit TempFile(const Place& place) : place_(place) {}
  ~TempFile() { Drop(); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Writes `bytes`, stopping after `allowed` of them (a test's fault).
  bool Fill(std::string_view bytes, size_t allowed, mode_t mode) {
    int fd = ::open(place_.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
      // No O_TMPFILE here (an older kernel, a file system without it).
      std::string pattern = TempPattern(place_);
      std::vector<char> name(pattern.begin(), pattern.end());
      name.push_back('\0');
      fd = ::mkostemp(name.data(), O_CLOEXEC);
      if (fd < 0) return FailWithErrno();
      name_.assign(name.data());
    }
    Fd file(fd);
    if (::fchmod(file.get(), mode) != 0 || !WriteAll(file.get(), bytes.substr(0, allowed))) return FailWithErrno();
    if (allowed < bytes.size()) return Fail(FileStatus::FromErrno(ENOSPC));
    if (::fsync(file.get()) != 0) return FailWithErrno();
    if (name_.empty()) {
      fd_ = ::dup(file.get());
      if (fd_ < 0) return FailWithErrno();
    }
    return file.Close() || FailWithErrno();
  }

  // Gives the content the name `target`, never replacing a file there.
  bool LinkAs(const std::string& target) {
    if (!name_.empty()) {
      if (::link(name_.c_str(), target.c_str()) != 0) return FailWithErrno();
      return true;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0) return FailWithErrno();
    return true;
  }

  // Gives the content a temporary name of its own; "" on failure.
  std::string Name() {
    if (!name_.empty()) return name_;
    // Linking cannot replace a name, so a fresh one is tried until one is
    // free; the window between this and the rename is as short as it gets.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = FreshTempName(place_);
      if (LinkAs(candidate)) {
        name_ = candidate;
        return name_;
      }
      if (errno != EEXIST) return {};
    }
    return {};
  }

  // Removes the temporary name (the content itself goes with the last
  // descriptor). Call after the name was renamed away: then a no-op.
  void Drop() {
    if (!name_.empty()) ::unlink(name_.c_str());
    name_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  void Forget() { name_.clear(); }

 private:
  Place place_;
  std::string name_;
  int fd_ = -1;
};

class AtomicFileWriterLinux final : public IAtomicFileWriter {
 public:
  explicit AtomicFileWriterLinux(WriteFault fault) : fault_(fault) {}

  bool Write(const std::string& requested, std::string_view bytes) override {
    if (requested.empty()) return Fail(FileStatus::FromErrno(ENOENT));
    const std::string path = ResolveLink(requested);
    const Place place = Split(path);
    if (place.base.empty()) return Fail(FileStatus::FromErrno(EISDIR));

    // Only a regular file is replaced: a link from a data file's name to a
    // device, a folder or a pipe must never turn that into a plain file.
    // Keep the permissions of the file being replaced. A new file is the
    // owner's alone: recorded macros may hold whatever was typed.
    struct stat existing {};
    mode_t mode = 0600;
    if (::stat(path.c_str(), &existing) == 0) {
      if (!S_ISREG(existing.st_mode)) return Fail({FileFault::NotRegular, 0});
      mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
      return FailWithErrno();
    }

    // The temporary file lives in the target's folder: rename is atomic only
    // within one file system.
    TempFile temp(place);
    if (!temp.Fill(bytes, fault_.failAfterBytes, mode)) return false;
    const std::string name = temp.Name();
    if (name.empty()) return FailWithErrno();
    if (::rename(name.c_str(), path.c_str()) != 0) return FailWithErrno();
    temp.Forget();

    // Make the rename itself durable. The new content is in place already,
    // so a folder that cannot be synced does not fail the save.
    SyncFolder(place.folder);
    return true;
  }

  bool CreateNew(const std::string& path, std::string_view bytes) override {
    const Place place = Split(path);
    if (path.empty() || place.base.empty()) return Fail(FileStatus::FromErrno(ENOENT));
    TempFile temp(place);
    if (!temp.Fill(bytes, fault_.failAfterBytes, 0600) || !temp.LinkAs(path)) return false;
    SyncFolder(place.folder);
    return true;
  }

 private:
  static void SyncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
  }

  WriteFault fault_;
};

bool OlderThanThisProcess(const struct stat& file) {
  const timespec& m = file.st_mtim;
  return m.tv_sec < kProcessStart.tv_sec || (m.tv_sec == kProcessStart.tv_sec && m.tv_nsec < kProcessStart.tv_nsec);
}

}  // namespace

std::unique_ptr<IAtomicFileWriter> MakeAtomicFileWriter(WriteFault fault) {
  return std::make_unique<AtomicFileWriterLinux>(fault);
}

int RemoveStaleTemporaries(const std::string& path) {
  const Place place = Split(ResolveLink(path));
  if (place.base.empty()) return 0;
  const std::string prefix = "." + place.base + kTempInfix;
  DIR* dir = ::opendir(place.folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kTempSuffixLength || name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat file {};
    if (::fstatat(::dirfd(dir), entry->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(file.st_mode) || !OlderThanThisProcess(file)) continue;
    if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace keyloom::platform
