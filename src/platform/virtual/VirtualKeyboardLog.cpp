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

std::string VirtualKeyboardLog::FormatKeyLine(int64_t milliseconds, uint32_t code, bool down, const char* fate) {
  char text[64];
  std::snprintf(text, sizeof text, "%lld key %s 0x%02x %s\n", static_cast<long long>(milliseconds),
                down ? "down" : "up", code, fate);
  return text;
}

int64_t VirtualKeyboardLog::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void VirtualKeyboardLog::Append(const char* kind, const uint8_t* data, size_t length) {
  if (!file_) return;
  Write(FormatLine(Now(), kind, data, length));
}

void VirtualKeyboardLog::AppendKey(uint32_t code, bool down, const char* fate) {
  if (!file_) return;
  Write(FormatKeyLine(Now(), code, down, fate));
}

void VirtualKeyboardLog::Write(const std::string& line) {
  std::lock_guard guard(mutex_);
  std::fputs(line.c_str(), file_);
  std::fflush(file_);
}

}  // namespace keyloom::platform
