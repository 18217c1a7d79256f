#include "runtime/SimpleThread.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace keyloom {

namespace {

int CurrentKernelThreadId() { return static_cast<int>(::syscall(SYS_gettid)); }

}  // namespace

SimpleThread::SimpleThread() = default;

SimpleThread::~SimpleThread() {
  Stop();
  std::lock_guard lock(queueMutex_);
  idleCallback_.reset();
  startCallback_.reset();
  stopCallback_.reset();
}

void SimpleThread::Lock() { userMutex_.lock(); }

void SimpleThread::Unlock() { userMutex_.unlock(); }

bool SimpleThread::SleepInterruptible(uint32_t ms) {
  return SleepUntilInterruptible(Clock::now() + std::chrono::milliseconds(ms));
}

bool SimpleThread::SleepUntilInterruptible(Clock::time_point deadline) {
  return !stopEvent_.WaitUntil(deadline);
}

void SimpleThread::PulseStopEvent() { stopEvent_.Pulse(); }

void SimpleThread::Wake() {
  {
    std::lock_guard lock(queueMutex_);
    wakeWorker_ = true;
  }
  workerChanged_.notify_one();
}

void SimpleThread::Start(void* context) {
  // A thread that has ended (the worker through its idle callback) is
  // collected first, outside the lock: it may still be taking the lock on
  // its way out.
  std::thread endedTimer;
  std::thread endedWorker;
  {
    std::lock_guard lock(queueMutex_);
    if (!timerRunning_) endedTimer = std::move(timer_);
    if (!workerRunning_) endedWorker = std::move(worker_);
  }
  if (endedTimer.joinable()) endedTimer.join();
  if (endedWorker.joinable()) endedWorker.join();

  std::lock_guard lock(queueMutex_);
  context_ = context;
  if (!timerRunning_) {
    timerRunning_ = true;
    timer_ = std::thread(&SimpleThread::TimerLoop, this);
  }
  if (!workerRunning_) {
    stopEvent_.Reset();
    workerRunning_ = true;
    wakeWorker_ = false;
    worker_ = std::thread(&SimpleThread::WorkerLoop, this);
  }
}

void SimpleThread::SetIdleCallback(std::shared_ptr<ICallback> callback) {
  std::lock_guard lock(queueMutex_);
  idleCallback_ = std::move(callback);
}

void SimpleThread::SetStartCallback(std::shared_ptr<ICallback> callback) {
  std::lock_guard lock(queueMutex_);
  startCallback_ = std::move(callback);
}

void SimpleThread::SetStopCallback(std::shared_ptr<ICallback> callback) {
  std::lock_guard lock(queueMutex_);
  stopCallback_ = std::move(callback);
}

int SimpleThread::Post(std::unique_ptr<BaseRunable> runnable) {
  if (!runnable) return 0;
  std::shared_ptr<BaseRunable::WaitSlot> slot;
  const uint32_t waitMs = runnable->waitTimeout;
  {
    std::lock_guard lock(queueMutex_);
    if (waitMs != 0) {
      slot = std::make_shared<BaseRunable::WaitSlot>();
      runnable->repeat = 0;
    }
    runnable->start_.reset();
    runnable->waitSlot_ = slot;
    timerList_.push_back(std::move(runnable));
    timerPoked_ = true;
  }
  timerChanged_.notify_one();
  if (!slot) return 0;

  std::unique_lock lock(slot->mutex);
  if (slot->done.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return slot->finished; })) {
    return slot->result;
  }
  slot->abandoned = true;
  return 0;
}

void SimpleThread::Stop() {
  {
    std::lock_guard lock(queueMutex_);
    timerRunning_ = false;
    workerRunning_ = false;
    timerPoked_ = true;
  }
  stopEvent_.Set();
  timerChanged_.notify_all();
  workerChanged_.notify_all();

  // A callback or runnable that stops its own thread cannot wait for itself.
  for (std::thread* thread : {&timer_, &worker_}) {
    if (!thread->joinable()) continue;
    if (thread->get_id() == std::this_thread::get_id()) {
      thread->detach();
    } else {
      thread->join();
    }
  }

  std::list<std::unique_ptr<BaseRunable>> timerList;
  std::deque<std::unique_ptr<BaseRunable>> workQueue;
  {
    std::lock_guard lock(queueMutex_);
    timerList.swap(timerList_);
    workQueue.swap(workQueue_);
  }
  // Destroyed outside the lock: a runnable's destructor may do anything.
}

SimpleThread::Clock::time_point SimpleThread::WalkTimerList(Clock::time_point now, bool* queuedWork) {
  Clock::time_point next = Clock::time_point::max();
  for (auto it = timerList_.begin(); it != timerList_.end();) {
    BaseRunable& runnable = **it;
    if (!runnable.start_) runnable.start_ = now;
    const Clock::time_point due = *runnable.start_ + std::chrono::milliseconds(runnable.interval);
    if (now >= due) {
      runnable.start_.reset();
      if (runnable.repeat != 0 && runnable.repeat != -1) --runnable.repeat;
      workQueue_.push_back(runnable.Clone());
      *queuedWork = true;
      if (runnable.repeat == 0) {
        it = timerList_.erase(it);
        continue;
      }
      // It starts its next interval when the next walk sees it, a
      // millisecond from now, as with a timer that ticks every millisecond.
      next = std::min(next, now + std::chrono::milliseconds(1));
    } else {
      next = std::min(next, due);
    }
    if (runnable.exclusive) break;
    ++it;
  }
  return next;
}

void SimpleThread::TimerLoop() {
  timerTid_ = CurrentKernelThreadId();
  std::unique_lock lock(queueMutex_);
  while (timerRunning_) {
    timerPoked_ = false;
    bool queuedWork = false;
    const Clock::time_point next = WalkTimerList(Clock::now(), &queuedWork);
    if (queuedWork) workerChanged_.notify_one();
    auto wakeCondition = [&] { return timerPoked_ || !timerRunning_; };
    if (next == Clock::time_point::max()) {
      timerChanged_.wait(lock, wakeCondition);
    } else {
      timerChanged_.wait_until(lock, next, wakeCondition);
    }
  }
  timerTid_ = 0;
}

void SimpleThread::Finish(BaseRunable& runnable, int result) {
  const std::shared_ptr<BaseRunable::WaitSlot>& slot = runnable.waitSlot_;
  if (!slot) return;
  {
    std::lock_guard lock(slot->mutex);
    if (slot->abandoned) return;
    slot->result = result;
    slot->finished = true;
  }
  slot->done.notify_all();
}

void SimpleThread::WorkerLoop() {
  workerTid_ = CurrentKernelThreadId();
  std::shared_ptr<ICallback> callback;
  void* context = nullptr;
  {
    std::lock_guard lock(queueMutex_);
    callback = startCallback_;
    context = context_;
  }
  if (callback) callback->Invoke(this, context);

  while (workerRunning_) {
    std::unique_ptr<BaseRunable> runnable;
    std::shared_ptr<ICallback> idle;
    {
      std::lock_guard lock(queueMutex_);
      if (!workQueue_.empty()) {
        runnable = std::move(workQueue_.front());
        workQueue_.pop_front();
      }
      idle = idleCallback_;
      // Cleared before the idle call: a Wake from here on means new work.
      wakeWorker_ = false;
    }
    if (runnable) {
      int result = 0;
      if (runnable->IsValid()) {
        const std::vector<uint8_t>& data = runnable->buffer;
        result = runnable->Run(runnable->a1, runnable->a2, data.empty() ? nullptr : data.data(),
                               static_cast<uint32_t>(data.size()));
      }
      Finish(*runnable, result);
      runnable.reset();
    }
    if (idle && idle->Invoke(this, context) != 0) {
      workerRunning_ = false;
      break;
    }
    std::unique_lock lock(queueMutex_);
    workerChanged_.wait(lock, [&] { return !workQueue_.empty() || wakeWorker_ || !workerRunning_; });
  }

  {
    std::lock_guard lock(queueMutex_);
    callback = stopCallback_;
  }
  if (callback) callback->Invoke(this, context);
  workerTid_ = 0;
}

}  // namespace keyloom
