#include "platform/linux/HookDispatcher.h"

#include <QMetaObject>
#include <QObject>
#include <condition_variable>
#include <mutex>

namespace keyloom::platform::linux_input {

struct HookDispatcher::Shared {
  HookProcedure procedure;  // called on the context's thread only
  std::mutex mutex;
  std::condition_variable answered;
  uint64_t waitingFor = 0;  // sequence number of the event Ask waits for
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

intptr_t HookDispatcher::Ask(uint32_t message, const KBDLLHOOKSTRUCT& event) {
  std::unique_lock lock(shared_->mutex);
  if (shared_->stopped) return 0;
  const uint64_t sequence = ++shared_->next;
  shared_->waitingFor = sequence;
  shared_->hasVerdict = false;
  lock.unlock();

  std::shared_ptr<Shared> shared = shared_;
  QMetaObject::invokeMethod(
      context_,
      [shared, sequence, message, event] {
        {
          std::lock_guard guard(shared->mutex);
          if (shared->stopped) return;
        }
        KBDLLHOOKSTRUCT copy = event;
        const intptr_t verdict = shared->procedure(HC_ACTION, message, &copy);
        std::lock_guard guard(shared->mutex);
        if (shared->waitingFor == sequence) {
          shared->verdict = verdict;
          shared->hasVerdict = true;
          shared->answered.notify_all();
        }
      },
      Qt::QueuedConnection);

  lock.lock();
  const bool answered = shared_->answered.wait_for(
      lock, timeout_, [&] { return shared_->hasVerdict || shared_->stopped; });
  shared_->waitingFor = 0;
  if (!answered || !shared_->hasVerdict) {
    ++shared_->timedOut;
    return 0;
  }
  return shared_->verdict;
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
