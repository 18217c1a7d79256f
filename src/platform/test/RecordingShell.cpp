#include "platform/test/RecordingShell.h"

namespace keyloom::platform {

bool RecordingShell::Open(const std::wstring& path, const std::wstring& arguments) {
  std::lock_guard lock(mutex_);
  launches_.push_back({path, arguments});
  return !failOpen_;
}

bool RecordingShell::LockWorkStation() {
  std::lock_guard lock(mutex_);
  ++locks_;
  return true;
}

void RecordingShell::FailOpen(bool fail) {
  std::lock_guard lock(mutex_);
  failOpen_ = fail;
}

std::vector<RecordingShell::Launch> RecordingShell::Launches() const {
  std::lock_guard lock(mutex_);
  return launches_;
}

int RecordingShell::LockCount() const {
  std::lock_guard lock(mutex_);
  return locks_;
}

}  // namespace keyloom::platform
