#pragma once

#include <memory>
#include <string>

namespace keyloom::platform {

// An exclusive lock shared by all processes of the same user, held as long
// as the object lives. The system drops it when the holder ends.
class IUserLock {
 public:
  virtual ~IUserLock() = default;
};

// Waits until the lock called `name` is free and takes it. Null when the lock
// cannot be set up at all (no writable runtime folder); callers then carry on
// with their in-process exclusion only.
std::unique_ptr<IUserLock> AcquireUserLock(const std::string& name);

}  // namespace keyloom::platform
