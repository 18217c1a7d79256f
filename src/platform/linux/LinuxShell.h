#pragma once

#include <string>
#include <vector>

#include "platform/Shell.h"

namespace keyloom::platform::linux_input {

// "open" and the session lock on a Linux desktop. A program starts detached
// (its own session, no zombie left behind) with the action's arguments split
// as its command line; anything else opens with the desktop's default
// handler (xdg-open). The lock asks logind through loginctl.
class LinuxShell : public IShell {
 public:
  bool Open(const std::wstring& path, const std::wstring& arguments) override;
  bool LockWorkStation() override;

  // The command line Open runs for `path`: the program and its split
  // arguments when `path` names an executable file (directly or through
  // PATH), otherwise xdg-open with the path. Empty for an empty path.
  static std::vector<std::string> LaunchCommand(const std::string& path,
                                                const std::string& arguments);
};

// Starts `argv` detached from keyloom; true once the program has been
// executed (false when it cannot be found or started).
bool SpawnDetached(const std::vector<std::string>& argv);

// Runs `argv` and waits for it; its exit status, or -1 when it could not run.
int RunAndWait(const std::vector<std::string>& argv);

}  // namespace keyloom::platform::linux_input
