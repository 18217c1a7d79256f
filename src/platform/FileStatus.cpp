#include "platform/FileStatus.h"

#include <cerrno>
#include <cstring>

namespace keyloom::platform {
namespace {

thread_local FileStatus lastStatus;

}  // namespace

FileStatus FileStatus::FromErrno(int error) {
  switch (error) {
    case 0:
      return {};
    case ENOENT:
      return {FileFault::Missing, error};
    case EROFS:
      return {FileFault::ReadOnly, error};
    case EACCES:
    case EPERM:
      return {FileFault::NoPermission, error};
    case ENOSPC:
    case EDQUOT:
      return {FileFault::DiskFull, error};
    case EISDIR:
      return {FileFault::NotRegular, error};
    case EFBIG:
      return {FileFault::TooLarge, error};
    default:
      return {FileFault::Other, error};
  }
}

std::string Describe(const FileStatus& status) {
  switch (status.fault) {
    case FileFault::None:
      return "no error";
    case FileFault::Missing:
      return "no such file or folder";
    case FileFault::NotRegular:
      return "not a regular file";
    case FileFault::TooLarge:
      return "too large (over 64 MiB)";
    case FileFault::ReadOnly:
      return "the folder is read-only";
    case FileFault::NoPermission:
      return "permission denied";
    case FileFault::DiskFull:
      return "the disk is full";
    case FileFault::Other:
      break;
  }
  return status.error != 0 ? std::strerror(status.error) : "unknown error";
}

FileStatus LastFileStatus() { return lastStatus; }

void SetLastFileStatus(const FileStatus& status) { lastStatus = status; }

}  // namespace keyloom::platform
