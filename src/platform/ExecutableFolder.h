#pragma once

#include <string>

namespace keyloom::platform {

// The folder of the running executable as the system names it: bytes, not
// text, so a folder whose name is not valid UTF-8 is still found. Empty
// when the system cannot tell.
std::string ExecutableFolder();

// A name for `folder` that survives being carried as Unicode text (Qt's
// file names are): the folder itself when its name is valid UTF-8, else an
// alias through a descriptor held open for the rest of the process. Empty
// when the folder cannot be opened.
std::string TextSafeFolderPath(const std::string& folder);

}  // namespace keyloom::platform
