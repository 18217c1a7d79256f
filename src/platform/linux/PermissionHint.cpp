#include "platform/linux/PermissionHint.h"

#include <atomic>
#include <cstdio>

namespace keyloom::platform::linux_input {

bool ReportAccessDenied(const std::string& node) {
  static std::atomic<bool> reported{false};
  if (reported.exchange(true)) return false;
  std::fprintf(stderr,
               "keyloom: no access to %s; install packaging/linux/70-keyloom.rules into "
               "/etc/udev/rules.d/ and log in again (see docs/linux.md)\n",
               node.c_str());
  return true;
}

}  // namespace keyloom::platform::linux_input
