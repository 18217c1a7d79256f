#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "AssignmentFixture.h"

namespace keyloom {
namespace {

constexpr int32_t kF5 = 0x74;
constexpr uint32_t kCalcCode = 10001;

KeyRecord Record(int32_t code, int32_t type, std::vector<MacroStep> steps, int32_t repeat = 0,
                 int32_t mode = 0) {
  KeyRecord record;
  record.code = code;
  record.type = type;
  record.repeat = repeat;
  record.mode = mode;
  record.steps = std::move(steps);
  return record;
}

// One line per case: the records, what the hook receives, and what comes of
// it: events swallowed and passed, keys sent at once, steps queued for the
// worker and programs started.
struct AssignmentCase {
  const char* label;
  std::vector<KeyRecord> records;
  const char* feed;
  const char* swallowed;
  const char* passed;
  const char* injected;
  const char* queued;
  int launches = 0;
  bool deviceOpen = true;
};
std::ostream& operator<<(std::ostream& out, const AssignmentCase& c) { return out << c.label; }

const KeyRecord kMacroRepeat3 = Record(kF5, 0, {Down('A'), Up('A')}, 3);
const KeyRecord kSingleA = Record(kF5, 1, {Down(0x41)});
const KeyRecord kMediaVolumeUp = Record(kF5, 2, {Down(0xAF)});
const KeyRecord kLaunch = Record(kF5, 2, {Down(kCalcCode)});
// What assigning the config.xml combination "17:0,67:0" stores.
const KeyRecord kCtrlC = Record(kF5, 3, {Up(17, 1), Up(67, 1), Down(17), Down(67)});
const KeyRecord kCtrlCOnF6 = Record(0x75, 3, {Up(17, 1), Up(67, 1), Down(17), Down(67)});

class Assignment : public ::testing::TestWithParam<AssignmentCase> {};

TEST_P(Assignment, TurnsKeyTrafficIntoItsAction) {
  const AssignmentCase& c = GetParam();
  AssignmentFixture f;
  f.deviceOpen = c.deviceOpen;
  f.config.functionKeys.push_back({L"Calculator", L"/usr/bin/calc", L"--fast", kCalcCode});
  for (const KeyRecord& record : c.records) f.Assign(record);

  platform::ScriptedHookSource::FeedResult result = f.Feed(c.feed);
  EXPECT_EQ(result.swallowed, c.swallowed);
  EXPECT_EQ(result.passed, c.passed);
  EXPECT_EQ(f.Injected(), c.injected);
  EXPECT_EQ(f.Queued(), c.queued);
  EXPECT_EQ(static_cast<int>(f.shell.Launches().size()), c.launches);
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

TEST(KeyAssignments, Launch_OpensThePathWithItsArguments) {
  AssignmentFixture f;
  f.config.functionKeys.push_back({L"Mail", L"/usr/bin/mail", L"", 10007});
  f.config.functionKeys.push_back({L"Calculator", L"/usr/bin/calc", L"--fast", kCalcCode});
  f.Assign(kLaunch);
  f.shell.FailOpen(true);  // a program that cannot start: the key is still swallowed
  EXPECT_EQ(f.Feed("+F5 -F5").swallowed, "+F5 -F5");
  ASSERT_EQ(f.shell.Launches().size(), 1u);
  EXPECT_EQ(f.shell.Launches()[0].path, L"/usr/bin/calc");
  EXPECT_EQ(f.shell.Launches()[0].arguments, L"--fast");
}

INSTANTIATE_TEST_SUITE_P(
    KeyAssignments, Assignment,
    ::testing::Values(
        AssignmentCase{"MacroPressAlone_QueuesNothing", {kMacroRepeat3}, "+F5", "+F5", "", "", ""},
        AssignmentCase{"MacroRepeat3_QueuesSixStepsOnRelease", {kMacroRepeat3}, "+F5 +F5 -F5",
                       "+F5 +F5 -F5", "", "", "+A -A +A -A +A -A"},
        AssignmentCase{"MacroCopies_AllPlayBeforeALaterCombination", {kMacroRepeat3, kCtrlCOnF6},
                       "+F5 -F5 +F6 +F6", "+F5 -F5 +F6 +F6", "", "", "+A -A +A -A +A -A +Ctrl +C"},
        AssignmentCase{"MacroRepeatZero_QueuesNothing", {Record(kF5, 0, {Down('A')}, 0)}, "+F5 -F5",
                       "+F5 -F5", "", "", ""},
        AssignmentCase{"SingleKey_SendsItsKeyForPressAndRelease", {kSingleA}, "+F5 +F5 -F5",
                       "+F5 +F5 -F5", "", "+A +A -A", ""},
        AssignmentCase{"SingleKey_WithAltHeld_SendsItsKeyToo", {kSingleA}, "+F5:s -F5:s",
                       "+F5:s -F5:s", "", "+A -A", ""},
        AssignmentCase{"SingleKey_ScanBit200_SwallowsWithoutSending", {kSingleA}, "+F5:r -F5:r",
                       "+F5:r -F5:r", "", "", ""},
        AssignmentCase{"SingleKey_OtherMessage_SwallowsWithoutSending", {kSingleA}, "~F5", "~F5", "",
                       "", ""},
        AssignmentCase{"SingleKeyWithoutSteps_FallsThroughToLaterRecords",
                       {Record(kF5, 1, {}), Record(kF5, 1, {Down('B')})}, "+F5 -F5", "+F5 -F5", "",
                       "+B -B", ""},
        AssignmentCase{"SingleKeyOnShift_AlsoReleasesShift", {Record(0x10, 1, {Down('A')})},
                       "+Shift -Shift", "+Shift -Shift", "", "+A -A -Shift", ""},
        AssignmentCase{"MediaKey_SendsTheMediaKey", {kMediaVolumeUp}, "+F5 -F5", "+F5 -F5", "",
                       "+VolumeUp -VolumeUp", ""},
        AssignmentCase{"Launch_StartsOnEveryKeyDownIncludingRepeats_NeverOnRelease", {kLaunch},
                       "+F5 +F5 +F5 -F5", "+F5 +F5 +F5 -F5", "", "", "", 3},
        AssignmentCase{"LaunchWithoutAction_PassesTheKey", {Record(kF5, 2, {Down(10002)})}, "+F5 -F5",
                       "", "+F5 -F5", "", ""},
        AssignmentCase{"Combination_QueuesDownsOnce_AndUpsWithTheirDelays", {kCtrlC},
                       "+F5 +F5 +F5 -F5", "+F5 +F5 +F5 -F5", "", "", "+Ctrl +C -Ctrl/1 -C/1"},
        AssignmentCase{"Combination_PressAfterReleaseQueuesTheDownsAgain", {kCtrlC}, "+F5 -F5 +F5",
                       "+F5 -F5 +F5", "", "", "+Ctrl +C -Ctrl/1 -C/1 +Ctrl +C"},
        AssignmentCase{"UnknownRecordType_PassesTheKey", {Record(kF5, 7, {Down('A')})}, "+F5 -F5", "",
                       "+F5 -F5", "", ""},
        AssignmentCase{"UnassignedKey_Passes", {kSingleA}, "+B -B", "", "+B -B", "", ""},
        AssignmentCase{"ExtendedKey_MatchesOnlyTheExtendedRecord", {Record(0x10D, 1, {Down('A')})},
                       "+Enter -Enter +Enter:x -Enter:x", "+Enter:x -Enter:x", "+Enter -Enter",
                       "+A -A", ""},
        AssignmentCase{"InjectedEvents_AreNeverActedOn", {kSingleA}, "+F5:i -F5:i", "",
                       "+F5:i -F5:i", "", ""},
        AssignmentCase{"EventsAlreadyPassedOn_AreNeverActedOn", {kSingleA, kMacroRepeat3},
                       "+F5:p +F5:p -F5:p", "", "+F5:p +F5:p -F5:p", "", ""},
        AssignmentCase{"KeyloomsOwnEvents_AreNeverActedOn", {kSingleA, kMacroRepeat3}, "+F5:m -F5:m",
                       "", "+F5:m -F5:m", "", ""},
        AssignmentCase{"NoDevice_EverythingPasses", {kSingleA}, "+F5 -F5", "", "+F5 -F5", "", "", 0,
                       false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(KeyAssignments, SecondPressOfAMacroKey_QueuesAnotherCopyBehindTheFirst) {
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {Down('A', 50), Up('A')}, 1, 0));
  EXPECT_EQ(f.Feed("+F5 -F5 -B +F5 -F5").passed, "-B");
  EXPECT_EQ(f.Queued(), "+A/50 -A +A/50 -A");
  EXPECT_EQ(f.assignments->StopOnKeyRelease(), 0);
}

TEST(KeyAssignments, ClickToStopMacro_AnyReleaseTurnsTheQueueIntoImmediateKeyUps) {
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {Down('A', 50), Down('B', 50)}, 2, 1));
  f.Feed("+F5 -F5");
  EXPECT_EQ(f.Queued(), "+A/50 +B/50 +A/50 +B/50");

  platform::ScriptedHookSource::FeedResult result = f.Feed("+C -C");
  EXPECT_EQ(result.passed, "+C -C");  // the release that cancels reaches the system
  EXPECT_EQ(f.Queued(), "-A -B -A -B");
}

// Click-to-stop at every point of a repeated macro: the copy being played
// turns into key ups step by step, the copies not yet begun into one key up
// per key, and playback ends at once.
struct StopCase {
  const char* label;
  int32_t repeat;
  int stepsPlayed;  // before the cancelling release
  const char* queuedAfterCancel;
  const char* injected;  // once the queue has been played out
};
std::ostream& operator<<(std::ostream& out, const StopCase& c) { return out << c.label; }

class ClickToStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(ClickToStop, EndsARepeatedMacroAtOnce) {
  const StopCase& c = GetParam();
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {Down('A', 2), Down('B', 2), Up('A', 2)}, c.repeat, 1));
  f.Feed("+F5 -F5");
  for (int i = 0; i < c.stepsPlayed; ++i) f.assignments->PlayNextStep(&f.thread, nullptr);

  EXPECT_EQ(f.Feed("-C").passed, "-C");
  EXPECT_EQ(f.Queued(), c.queuedAfterCancel);
  f.PlayAll();
  EXPECT_EQ(f.Injected(), c.injected);
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

INSTANTIATE_TEST_SUITE_P(
    KeyAssignments, ClickToStop,
    ::testing::Values(StopCase{"BeforeTheFirstStep", 1000, 0, "-A -B -A -A -B", "-A -B -A -A -B"},
                      StopCase{"InTheFirstCopy", 1000, 1, "-B -A -A -B", "+A -B -A -A -B"},
                      StopCase{"BetweenCopies", 1000, 3, "-A -B", "+A +B -A -A -B"},
                      StopCase{"InALaterCopy", 1000, 4, "-B -A -A -B", "+A +B -A +A -B -A -A -B"},
                      StopCase{"InTheLastCopy", 2, 4, "-B -A", "+A +B -A +A -B -A"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(KeyAssignments, ClickToStopWithEmptyQueue_ReleaseIsHandledNormally) {
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {Down('A')}, 1, 1));
  f.Assign(Record('S', 1, {Down('T')}));
  f.Feed("+F5 -F5");
  f.PlayAll();
  EXPECT_EQ(f.Feed("+S -S").swallowed, "+S -S");
  EXPECT_EQ(f.Injected(), "+A +T -T");
}

// The editor gets the events while it records or shows the single-key page.
class SwallowingEditor : public IKeyboardHookListener {
 public:
  int OnHookEvent(int*, uint32_t*, platform::KBDLLHOOKSTRUCT*) override {
    ++events;
    return 1;
  }
  int events = 0;
};

struct HandOverCase {
  const char* label;
  int32_t recording;
  int32_t type;
  bool editorOpen;
  const char* feed;
  int editorEvents;
  const char* injected;
};
std::ostream& operator<<(std::ostream& out, const HandOverCase& c) { return out << c.label; }

class HandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOver, DecidesWhoGetsTheEvent) {
  const HandOverCase& c = GetParam();
  AssignmentFixture f;
  f.Assign(kSingleA);
  f.library.recording = c.recording;
  f.library.type = c.type;
  SwallowingEditor editor;
  if (c.editorOpen) f.assignments->SetEditor(&editor);
  f.Feed(c.feed);
  EXPECT_EQ(editor.events, c.editorEvents);
  EXPECT_EQ(f.Injected(), c.injected);
}

INSTANTIATE_TEST_SUITE_P(
    KeyAssignments, HandOver,
    ::testing::Values(HandOverCase{"RecordingEditorGetsEverything", 1, 0, true, "+F5 -F5", 2, ""},
                      HandOverCase{"SingleKeyPageGetsEverything", 0, 1, true, "+F5 -F5", 2, ""},
                      HandOverCase{"EditorOnOtherPageGetsNothing", 0, 2, true, "+F5 -F5", 0, "+A -A"},
                      HandOverCase{"RecordingWithoutEditorActsNormally", 1, 0, false, "+F5 -F5", 0,
                                   "+A -A"},
                      HandOverCase{"InjectedNeverReachTheEditor", 1, 0, true, "+F5:i -F5:m", 0, ""},
                      // The desktop has that key already: recording it too would play it twice.
                      HandOverCase{"PassedOnNeverReachTheEditor", 1, 0, true, "+F5:p -F5:p", 0, ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(KeyAssignments, HugeRepeatCount_IsQueuedAsACount_NotAsCopies) {
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {Down('A'), Up('A')}, 2000000000));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(f.Feed("+F5 -F5").swallowed, "+F5 -F5");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(f.assignments->Queue().Size(), 4000000000u);
  EXPECT_EQ(f.assignments->Queue().StoredSize(), 2u);
}

TEST(KeyAssignments, EveryRepeatPlays_WhileTheQueueHoldsOneCopyAtATime) {
  AssignmentFixture f;
  const std::vector<MacroStep> steps = {Down('A'), Up('A'), Down('B'), Up('B'), Down('C'),
                                        Up('C'),   Down('D'), Up('D'), Down('E'), Up('E')};
  f.Assign(Record(kF5, 0, steps, 10000));
  f.Feed("+F5 -F5");
  size_t mostStored = 0;
  while (!f.assignments->Queue().IsEmpty()) {
    mostStored = std::max(mostStored, f.assignments->Queue().StoredSize());
    f.assignments->PlayNextStep(&f.thread, nullptr);
  }
  EXPECT_EQ(f.injector.Count(), 100000u);
  EXPECT_LE(mostStored, steps.size());
  EXPECT_TRUE(f.injector.HeldKeys().empty());
}

TEST(KeyAssignments, HugeRepeatCountOfAnEmptyMacro_ReturnsAtOnce) {
  AssignmentFixture f;
  f.Assign(Record(kF5, 0, {}, 2000000000));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(f.Feed("+F5 -F5").swallowed, "+F5 -F5");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_TRUE(f.assignments->Queue().IsEmpty());
}

}  // namespace
}  // namespace keyloom

namespace keyloom {
namespace {

TEST(KeyAssignments, WithoutInjectorOrShell_AssignedKeysAreSwallowedAndNothingBreaks) {
  KeyRecordList records;
  MacroLibrary library;
  DeviceConfig config;
  config.functionKeys.push_back({L"Calculator", L"/usr/bin/calc", L"", kCalcCode});
  SimpleThread thread;
  records.records = {Record(kF5, 1, {Down('A')}), Record('L', 2, {Down(kCalcCode)}),
                     Record('M', 0, {Down(LOCK_WORKSTATION_CODE), Down('B')}, 1)};
  KeyAssignments assignments({records, library, config, [] { return true; }, nullptr, nullptr, thread});
  platform::ScriptedHookSource source;
  KeyboardHook hook;
  hook.Install(&source);
  hook.AddListener(&assignments);

  EXPECT_EQ(source.Feed("+F5 -F5 +L -L +M -M").swallowed, "+F5 -F5 +L -L +M -M");
  while (!assignments.Queue().IsEmpty()) assignments.PlayNextStep(&thread, nullptr);
  EXPECT_EQ(assignments.ReleaseHeldKeys(), 0);
}

}  // namespace
}  // namespace keyloom
