#pragma once

#include <string>

namespace keyloom::test {

// Gives this test process a runtime folder of its own inside the one it was
// started with, for as long as the object lives. Test executables run side
// by side, and keyloom keeps its cross-process locks and sockets in the
// runtime folder: a test holding the keyboard's write lock for seconds must
// not stall a test of another executable that happens to run beside it.
// Nothing changes when XDG_RUNTIME_DIR is unset or unusable.
class PrivateRuntimeFolder {
 public:
  PrivateRuntimeFolder();
  ~PrivateRuntimeFolder();
  PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
  PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

 private:
  std::string previous_;
  std::string folder_;
};

}  // namespace keyloom::test
