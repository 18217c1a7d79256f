// The virtual keyboard's control pipe: the input is what a writer put into
// the pipe, cut into lines by the pipe's own line buffer (in two reads, split
// where the first byte says) and carried out on one keyboard. No line
// crashes, a line refused always says why, the buffer never holds more than
// its limit, and an over-long line's report is short and printable.
#include <string_view>

#include "FuzzSupport.h"
#include "platform/virtual/ControlLineBuffer.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "platform/virtual/VirtualKeyboardControl.h"

using keyloom::platform::VirtualKeyboard;
using keyloom::platform::VirtualKeyboardControl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using keyloom::platform::ControlLineBuffer;
  static VirtualKeyboard keyboard;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto onLine = [](std::string_view text) {
    if (text.size() > ControlLineBuffer::kMaxLineBytes) keyloom::fuzz::Fail("a line past the limit", std::string(text), "");
    if (text.empty()) return;
    const std::string line(text);
    std::string error;
    if (!VirtualKeyboardControl::Apply(keyboard, line, &error) && error.empty()) {
      keyloom::fuzz::Fail("a refused line gave no reason", line, "");
    }
  };
  const auto onOverlong = [](std::string_view head) {
    const std::string shown = keyloom::platform::PrintableText(head);
    for (const char c : shown) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) keyloom::fuzz::Fail("a control character quoted", shown, "");
    }
  };
  ControlLineBuffer buffer;
  const size_t split = size == 0 ? 0 : data[0] % (size + 1);
  buffer.Feed(input.substr(0, split), onLine, onOverlong);
  buffer.Feed(input.substr(split), onLine, onOverlong);
  if (buffer.Buffered() > ControlLineBuffer::kMaxLineBytes) keyloom::fuzz::Fail("the buffer grew past its limit", "", "");
  return 0;
}
