#pragma once

#include <string>

namespace keyloom {

// The folder of the executable. Every file keyloom reads or writes is found
// through these two functions, so moving the writable files elsewhere (a
// per-user folder, say) is a change in one place. Paths are the system's
// bytes, not necessarily UTF-8: pass them to the system as they are.
std::string ProgramFolder();

// Full path of a data file (config.xml, macro.xml, record.xml,
// sidemodel.xml, ledeffect.xml).
std::string DataFilePath(const std::string& fileName);

}  // namespace keyloom
