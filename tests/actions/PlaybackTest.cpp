#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "AssignmentFixture.h"

namespace keyloom {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int32_t kF5 = 0x74;

void AssignMacro(AssignmentFixture& f, std::vector<MacroStep> steps, int32_t mode = 0) {
  KeyRecord record;
  record.code = kF5;
  record.type = 0;
  record.repeat = 1;
  record.mode = mode;
  record.steps = std::move(steps);
  f.Assign(record);
}

TEST(Playback, EachStepIsFollowedByItsDelay) {
  AssignmentFixture f;
  AssignMacro(f, {Down('A', 30), Up('A', 30), Down('B')});
  f.Feed("+F5 -F5");
  f.PlayAll();
  EXPECT_EQ(f.Injected(), "+A -A +B");
  std::vector<platform::InjectedEvent> events = f.injector.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_GE(events[1].at - events[0].at, 29ms);
  EXPECT_GE(events[2].at - events[1].at, 29ms);
}

// A worker whose clock moves only when it sleeps: each sleep ends at its
// deadline plus the lateness scripted for it, in order (on time once the
// script runs out).
class ScriptedSleeper : public ISimpleThread {
 public:
  explicit ScriptedSleeper(std::vector<std::chrono::microseconds> lateness) : lateness_(std::move(lateness)) {}

  void Lock() override {}
  void Unlock() override {}
  bool SleepInterruptible(uint32_t ms) override {
    return SleepUntilInterruptible(now + std::chrono::milliseconds(ms));
  }
  bool SleepUntilInterruptible(Clock::time_point deadline) override {
    now = std::max(now, deadline);
    if (next_ < lateness_.size()) now += lateness_[next_++];
    return true;
  }
  void PulseStopEvent() override {}
  void Wake() override {}

  Clock::time_point now{std::chrono::hours(1)};

 private:
  std::vector<std::chrono::microseconds> lateness_;
  size_t next_ = 0;
};

// Delays in ms, one per step; how late each sleep ends, in µs; the gaps
// between consecutive keys that follow, in µs.
struct GapCase {
  const char* label;
  std::vector<uint32_t> delays;
  std::vector<std::chrono::microseconds> lateness;
  std::vector<int64_t> gaps;
};
std::ostream& operator<<(std::ostream& out, const GapCase& c) { return out << c.label; }

class GapRule : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapRule, NoGapIsShorterThanItsDelayByMoreThan1ms) {
  const GapCase& c = GetParam();
  ScriptedSleeper sleeper(c.lateness);
  AssignmentFixture f([&] { return sleeper.now; });
  std::vector<MacroStep> steps;
  for (size_t i = 0; i < c.delays.size(); ++i) steps.push_back({'A', uint32_t(i % 2), c.delays[i], {}});
  AssignMacro(f, steps);
  f.Feed("+F5 -F5");

  // The clock stands still while a step is sent, so each key leaves at the
  // time its PlayNextStep starts.
  std::vector<Clock::time_point> sent;
  while (!f.assignments->Queue().IsEmpty()) {
    sent.push_back(sleeper.now);
    f.assignments->PlayNextStep(&sleeper, nullptr);
  }
  ASSERT_EQ(f.injector.Count(), c.delays.size());
  std::vector<int64_t> gaps;
  for (size_t i = 1; i < sent.size(); ++i) {
    gaps.push_back(std::chrono::duration_cast<std::chrono::microseconds>(sent[i] - sent[i - 1]).count());
    EXPECT_GE(gaps.back(), int64_t(c.delays[i - 1]) * 1000 - 1000) << "gap " << i - 1;
  }
  EXPECT_EQ(gaps, c.gaps);
}

INSTANTIATE_TEST_SUITE_P(
    Playback, GapRule,
    ::testing::Values(
        GapCase{"OnTime_EveryGapIsItsDelay", {5, 5, 5, 5}, {}, {5000, 5000, 5000}},
        GapCase{"OneLateWakeUp_IsMadeUp1msPerGap",
                {5, 5, 5, 5, 5, 5, 5, 5, 5},
                {0us, 2000us},
                {5000, 7000, 4000, 4000, 5000, 5000, 5000, 5000}},
        GapCase{"LateWakeUpsInARow_EachIsMadeUpByTheNextGap",
                {5, 5, 5, 5, 5, 5},
                {1000us, 1000us, 1000us},
                {6000, 5000, 5000, 4000, 5000}},
        GapCase{"90msLateWith50msDelays_NextGapsStayWithin1ms",
                {50, 50, 50, 50, 50, 50},
                {90000us},
                {140000, 49000, 49000, 49000, 49000}},
        GapCase{"1msDelays_AreShortenedToHalfTheirLengthAtMost",
                {1, 1, 1, 1, 1, 1},
                {2000us},
                {3000, 500, 500, 500, 500}},
        GapCase{"ZeroDelays_StayZero_TheNextDelayMakesUpTime", {5, 0, 0, 5, 5}, {3000us}, {8000, 0, 0, 4000}},
        GapCase{"MoreThan100msBehind_TimesAfreshWithoutCatchingUp",
                {5, 5, 5, 5},
                {150000us},
                {155000, 5000, 5000}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Playback, LockStep_LocksTheWorkstationAndPlaysTheNextStepAtOnce) {
  AssignmentFixture f;
  AssignMacro(f, {Down(LOCK_WORKSTATION_CODE, 5000), Down('A')});
  f.Feed("+F5 -F5");
  const Clock::time_point start = Clock::now();
  f.PlayAll();
  EXPECT_LT(Clock::now() - start, 2000ms);
  EXPECT_EQ(f.shell.LockCount(), 1);
  EXPECT_EQ(f.Injected(), "+A");
}

TEST(Playback, WindowsKeys_AreSentAsExtendedKeys) {
  AssignmentFixture f;
  AssignMacro(f, {Down(0x5B), Up(0x5B), Down(0x5C), Up(0x5C)});
  f.Feed("+F5 -F5");
  f.PlayAll();
  EXPECT_EQ(f.Injected(), "+WinLeft:x -WinLeft:x +WinRight:x -WinRight:x");
}

TEST(Playback, Worker_PlaysQueuedStepsByItself) {
  AssignmentFixture f;
  f.StartWorker();
  AssignMacro(f, {Down('A', 5), Up('A')});
  f.Feed("+F5 -F5");
  ASSERT_TRUE(f.injector.WaitForCount(2, 5s));
  EXPECT_EQ(f.Injected(), "+A -A");
}

TEST(Playback, ClickToStopRelease_EndsTheDelayBeingSleptAndReleasesTheRest) {
  AssignmentFixture f;
  f.StartWorker();
  AssignMacro(f, {Down('A', 5000), Down('B', 5000)}, 1);
  f.Feed("+F5 -F5");
  ASSERT_TRUE(f.injector.WaitForCount(1, 5s));

  const Clock::time_point cancelled = Clock::now();
  EXPECT_EQ(f.Feed("-C").passed, "-C");
  ASSERT_TRUE(f.injector.WaitForCount(2, 3s));
  EXPECT_LT(Clock::now() - cancelled, 3000ms);
  EXPECT_EQ(f.Injected(), "+A -B");
}

TEST(Playback, ClickToStopRelease_EndsAMillionRepeatsAtOnce) {
  AssignmentFixture f;
  f.StartWorker();
  KeyRecord record;
  record.code = kF5;
  record.type = 0;
  record.repeat = 1000000;
  record.mode = 1;
  record.steps = {Down(0xA2, 1), Down('C', 1), Up('C', 1), Up(0xA2, 1)};
  f.Assign(record);
  f.Feed("+F5 -F5");
  ASSERT_TRUE(f.injector.WaitForCount(10, 5s));  // past the first copy

  EXPECT_EQ(f.Feed("-X").passed, "-X");
  const Clock::time_point cancelled = Clock::now();
  while (!f.assignments->Queue().IsEmpty() && Clock::now() - cancelled < 3s) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(f.assignments->Queue().IsEmpty());
  EXPECT_LT(f.injector.Count(), 1000u);
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

TEST(Playback, StoppingTheWorkerMidMacro_ReleasesTheKeysItHeld) {
  AssignmentFixture f;
  f.StartWorker();
  AssignMacro(f, {Down(0xA2), Down('C', 5000), Up('C'), Up(0xA2)});
  f.Feed("+F5 -F5");
  ASSERT_TRUE(f.injector.WaitForCount(2, 5s));
  f.thread.Stop();
  EXPECT_EQ(f.Injected(), "+CtrlLeft +C -C -CtrlLeft");
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

TEST(Playback, EndingTheProgramWithAMappedKeyDown_ReleasesTheSentKey) {
  AssignmentFixture f;
  KeyRecord single;
  single.code = kF5;
  single.type = 1;
  single.steps = {Down(0xA0)};
  f.Assign(single);
  f.Feed("+F5");
  f.assignments.reset();
  EXPECT_EQ(f.Injected(), "+ShiftLeft -ShiftLeft");
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

}  // namespace
}  // namespace keyloom

namespace keyloom {
namespace {

TEST(Playback, DestroyingTheAssignmentsWhileTheWorkerPlays_StopsItFirst) {
  AssignmentFixture f;
  f.StartWorker();
  AssignMacro(f, {Down('A', 5000), Up('A')});
  f.Feed("+F5 -F5");
  ASSERT_TRUE(f.injector.WaitForCount(1, 5s));
  f.assignments.reset();
  EXPECT_EQ(f.thread.WorkerThreadId(), 0);
  EXPECT_EQ(f.Injected(), "+A -A");
}

}  // namespace
}  // namespace keyloom
