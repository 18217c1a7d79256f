#include "actions/PlaybackQueue.h"

#include <algorithm>

namespace keyloom {

namespace {

MacroStep ToMacroStep(const QueuedStep& step) { return {step.code, step.state.load(), step.delay.load(), {}}; }

// The codes of `steps`, each once, in the order they first appear.
std::vector<uint32_t> DistinctCodes(const std::vector<MacroStep>& steps) {
  std::vector<uint32_t> codes;
  for (const MacroStep& step : steps) {
    if (std::find(codes.begin(), codes.end(), step.code) == codes.end()) codes.push_back(step.code);
  }
  return codes;
}

}  // namespace

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
    entries_.emplace_back(std::make_unique<QueuedStep>(step));
  }
  thread_.Wake();
}

void PlaybackQueue::AppendCopies(const std::vector<MacroStep>& steps, int64_t copies) {
  if (steps.empty() || copies <= 0) return;
  // Made before taking the lock: the worker need not wait for the copy.
  auto shared = std::make_shared<const std::vector<MacroStep>>(steps);
  {
    Guard guard(thread_);
    for (const MacroStep& step : *shared) entries_.emplace_back(std::make_unique<QueuedStep>(step));
    if (copies > 1) entries_.push_back(Copies{std::move(shared), copies - 1});
  }
  thread_.Wake();
}

bool PlaybackQueue::IsEmpty() {
  Guard guard(thread_);
  return entries_.empty();
}

uint64_t PlaybackQueue::Size() {
  Guard guard(thread_);
  uint64_t size = 0;
  for (const Entry& entry : entries_) {
    if (const Copies* copies = std::get_if<Copies>(&entry)) {
      size += static_cast<uint64_t>(copies->count) * copies->steps->size();
    } else {
      ++size;
    }
  }
  return size;
}

size_t PlaybackQueue::StoredSize() {
  Guard guard(thread_);
  return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& entry) {
    return std::holds_alternative<std::unique_ptr<QueuedStep>>(entry);
  }));
}

bool PlaybackQueue::LastEquals(const MacroStep& step) {
  Guard guard(thread_);
  if (entries_.empty()) return false;
  MacroStep last;
  if (const Copies* copies = std::get_if<Copies>(&entries_.back())) {
    last = copies->steps->back();
  } else {
    last = ToMacroStep(*std::get<std::unique_ptr<QueuedStep>>(entries_.back()));
  }
  return last.code == step.code && last.state == step.state && last.delay == step.delay;
}

QueuedStep* PlaybackQueue::Front() {
  Guard guard(thread_);
  if (entries_.empty()) return nullptr;
  if (Copies* copies = std::get_if<Copies>(&entries_.front())) {
    // The previous copy has been taken: store the next one in front.
    const std::shared_ptr<const std::vector<MacroStep>> steps = copies->steps;
    if (--copies->count == 0) entries_.pop_front();
    for (auto it = steps->rbegin(); it != steps->rend(); ++it) {
      entries_.emplace_front(std::make_unique<QueuedStep>(*it));
    }
  }
  return std::get<std::unique_ptr<QueuedStep>>(entries_.front()).get();
}

void PlaybackQueue::PopFront() {
  std::unique_ptr<QueuedStep> played;
  Guard guard(thread_);
  if (entries_.empty()) return;
  auto* front = std::get_if<std::unique_ptr<QueuedStep>>(&entries_.front());
  if (!front) return;  // copies not yet stored: nothing of them was played
  played = std::move(*front);
  entries_.pop_front();
}

bool PlaybackQueue::CancelAll() {
  Guard guard(thread_);
  const bool anyCopies = std::any_of(entries_.begin(), entries_.end(),
                                     [](const Entry& entry) { return std::holds_alternative<Copies>(entry); });
  if (anyCopies) {
    std::deque<Entry> cancelled;
    for (Entry& entry : entries_) {
      if (const Copies* copies = std::get_if<Copies>(&entry)) {
        for (uint32_t code : DistinctCodes(*copies->steps)) {
          cancelled.emplace_back(std::make_unique<QueuedStep>(MacroStep{code, 1, 0, {}}));
        }
      } else {
        // Moving the pointer keeps the step being played where the worker
        // sees it.
        cancelled.push_back(std::move(entry));
      }
    }
    entries_.swap(cancelled);
  }
  for (const Entry& entry : entries_) {
    QueuedStep& step = *std::get<std::unique_ptr<QueuedStep>>(entry);
    step.state = 1;
    step.delay = 0;
  }
  thread_.PulseStopEvent();
  return !entries_.empty();
}

std::vector<MacroStep> PlaybackQueue::Snapshot(size_t limit) {
  Guard guard(thread_);
  std::vector<MacroStep> copy;
  for (const Entry& entry : entries_) {
    if (const Copies* copies = std::get_if<Copies>(&entry)) {
      for (int64_t round = 0; round < copies->count; ++round) {
        for (const MacroStep& step : *copies->steps) {
          if (copy.size() >= limit) return copy;
          copy.push_back({step.code, step.state, step.delay, {}});
        }
      }
    } else {
      if (copy.size() >= limit) return copy;
      copy.push_back(ToMacroStep(*std::get<std::unique_ptr<QueuedStep>>(entry)));
    }
  }
  return copy;
}

}  // namespace keyloom
