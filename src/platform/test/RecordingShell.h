#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace keyloom::platform {

// A shell for tests: starts nothing, locks nothing, remembers every request.
class RecordingShell : public IShell {
 public:
  struct Launch {
    std::wstring path;
    std::wstring arguments;
  };

  bool Open(const std::wstring& path, const std::wstring& arguments) override;
  bool LockWorkStation() override;

  // Makes Open report failure, as for a program that does not exist.
  void FailOpen(bool fail);

  std::vector<Launch> Launches() const;
  int LockCount() const;

 private:
  mutable std::mutex mutex_;
  std::vector<Launch> launches_;
  int locks_ = 0;
  bool failOpen_ = false;
};

}  // namespace keyloom::platform
