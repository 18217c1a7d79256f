#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/FileStatus.h"

namespace keyloom {

// A data file that could not be saved, and why.
struct SaveFailure {
  std::string path;
  platform::FileStatus status;
};

// Tells the user about failed saves: once per file and run, one line on
// standard error, and to whoever listens (the main window shows a notice).
// Saves fail from the UI thread and from the lighting files' writer thread
// alike, so reporting is thread-safe; the listener runs on the reporting
// thread and must not block (the window posts the notice to its own thread).
class SaveFailureLog {
 public:
  using Listener = std::function<void(const SaveFailure&)>;

  void Report(const std::string& path, const platform::FileStatus& status);
  // Replaces the listener (null: none) and hands it every failure reported
  // so far, so a window made after a failed start-up save still shows it.
  void SetListener(Listener listener);
  std::vector<SaveFailure> Reported() const;

 private:
  mutable std::mutex mutex_;
  std::vector<SaveFailure> reported_;
  std::set<std::string> paths_;
  Listener listener_;
};

// The log every model file reports to.
SaveFailureLog& SaveFailures();

// Puts `log` in place of the process's log until the returned object goes
// (tests use it to start from a clean slate).
class ScopedSaveFailureLog {
 public:
  explicit ScopedSaveFailureLog(SaveFailureLog& log);
  ~ScopedSaveFailureLog();
  ScopedSaveFailureLog(const ScopedSaveFailureLog&) = delete;
  ScopedSaveFailureLog& operator=(const ScopedSaveFailureLog&) = delete;

 private:
  SaveFailureLog* previous_;
};

}  // namespace keyloom
