#pragma once

#include <memory>
#include <string>

namespace keyloom::platform {

// An exclusive lock that lasts as long as the object (or the process): the
// system drops it when the holder ends, so a crashed instance never blocks
// the next start.
class IInstanceLock {
 public:
  virtual ~IInstanceLock() = default;
};

struct InstanceLockResult {
  enum class Status {
    Acquired,         // `lock` holds it
    HeldByAnother,    // another process holds it: another keyloom runs
    CouldNotCreate,   // no lock could be taken at all; `reason` says why
  };
  Status status = Status::CouldNotCreate;
  std::unique_ptr<IInstanceLock> lock;
  std::string reason;
};

// Takes the lock on the file `path`, creating it (mode 0600) when missing.
// Only a regular file of this user serves, never one reached through a link.
InstanceLockResult TryLockInstance(const std::string& path);

}  // namespace keyloom::platform
