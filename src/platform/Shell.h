#pragma once

#include <memory>
#include <string>

// The desktop services a key assignment can call on.
namespace keyloom::platform {

class IShell {
 public:
  virtual ~IShell() = default;

  // ShellExecuteW with the verb "open", no directory and SW_SHOWNORMAL: a
  // program starts with `arguments` (empty: none), anything else opens with
  // the desktop's handler for it. Returns at once; false when it could not
  // be started.
  virtual bool Open(const std::wstring& path, const std::wstring& arguments) = 0;

  // LockWorkStation: asks the session to lock; false when refused.
  virtual bool LockWorkStation() = 0;
};

// The shipping backend's shell; null when the platform offers none. Defined
// by that backend.
std::unique_ptr<IShell> CreateShell();

}  // namespace keyloom::platform
