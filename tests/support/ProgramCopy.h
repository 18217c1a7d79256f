#pragma once

#include <filesystem>

namespace keyloom::test {

// Copies the built program, its resource folder and the sample config.xml
// into `folder` (created when missing): a portable program folder of the
// test's own, which the program may write into without touching the build.
void CopyProgramFolder(const std::filesystem::path& folder);

}  // namespace keyloom::test
