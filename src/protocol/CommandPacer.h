#pragma once

#include <cstdint>

#include "protocol/MonotonicClock.h"

namespace keyloom {

// Keeps lighting commands at least 100 ms apart: the keyboard drops a
// command that follows the previous one too closely. Holds the time of the
// last lighting command (0 at construction). Used by one thread only (the
// device thread that sends the commands).
class CommandPacer {
 public:
  static constexpr int64_t kGapMs = 100;

  explicit CommandPacer(MonotonicClock& clock = SystemMonotonicClock());

  // Sleeps until 100 ms have passed since the last command; never longer
  // than 100 ms, also when the clock reads earlier than the stored time.
  void Wait();
  // How long Wait would sleep now, in milliseconds (0 to 100).
  int64_t RemainingMs();
  // Records now as the time of the last command.
  void SetNow();
  int64_t Last() const { return last_; }

 private:
  MonotonicClock& clock_;
  int64_t last_ = 0;
};

}  // namespace keyloom
