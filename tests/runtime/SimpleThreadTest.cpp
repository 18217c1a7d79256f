#include "runtime/SimpleThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/SimpleRunable.h"

namespace keyloom {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Bound object of the runnables: notes which one ran, when and where.
class Owner {
 public:
  struct Run {
    int32_t id;
    Clock::time_point at;
    std::thread::id thread;
  };

  int Note(int32_t id, int32_t result, const uint8_t*, uint32_t) {
    {
      std::lock_guard lock(mutex_);
      runs_.push_back({id, Clock::now(), std::this_thread::get_id()});
    }
    changed_.notify_all();
    return result;
  }

  // Sleeps on the worker as playback does; `a2` is the sleep in ms.
  int Sleep(int32_t, int32_t ms, const uint8_t*, uint32_t) {
    sleeping = true;
    sleepEndedEarly = !thread->SleepInterruptible(static_cast<uint32_t>(ms));
    return 0;
  }

  int Block(int32_t, int32_t ms, const uint8_t*, uint32_t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return Note(7, 7, nullptr, 0);
  }

  bool WaitForRuns(size_t count, std::chrono::milliseconds timeout = 5s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return runs_.size() >= count; });
  }
  std::vector<Run> Runs() {
    std::lock_guard lock(mutex_);
    return runs_;
  }

  ISimpleThread* thread = nullptr;
  std::atomic<bool> sleeping{false};
  std::atomic<bool> sleepEndedEarly{false};

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Run> runs_;
};

std::unique_ptr<BaseRunable> Runnable(Owner* owner, int32_t id, uint32_t interval, int32_t repeat,
                                      bool exclusive = false, uint32_t waitMs = 0) {
  return std::make_unique<SimpleRunable<Owner>>(owner, &Owner::Note, interval, repeat, exclusive,
                                                id, id, std::vector<uint8_t>{}, waitMs);
}

class SimpleThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.thread = &thread;
    thread.Start(&owner);
  }
  Owner owner;
  SimpleThread thread;
};

TEST_F(SimpleThreadTest, RunnableWithRepeatOne_RunsOnceAfterItsInterval_OnTheWorkerThread) {
  const Clock::time_point posted = Clock::now();
  thread.Post(Runnable(&owner, 1, 200, 1));
  ASSERT_TRUE(owner.WaitForRuns(1));
  std::this_thread::sleep_for(300ms);

  std::vector<Owner::Run> runs = owner.Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_GE(runs[0].at - posted, 200ms);
  EXPECT_LT(runs[0].at - posted, 2000ms);
  EXPECT_NE(runs[0].thread, std::this_thread::get_id());
}

TEST_F(SimpleThreadTest, RunnableWithRepeatN_RunsNTimes) {
  thread.Post(Runnable(&owner, 1, 5, 3));
  ASSERT_TRUE(owner.WaitForRuns(3));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(owner.Runs().size(), 3u);
}

TEST_F(SimpleThreadTest, RunnableWithRepeatMinusOne_RunsEveryIntervalUntilStop) {
  const Clock::time_point posted = Clock::now();
  thread.Post(Runnable(&owner, 1, 10, -1));
  ASSERT_TRUE(owner.WaitForRuns(5));
  thread.Stop();
  const size_t runsAtStop = owner.Runs().size();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(owner.Runs().size(), runsAtStop);
  // The timer hands the n-th run over no earlier than n intervals after the
  // post; when the worker gets to it varies, so two runs may come closer
  // together than one interval after a late one.
  std::vector<Owner::Run> runs = owner.Runs();
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_GE(runs[i].at - posted, static_cast<int>(i + 1) * 10ms) << i;
}

struct ExclusiveCase {
  bool exclusive;
  std::vector<int32_t> order;
};
std::ostream& operator<<(std::ostream& out, const ExclusiveCase& c) {
  return out << (c.exclusive ? "exclusive" : "plain");
}

class ExclusiveFlag : public SimpleThreadTest, public ::testing::WithParamInterface<ExclusiveCase> {};

// A slow runnable first in the list, a due one behind it.
TEST_P(ExclusiveFlag, DecidesWhetherRunnablesBehindAWaitingOneAreExamined) {
  thread.Post(Runnable(&owner, 1, 150, 1, GetParam().exclusive));
  thread.Post(Runnable(&owner, 2, 0, 1));
  ASSERT_TRUE(owner.WaitForRuns(2));
  std::vector<int32_t> order;
  for (const Owner::Run& run : owner.Runs()) order.push_back(run.id);
  EXPECT_EQ(order, GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(SimpleThread, ExclusiveFlag,
                         ::testing::Values(ExclusiveCase{true, {1, 2}}, ExclusiveCase{false, {2, 1}}),
                         [](const auto& info) { return info.param.exclusive ? "Exclusive" : "Plain"; });

TEST_F(SimpleThreadTest, Stop_CutsAWorkerSleepShort_AndLaterSleepsReturnAtOnce) {
  thread.Post(std::make_unique<SimpleRunable<Owner>>(&owner, &Owner::Sleep, 0, 1, false, 0, 5000));
  while (!owner.sleeping) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms);

  const Clock::time_point before = Clock::now();
  thread.Stop();
  EXPECT_LT(Clock::now() - before, 2000ms);
  EXPECT_TRUE(owner.sleepEndedEarly);
  EXPECT_FALSE(thread.SleepInterruptible(5000));
}

TEST_F(SimpleThreadTest, PulseStopEvent_EndsTheCurrentSleepOnly) {
  thread.Post(std::make_unique<SimpleRunable<Owner>>(&owner, &Owner::Sleep, 0, 1, false, 0, 5000));
  while (!owner.sleeping) std::this_thread::sleep_for(1ms);
  while (!owner.sleepEndedEarly) {
    thread.PulseStopEvent();
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_TRUE(thread.SleepInterruptible(1));
}

struct IdleOwner {
  int Idle(ISimpleThread*, void*) {
    ++calls;
    return endWorker ? 1 : 0;
  }
  int Started(ISimpleThread*, void* context) {
    startContext = context;
    return 0;
  }
  int Stopped(ISimpleThread*, void*) {
    ++stops;
    return 0;
  }
  std::atomic<int> calls{0};
  std::atomic<int> stops{0};
  std::atomic<void*> startContext{nullptr};
  bool endWorker = false;
};

TEST(SimpleThread, IdleCallbackReturningNonZero_EndsTheWorker_WhileTheTimerThreadGoesOn) {
  IdleOwner idle;
  idle.endWorker = true;
  Owner owner;
  SimpleThread thread;
  thread.SetIdleCallback(&idle, &IdleOwner::Idle);
  thread.SetStopCallback(std::make_shared<Callback<IdleOwner>>(&idle, &IdleOwner::Stopped));
  thread.Start(&owner);
  for (int i = 0; i < 500 && idle.stops == 0; ++i) std::this_thread::sleep_for(2ms);
  ASSERT_EQ(idle.stops, 1);

  // The timer thread still hands the runnable over; only a new worker runs it.
  thread.Post(Runnable(&owner, 1, 5, 1));
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(owner.Runs().empty());
  EXPECT_NE(thread.TimerThreadId(), 0);
  idle.endWorker = false;
  thread.Start(&owner);
  EXPECT_TRUE(owner.WaitForRuns(1));
}

TEST(SimpleThread, StartWhileTheWorkerEndsItself_NeitherHangsNorLosesTheNextWorker) {
  IdleOwner idle;
  idle.endWorker = true;
  SimpleThread thread;
  thread.SetIdleCallback(&idle, &IdleOwner::Idle);
  thread.SetStopCallback(std::make_shared<Callback<IdleOwner>>(&idle, &IdleOwner::Stopped));
  // Each Start races the worker that the previous one started and that ends
  // at once; some find it running, some collect it on its way out.
  for (int i = 0; i < 50; ++i) {
    thread.Start(&idle);
    if (i % 2) std::this_thread::sleep_for(1ms);
  }
  std::this_thread::sleep_for(200ms);  // the last worker ends at once
  const int stops = idle.stops;
  EXPECT_GE(stops, 1);

  thread.Start(&idle);
  for (int i = 0; i < 2000 && idle.stops == stops; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(idle.stops, stops + 1);
}

TEST(SimpleThread, IdleWorker_WaitsForWakeInsteadOfCallingItsIdleCallbackInALoop) {
  IdleOwner idle;
  SimpleThread thread;
  thread.SetIdleCallback(&idle, &IdleOwner::Idle);
  thread.SetStartCallback(std::make_shared<Callback<IdleOwner>>(&idle, &IdleOwner::Started));
  thread.Start(&idle);
  std::this_thread::sleep_for(100ms);
  const int callsWhileIdle = idle.calls;
  EXPECT_LE(callsWhileIdle, 1);
  EXPECT_EQ(idle.startContext, &idle);

  thread.Wake();
  for (int i = 0; i < 1000 && idle.calls == callsWhileIdle; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(idle.calls, callsWhileIdle + 1);
}

TEST_F(SimpleThreadTest, WaitedPost_ReturnsTheResultOfTheRun) {
  EXPECT_EQ(thread.Post(Runnable(&owner, 42, 0, -1, false, 5000)), 42);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(owner.Runs().size(), 1u);  // a waited post runs once
}

TEST_F(SimpleThreadTest, WaitedPostThatTimesOut_ReturnsZero_AndTheLateCopyStillRunsHarmlessly) {
  auto slow = std::make_unique<SimpleRunable<Owner>>(&owner, &Owner::Block, 0, 1, false, 0, 200,
                                                     std::vector<uint8_t>{}, 20);
  EXPECT_EQ(thread.Post(std::move(slow)), 0);
  EXPECT_TRUE(owner.WaitForRuns(1));
  std::this_thread::sleep_for(20ms);
}

TEST_F(SimpleThreadTest, InvalidRunnable_IsNotRun_AndGivesZero) {
  EXPECT_EQ(thread.Post(std::make_unique<SimpleRunable<Owner>>(nullptr, &Owner::Note, 0, 1, false,
                                                               5, 5, std::vector<uint8_t>{}, 2000)),
            0);
  EXPECT_TRUE(owner.Runs().empty());
  EXPECT_EQ(thread.Post(nullptr), 0);
}

TEST(SimpleThread, DestroyingARunningThread_StopsItAndDropsWaitingRunnables) {
  Owner owner;
  {
    SimpleThread thread;
    thread.Start(&owner);
    thread.Post(Runnable(&owner, 1, 60000, 1));
  }
  EXPECT_TRUE(owner.Runs().empty());
}

}  // namespace
}  // namespace keyloom
