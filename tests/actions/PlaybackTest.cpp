#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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
