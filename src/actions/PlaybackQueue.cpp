#include "actions/PlaybackQueue.h"

namespace keyloom {

class PlaybackQueue::Guard {
 public:
  explicit Guard(ISimpleThread& thread) : thread_(thread) { thread_.Lock(); }
  ~Guard() { thread_.Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  ISimpleThread& thread_;
};

void PlaybackQueue::Append(const MacroStep& step) {
  {
    Guard guard(thread_);
    steps_.push_back(std::make_unique<QueuedStep>(step));
  }
  thread_.Wake();
}

bool PlaybackQueue::IsEmpty() {
  Guard guard(thread_);
  return steps_.empty();
}

size_t PlaybackQueue::Size() {
  Guard guard(thread_);
  return steps_.size();
}

bool PlaybackQueue::LastEquals(const MacroStep& step) {
  Guard guard(thread_);
  if (steps_.empty()) return false;
  const QueuedStep& last = *steps_.back();
  return last.code == step.code && last.state == step.state && last.delay == step.delay;
}

QueuedStep* PlaybackQueue::Front() {
  Guard guard(thread_);
  return steps_.empty() ? nullptr : steps_.front().get();
}

void PlaybackQueue::PopFront() {
  std::unique_ptr<QueuedStep> played;
  Guard guard(thread_);
  if (steps_.empty()) return;
  played = std::move(steps_.front());
  steps_.pop_front();
}

bool PlaybackQueue::CancelAll() {
  Guard guard(thread_);
  for (const std::unique_ptr<QueuedStep>& step : steps_) {
    step->state = 1;
    step->delay = 0;
  }
  thread_.PulseStopEvent();
  return !steps_.empty();
}

std::vector<MacroStep> PlaybackQueue::Snapshot() {
  Guard guard(thread_);
  std::vector<MacroStep> copy;
  for (const std::unique_ptr<QueuedStep>& step : steps_) {
    copy.push_back({step->code, step->state.load(), step->delay.load(), {}});
  }
  return copy;
}

}  // namespace keyloom
