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

// Takes the lock on `path`; null when another process holds it.
std::unique_ptr<IInstanceLock> TryLockInstance(const std::string& path);

}  // namespace keyloom::platform
