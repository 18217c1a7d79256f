// The virtual keyboard's control pipe: the input is what a writer put into
// the pipe, carried out line by line on one keyboard. No line crashes, and a
// line refused always says why.
#include <string_view>

#include "FuzzSupport.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "platform/virtual/VirtualKeyboardControl.h"

using keyloom::platform::VirtualKeyboard;
using keyloom::platform::VirtualKeyboardControl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static VirtualKeyboard keyboard;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    const size_t end = std::min(input.find('\n'), input.size());
    const std::string line(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
    if (line.empty()) continue;
    std::string error;
    if (!VirtualKeyboardControl::Apply(keyboard, line, &error) && error.empty()) {
      keyloom::fuzz::Fail("a refused line gave no reason", line, "");
    }
  }
  return 0;
}
