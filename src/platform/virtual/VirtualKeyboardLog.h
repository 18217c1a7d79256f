#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace keyloom::platform {

// Appends one line per report the virtual keyboard receives:
//   <monotonic milliseconds> <set-feature|get-feature|write> <8 bytes in hex>
// e.g. "5312044 set-feature 07 ff ff 03 05 02 01 01". Each line is flushed at
// once, so a reader sees it while keyloom runs.
class VirtualKeyboardLog {
 public:
  // An empty path logs nothing.
  explicit VirtualKeyboardLog(const std::string& path);
  ~VirtualKeyboardLog();
  VirtualKeyboardLog(const VirtualKeyboardLog&) = delete;
  VirtualKeyboardLog& operator=(const VirtualKeyboardLog&) = delete;

  void Append(const char* kind, const uint8_t* data, size_t length);

  static std::string FormatLine(int64_t milliseconds, const char* kind, const uint8_t* data, size_t length);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

}  // namespace keyloom::platform
