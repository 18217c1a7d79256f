#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/linux/KeyOutput.h"

namespace keyloom::platform::linux_input {

// A KeyOutput that keeps what it is given instead of writing to a device:
// the key events as frames, "+42 | -42 +30" (a frame per SYN_REPORT, "*30"
// an auto-repeat, other events left out), and the writing thread of every
// event.
class RecordingKeyOutput : public KeyOutput {
 public:
  explicit RecordingKeyOutput(const std::vector<int>& codes) : KeyOutput(codes) {}

  std::string Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  // Every event with the thread that wrote it, SYN_REPORTs included.
  std::vector<std::pair<std::thread::id, input_event>> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  void Write(const input_event& event) override {
    std::lock_guard lock(mutex_);
    events_.emplace_back(std::this_thread::get_id(), event);
    if (event.type == EV_SYN && event.code == SYN_REPORT) {
      if (!frame_.empty()) frames_ += (frames_.empty() ? "" : " | ") + frame_;
      frame_.clear();
    } else if (event.type == EV_KEY) {
      const char sign = event.value == 0 ? '-' : event.value == 1 ? '+' : '*';
      frame_ += (frame_.empty() ? "" : " ") + std::string(1, sign) + std::to_string(event.code);
    }
  }

  mutable std::mutex mutex_;
  std::string frame_;
  std::string frames_;
  std::vector<std::pair<std::thread::id, input_event>> events_;
};

}  // namespace keyloom::platform::linux_input
