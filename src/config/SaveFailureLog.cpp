#include "config/SaveFailureLog.h"

#include <cstdio>

namespace keyloom {
namespace {

SaveFailureLog*& CurrentLog() {
  static SaveFailureLog* system = new SaveFailureLog();
  static SaveFailureLog* current = system;
  return current;
}

}  // namespace

void SaveFailureLog::Report(const std::string& path, const platform::FileStatus& status) {
  const std::lock_guard lock(mutex_);
  if (!paths_.insert(path).second) return;
  reported_.push_back({path, status});
  std::fprintf(stderr, "keyloom: could not save %s (%s); the change stays in memory only\n", path.c_str(),
               platform::Describe(status).c_str());
  if (listener_) listener_(reported_.back());
}

void SaveFailureLog::SetListener(Listener listener) {
  const std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
  if (!listener_) return;
  for (const SaveFailure& failure : reported_) listener_(failure);
}

std::vector<SaveFailure> SaveFailureLog::Reported() const {
  const std::lock_guard lock(mutex_);
  return reported_;
}

SaveFailureLog& SaveFailures() { return *CurrentLog(); }

ScopedSaveFailureLog::ScopedSaveFailureLog(SaveFailureLog& log) : previous_(CurrentLog()) { CurrentLog() = &log; }

ScopedSaveFailureLog::~ScopedSaveFailureLog() { CurrentLog() = previous_; }

}  // namespace keyloom
