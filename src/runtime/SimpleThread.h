#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "runtime/BaseRunable.h"
#include "runtime/Callback.h"
#include "runtime/ISimpleThread.h"
#include "runtime/ManualResetEvent.h"

namespace keyloom {

// The program's background machinery: a timer thread that watches the
// posted runnables and hands a copy of each due one to the worker thread,
// and a worker thread that runs them one at a time and, between them, calls
// the idle callback (the main window plays its PlaybackQueue there).
//
// Both threads sleep until there is something to do: the timer thread until
// the earliest due time it would look at (or a Post or Stop), the worker
// until a runnable is queued, Wake is called or Stop. An idle program
// therefore wakes neither of them.
class SimpleThread : public ISimpleThread {
 public:
  SimpleThread();
  ~SimpleThread() override;
  SimpleThread(const SimpleThread&) = delete;
  SimpleThread& operator=(const SimpleThread&) = delete;

  void Lock() override;
  void Unlock() override;
  bool SleepInterruptible(uint32_t ms) override;
  bool SleepUntilInterruptible(std::chrono::steady_clock::time_point deadline) override;
  void PulseStopEvent() override;
  void Wake() override;

  // Starts the timer thread if it is not running, then, if the worker is not
  // running, resets the stop event and starts the worker. `context` is
  // passed to every callback.
  void Start(void* context);

  // Replaces the idle callback (none when `member` is null). A non-zero
  // return from it ends the worker thread; the timer thread goes on.
  template <class T>
  void SetIdleCallback(T* target, typename Callback<T>::Member member) {
    SetIdleCallback(member ? std::make_shared<Callback<T>>(target, member) : nullptr);
  }
  void SetIdleCallback(std::shared_ptr<ICallback> callback);
  // Called on the worker thread when it starts and when it ends.
  void SetStartCallback(std::shared_ptr<ICallback> callback);
  void SetStopCallback(std::shared_ptr<ICallback> callback);

  // Hands a runnable to the timer thread. With a wait time-out the runnable
  // runs once and Post waits up to that long for its result; 0 when the
  // wait ends first (the late copy then writes nothing) or for asynchronous
  // posts, and for a null runnable.
  int Post(std::unique_ptr<BaseRunable> runnable);

  // Ends both threads (leaving the stop event signalled, so every later
  // sleep returns at once), waits for them and drops every waiting runnable.
  void Stop();

  // For measurements: the kernel thread ids of the two threads, 0 when not
  // running.
  int TimerThreadId() const { return timerTid_.load(); }
  int WorkerThreadId() const { return workerTid_.load(); }

 private:
  using Clock = std::chrono::steady_clock;

  void TimerLoop();
  void WorkerLoop();
  // One walk of the timer list; returns when the timer thread should look
  // again (Clock::time_point::max() when nothing is waiting).
  Clock::time_point WalkTimerList(Clock::time_point now, bool* queuedWork);
  static void Finish(BaseRunable& runnable, int result);

  std::recursive_mutex userMutex_;
  std::mutex queueMutex_;
  std::condition_variable timerChanged_;
  std::condition_variable workerChanged_;
  ManualResetEvent stopEvent_;

  void* context_ = nullptr;
  std::thread timer_;
  std::thread worker_;
  std::atomic<bool> timerRunning_{false};
  std::atomic<bool> workerRunning_{false};
  std::atomic<int> timerTid_{0};
  std::atomic<int> workerTid_{0};
  bool timerPoked_ = false;  // a Post or Stop since the last walk
  bool wakeWorker_ = false;  // Wake since the last idle call

  std::shared_ptr<ICallback> idleCallback_;
  std::shared_ptr<ICallback> startCallback_;
  std::shared_ptr<ICallback> stopCallback_;
  std::list<std::unique_ptr<BaseRunable>> timerList_;
  std::deque<std::unique_ptr<BaseRunable>> workQueue_;
};

}  // namespace keyloom
