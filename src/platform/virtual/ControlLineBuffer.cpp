#include "platform/virtual/ControlLineBuffer.h"

#include <algorithm>

namespace keyloom::platform {

void ControlLineBuffer::Feed(std::string_view bytes, const LineHandler& onLine, const LineHandler& onOverlong) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const bool complete = end != std::string_view::npos;

    if (!dropping_) {
      if (pending_.size() + piece.size() <= kMaxLineBytes) {
        pending_.append(piece);
      } else {
        std::string head = pending_;
        head.append(piece.substr(0, kReportedHeadBytes));
        head.resize(std::min(head.size(), kReportedHeadBytes));
        pending_.clear();
        dropping_ = true;
        onOverlong(head);
      }
    }
    if (!complete) return;
    if (dropping_) {
      dropping_ = false;
    } else {
      onLine(pending_);
      pending_.clear();
    }
  }
}

std::string PrintableText(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return shown;
}

}  // namespace keyloom::platform
