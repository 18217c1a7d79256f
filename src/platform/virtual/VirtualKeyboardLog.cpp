#include "platform/virtual/VirtualKeyboardLog.h"

#include <chrono>

namespace keyloom::platform {

VirtualKeyboardLog::VirtualKeyboardLog(const std::string& path) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "a");
}

VirtualKeyboardLog::~VirtualKeyboardLog() {
  if (file_) std::fclose(file_);
}

std::string VirtualKeyboardLog::FormatLine(int64_t milliseconds, const char* kind, const uint8_t* data,
                                           size_t length) {
  std::string line = std::to_string(milliseconds) + " " + kind;
  char hex[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", data[i]);
    line += hex;
  }
  return line + "\n";
}

void VirtualKeyboardLog::Append(const char* kind, const uint8_t* data, size_t length) {
  if (!file_) return;
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  const std::string line = FormatLine(now.count(), kind, data, length);
  std::lock_guard guard(mutex_);
  std::fputs(line.c_str(), file_);
  std::fflush(file_);
}

}  // namespace keyloom::platform
