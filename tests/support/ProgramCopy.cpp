#include "support/ProgramCopy.h"

namespace keyloom::test {

void CopyProgramFolder(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  fs::create_directories(folder);
  const fs::path built = KEYLOOM_PROGRAM_DIR;
  fs::copy_file(built / "keyloom", folder / "keyloom");
  fs::copy(built / "uires", folder / "uires", fs::copy_options::recursive);
  fs::copy_file(fs::path(KEYLOOM_SOURCE_DIR) / "config.xml", folder / "config.xml");
}

}  // namespace keyloom::test
