#pragma once

#include <string>

namespace keyloom {

// Holds the lock of one named operation for as long as the object lives.
// The lock is re-entrant for the thread that owns it and is shared by all
// processes of the same user, so two threads (or two processes) never run
// the same kind of device operation at once.
class NamedOperationLock {
 public:
  explicit NamedOperationLock(const std::string& name);
  ~NamedOperationLock();
  NamedOperationLock(const NamedOperationLock&) = delete;
  NamedOperationLock& operator=(const NamedOperationLock&) = delete;

  struct Slot;

 private:
  Slot* slot_;
};

}  // namespace keyloom
