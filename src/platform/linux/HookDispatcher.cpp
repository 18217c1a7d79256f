#include "platform/linux/HookDispatcher.h"

#include <QMetaObject>
#include <QObject>
#include <condition_variable>
#include <iterator>
#include <mutex>

namespace keyloom::platform::linux_input {

struct HookDispatcher::Shared {
  HookProcedure procedure;  // called on the context's thread only
  std::mutex mutex;
  std::condition_variable answered;
  uint64_t waitingFor = 0;  // sequence number of the press Ask waits for
  bool running = false;     // the procedure has begun on that press
  uint64_t next = 0;
  bool hasVerdict = false;
  intptr_t verdict = 0;
  bool stopped = false;
  uint64_t timedOut = 0;
};

HookDispatcher::HookDispatcher(HookProcedure procedure, std::chrono::milliseconds timeout)
    : shared_(std::make_shared<Shared>()), timeout_(timeout), context_(new QObject) {
  shared_->procedure = std::move(procedure);
}

HookDispatcher::~HookDispatcher() {
  Stop();
  // Deleting the context also discards deliveries still queued for it.
  delete context_;
}

intptr_t HookDispatcher::Ask(HookKey key, uint32_t message, const KBDLLHOOKSTRUCT& event) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopped) return 0;
  }
  const bool down = (event.flags & LLKHF_UP) == 0;
  const auto it = held_.find(key);
  if (down && it == held_.end()) {
    bool answered = false;
    const intptr_t verdict = AskPress(message, event, &answered);
    held_[key] = verdict != 0 ? Fate::Swallowed : answered ? Fate::Passed : Fate::PassedUnasked;
    return verdict;
  }
  // An auto-repeat or the release: the press decided.
  const Fate fate = it != held_.end() ? it->second : Fate::PassedUnasked;
  if (!down && it != held_.end()) held_.erase(it);
  Deliver(0, fate == Fate::PassedUnasked, message, event);
  return fate == Fate::Swallowed ? 1 : 0;
}

intptr_t HookDispatcher::AskPress(uint32_t message, const KBDLLHOOKSTRUCT& event, bool* answered) {
  std::unique_lock lock(shared_->mutex);
  const uint64_t sequence = ++shared_->next;
  shared_->waitingFor = sequence;
  shared_->running = false;
  shared_->hasVerdict = false;
  lock.unlock();

  Deliver(sequence, false, message, event);

  lock.lock();
  const auto ready = [&] { return shared_->hasVerdict || shared_->stopped; };
  // A procedure already at work on the press is not cut off: it may have
  // acted on the key, and then the key must not also reach the desktop.
  if (!shared_->answered.wait_for(lock, timeout_, ready) && shared_->running) {
    shared_->answered.wait(lock, ready);
  }
  shared_->waitingFor = 0;
  shared_->running = false;
  *answered = shared_->hasVerdict;
  if (!shared_->hasVerdict) {
    ++shared_->timedOut;
    return 0;
  }
  return shared_->verdict;
}

// `sequence` 0: an event whose fate is already decided (`passedOn` says
// which); otherwise the press that Ask waits for, unless it gave up.
void HookDispatcher::Deliver(uint64_t sequence, bool passedOn, uint32_t message,
                             const KBDLLHOOKSTRUCT& event) {
  std::shared_ptr<Shared> shared = shared_;
  QMetaObject::invokeMethod(
      context_,
      [shared, sequence, passedOn, message, event] {
        bool late = passedOn;
        {
          std::lock_guard guard(shared->mutex);
          if (shared->stopped) return;
          if (sequence != 0) {
            // Claimed before the reader gives up, or too late: decided here
            // under the lock, so both sides agree.
            if (shared->waitingFor == sequence) {
              shared->running = true;
            } else {
              late = true;
            }
          }
        }
        KBDLLHOOKSTRUCT copy = event;
        if (late) copy.flags |= kPassedOnFlag;
        const intptr_t verdict = shared->procedure(HC_ACTION, message, &copy);
        if (sequence == 0 || late) return;
        std::lock_guard guard(shared->mutex);
        if (shared->waitingFor == sequence) {
          shared->verdict = verdict;
          shared->hasVerdict = true;
          shared->answered.notify_all();
        }
      },
      Qt::QueuedConnection);
}

void HookDispatcher::Forget(int source) {
  for (auto it = held_.begin(); it != held_.end();) {
    it = it->first.source == source ? held_.erase(it) : std::next(it);
  }
}

void HookDispatcher::Stop() {
  std::lock_guard lock(shared_->mutex);
  shared_->stopped = true;
  shared_->answered.notify_all();
}

uint64_t HookDispatcher::TimedOut() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->timedOut;
}

}  // namespace keyloom::platform::linux_input
