#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace keyloom::platform {

// Cuts what arrives on the virtual keyboard's control pipe into command
// lines. Whoever writes to the pipe decides how much comes, so a line has a
// length limit: the bytes of a longer one are dropped up to its end and it
// is reported once, with its first bytes only. Memory stays bounded by the
// limit whatever the writer sends, an endless stream without a newline
// included.
class ControlLineBuffer {
 public:
  // Far above the longest command ("down " and the longest key name).
  static constexpr size_t kMaxLineBytes = 256;
  // How much of an over-long line its report carries.
  static constexpr size_t kReportedHeadBytes = 24;

  using LineHandler = std::function<void(std::string_view line)>;

  // Hands every complete line (without its '\n'; empty lines too) to
  // `onLine` and the head of every over-long line to `onOverlong`, as soon
  // as it passes the limit.
  void Feed(std::string_view bytes, const LineHandler& onLine, const LineHandler& onOverlong);

  // Bytes of an unfinished line held back; never more than kMaxLineBytes.
  size_t Buffered() const { return pending_.size(); }

 private:
  std::string pending_;
  bool dropping_ = false;  // inside an over-long line, until its '\n'
};

// The text with every control character shown as '?', so a diagnostic that
// quotes a line cannot steer the terminal it lands on (key names may be
// UTF-8, so other bytes stay).
std::string PrintableText(std::string_view text);

}  // namespace keyloom::platform
