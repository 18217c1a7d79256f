#pragma once

#include <string>

namespace keyloom::platform::linux_input {

// Says once per process, on standard error, which file gives the user access
// to the keyboard's nodes and to /dev/uinput, when opening `node` was denied.
// keyloom itself never asks for root. Returns whether the line was printed
// by this call.
bool ReportAccessDenied(const std::string& node);

}  // namespace keyloom::platform::linux_input
