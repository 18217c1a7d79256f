#pragma once

#include <string>

namespace keyloom::platform {

// The folder of the running executable as the system names it: bytes, not
// text, so a folder whose name is not valid UTF-8 is still found. Empty
// when the system cannot tell.
std::string ExecutableFolder();

}  // namespace keyloom::platform
