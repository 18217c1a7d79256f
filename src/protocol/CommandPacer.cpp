#include "protocol/CommandPacer.h"

namespace keyloom {

CommandPacer::CommandPacer(MonotonicClock& clock) : clock_(clock) {}

void CommandPacer::Wait() {
  const int64_t wait = RemainingMs();
  if (wait > 0) clock_.SleepMs(wait);
}

int64_t CommandPacer::RemainingMs() {
  const int64_t elapsed = clock_.NowMs() - last_;
  if (elapsed >= kGapMs) return 0;
  // A negative elapsed time (the clock behind the stored time) waits the
  // plain gap instead of the difference.
  return elapsed < 0 ? kGapMs : kGapMs - elapsed;
}

void CommandPacer::SetNow() { last_ = clock_.NowMs(); }

}  // namespace keyloom
