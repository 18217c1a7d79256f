#pragma once

#include <string>

namespace keyloom::platform {

// Why a data file could not be read or written, in terms a user can act on.
enum class FileFault {
  None,
  Missing,     // no such file
  NotRegular,  // a folder, a pipe, a device: never read, never replaced
  TooLarge,    // beyond kDataFileSizeLimit: never read, never replaced
  ReadOnly,    // the file system or the folder does not take writes
  NoPermission,
  DiskFull,
  Other,  // any other system error (see `error`)
};

struct FileStatus {
  FileFault fault = FileFault::None;
  int error = 0;  // the system's error number, when there was one

  bool ok() const { return fault == FileFault::None; }
  static FileStatus FromErrno(int error);
};

// One short English phrase for the terminal, e.g. "the disk is full" or
// "not a regular file".
std::string Describe(const FileStatus& status);

// The status of the last failed read or write of a data file on the calling
// thread, like errno: set by the platform's reader and writers on failure.
FileStatus LastFileStatus();
void SetLastFileStatus(const FileStatus& status);

}  // namespace keyloom::platform
