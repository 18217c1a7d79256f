#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileStatus.h"

namespace keyloom::platform {

// Replaces a data file whole so that a crash or a power loss at any moment
// leaves either the old content or the new one on disk, never a torn mix.
class IAtomicFileWriter {
 public:
  virtual ~IAtomicFileWriter() = default;

  // Writes `bytes` as the new content of `path`. True only when the new
  // content is in place; on false the previous file is untouched and
  // LastFileStatus() says why. Only a regular file (or a missing one) is
  // ever replaced; a symbolic link to one is followed.
  virtual bool Write(const std::string& path, std::string_view bytes) = 0;

  // Writes `bytes` as a new file `path`, readable by its owner only, and
  // fails when the name is taken: nothing existing is ever replaced. A
  // writer that cannot create files says so (false).
  virtual bool CreateNew(const std::string& path, std::string_view bytes);
};

// For tests: makes the writer stop after this many bytes of a write, as a
// full disk or a dying process would, so callers can prove that a failed
// save never damages the file it was replacing.
struct WriteFault {
  static constexpr size_t kNever = std::numeric_limits<size_t>::max();
  size_t failAfterBytes = kNever;
};

// The system's writer: a temporary file in the target's folder, flushed to
// the disk, then renamed over the target. The temporary file has no name
// until it is complete where the file system allows it, so a crash leaves
// nothing behind.
std::unique_ptr<IAtomicFileWriter> MakeAtomicFileWriter(WriteFault fault = {});

// Removes the temporary files that saves of `path` left behind when the
// program died during them: only names of the writer's own pattern, and
// only files older than this process. Returns how many went.
int RemoveStaleTemporaries(const std::string& path);

// The writer every model file is saved through. Starts as the system's.
IAtomicFileWriter& AtomicFileWriter();

// Puts `writer` in place of the current one until the returned object goes
// (tests use it to inject failures). Not thread-safe: the models are changed
// only on the UI thread.
class ScopedAtomicFileWriter {
 public:
  explicit ScopedAtomicFileWriter(IAtomicFileWriter& writer);
  ~ScopedAtomicFileWriter();
  ScopedAtomicFileWriter(const ScopedAtomicFileWriter&) = delete;
  ScopedAtomicFileWriter& operator=(const ScopedAtomicFileWriter&) = delete;

 private:
  IAtomicFileWriter* previous_;
};

}  // namespace keyloom::platform
