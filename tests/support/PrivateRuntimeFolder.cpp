#include "support/PrivateRuntimeFolder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace keyloom::test {

PrivateRuntimeFolder::PrivateRuntimeFolder() {
  const char* shared = std::getenv("XDG_RUNTIME_DIR");
  if (shared == nullptr || *shared == '\0') return;
  previous_ = shared;
  // mkdtemp makes it 0700, as a runtime folder must be.
  std::string pattern = previous_ + "/test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return;
  folder_ = name.data();
  ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder() {
  if (folder_.empty()) return;
  ::setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace keyloom::test
