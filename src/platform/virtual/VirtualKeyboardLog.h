#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace keyloom::platform {

// Appends one line per report the virtual keyboard receives:
//   <monotonic milliseconds> <set-feature|get-feature|write> <8 bytes in hex>
// e.g. "5312044 set-feature 07 ff ff 03 05 02 01 01", and one line per key
// event typed on it or injected by keyloom:
//   <monotonic milliseconds> key <down|up> <key code> <passed|swallowed|injected>
// e.g. "5312050 key down 0x41 passed", the key code being the virtual-key
// code in hex with 0x100 added for an extended key ("0x126" is the arrow
// up), as keyloom's data files name keys. Each line is flushed at once, so a
// reader sees it while keyloom runs.
class VirtualKeyboardLog {
 public:
  // An empty path logs nothing.
  explicit VirtualKeyboardLog(const std::string& path);
  ~VirtualKeyboardLog();
  VirtualKeyboardLog(const VirtualKeyboardLog&) = delete;
  VirtualKeyboardLog& operator=(const VirtualKeyboardLog&) = delete;

  void Append(const char* kind, const uint8_t* data, size_t length);
  // `fate`: "passed", "swallowed" or "injected".
  void AppendKey(uint32_t code, bool down, const char* fate);

  static std::string FormatLine(int64_t milliseconds, const char* kind, const uint8_t* data, size_t length);
  static std::string FormatKeyLine(int64_t milliseconds, uint32_t code, bool down, const char* fate);
  // The milliseconds the lines carry (CLOCK_MONOTONIC).
  static int64_t Now();

 private:
  void Write(const std::string& line);

  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

}  // namespace keyloom::platform
