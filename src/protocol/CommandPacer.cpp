#include "protocol/CommandPacer.h"

namespace keyloom {

CommandPacer::CommandPacer(MonotonicClock& clock) : clock_(clock) {}

void CommandPacer::Wait() {
  const int64_t elapsed = clock_.NowMs() - last_;
  if (elapsed >= kGapMs) return;
  // A negative elapsed time (the clock behind the stored time) waits the
  // plain gap instead of the difference.
  const int64_t wait = elapsed < 0 ? kGapMs : kGapMs - elapsed;
  clock_.SleepMs(wait);
}

void CommandPacer::SetNow() { last_ = clock_.NowMs(); }

}  // namespace keyloom
