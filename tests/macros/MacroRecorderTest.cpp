#include "macros/MacroRecorder.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "config/XmlLookup.h"
#include "macros/KeyboardHook.h"
#include "platform/test/ScriptedHookSource.h"

namespace keyloom {
namespace {

using platform::ScriptedHookSource;

class FakeEditor : public IMacroRecorderHost {
 public:
  int Page() const override { return page; }
  bool IsRecordChecked() const override { return recordChecked; }
  MacroGroup* ShownGroup() override { return group ? &*group : nullptr; }
  void StepsChanged() override { ++refreshes; }
  bool PictureKeyName(uint32_t id, std::wstring* name) const override {
    auto it = pictureKeys.find(id);
    if (it == pictureKeys.end()) return false;
    *name = it->second;
    return true;
  }
  void SetSingleKey(const std::wstring* text, uint32_t userData) override {
    if (text) singleKeyText = *text;
    singleKeyData = userData;
  }

  int page = 0;
  bool recordChecked = true;
  std::optional<MacroGroup> group = MacroGroup{};
  int refreshes = 0;
  std::map<uint32_t, std::wstring> pictureKeys;
  std::wstring singleKeyText = L"old";
  uint32_t singleKeyData = 12345;
};

// "code/state/delay/name ..."
std::string Steps(const MacroGroup& group) {
  std::ostringstream out;
  for (const MacroStep& step : group.steps) {
    if (out.tellp() > 0) out << ' ';
    out << step.code << '/' << step.state << '/' << step.delay << '/' << Narrow(step.name);
  }
  return out.str();
}

// The editor gets its events from the main window's listener; here the
// recorder sits directly in the chain.
class RecorderFixture {
 public:
  RecorderFixture() : recorder(library, editor, [this] { return static_cast<int32_t>(now); }) {
    source.SetTrafficErrorHandler([](const std::string& error) { ADD_FAILURE() << error; });
    hook.Install(&source);
    hook.AddListener(&recorder);
  }
  ScriptedHookSource::FeedResult Feed(std::string_view traffic) {
    return source.Feed(traffic, [this](int ms) { now += ms; });
  }

  uint32_t now = 5000;  // wraps like the program's millisecond count
  MacroLibrary library;
  FakeEditor editor;
  MacroRecorder recorder;
  ScriptedHookSource source;
  KeyboardHook hook;
};

struct RecordCase {
  const char* label;
  int32_t mode;
  int32_t fixedDelay;
  std::vector<MacroStep> existing;
  const char* traffic;
  const char* steps;
  const char* swallowed;
};
std::ostream& operator<<(std::ostream& out, const RecordCase& c) { return out << c.label; }

class Recording : public ::testing::TestWithParam<RecordCase> {};

TEST_P(Recording, RecordsTheExpectedSteps) {
  const RecordCase& c = GetParam();
  RecorderFixture f;
  f.library.mode = c.mode;
  f.library.delay = c.fixedDelay;
  f.editor.group->steps = c.existing;
  ScriptedHookSource::FeedResult result = f.Feed(c.traffic);
  EXPECT_EQ(Steps(*f.editor.group), c.steps);
  EXPECT_EQ(result.swallowed, c.swallowed);
  EXPECT_EQ(result.passed, "");
}

INSTANTIATE_TEST_SUITE_P(
    MacroRecorder, Recording,
    ::testing::Values(
        RecordCase{"RealDelays", 0, 25, {}, "+A 150ms -A 300ms +B",
                   "65/0/150/A 65/1/300/A 66/0/0/B", "+A -A +B"},
        RecordCase{"FixedDelays", 1, 25, {}, "+A 150ms -A 300ms +B",
                   "65/0/25/A 65/1/25/A 66/0/0/B", "+A -A +B"},
        RecordCase{"NoDelays", 2, 25, {}, "+A 150ms -A 300ms +B",
                   "65/0/0/A 65/1/0/A 66/0/0/B", "+A -A +B"},
        RecordCase{"UnknownModeMeansNoDelays", 7, 25, {}, "+A 10ms -A", "65/0/0/A 65/1/0/A",
                   "+A -A"},
        RecordCase{"FirstReleaseIntoEmptyGroupIsIgnoredButConsumed", 0, 0, {}, "-A 40ms +B",
                   "66/0/0/B", "-A +B"},
        RecordCase{"AltCombinationsRecordLikeOtherKeys", 2, 0, {}, "+AltLeft:s +F4:s -F4:s -AltLeft:s",
                   "164/0/0/AltLeft 115/0/0/F4 115/1/0/F4 164/1/0/AltLeft",
                   "+AltLeft:s +F4:s -F4:s -AltLeft:s"},
        RecordCase{"LeftShiftIsCode160", 2, 0, {}, "+ShiftLeft", "160/0/0/ShiftLeft", "+ShiftLeft"},
        RecordCase{"BothEntersRecordCode13ByTheirOwnNames", 2, 0, {}, "+Enter +Enter:x",
                   "13/0/0/Enter 13/0/0/Pad Enter", "+Enter +Enter:x"},
        RecordCase{"KeyWithoutNameRecordsEmptyName", 2, 0, {}, "+VolumeUp", "175/0/0/", "+VolumeUp"},
        RecordCase{"OtherMessagesAreConsumedOnly", 0, 0, {}, "~A", "", "~A"},
        RecordCase{"ExistingGroupKeepsItsLastDelayUntilSomethingIsMeasured", 0, 0,
                   {{65, 1, 7, L"A"}}, "+B 20ms -B", "65/1/7/A 66/0/20/B 66/1/0/B", "+B -B"},
        RecordCase{"ExistingGroupWithFixedDelay", 1, 30, {{65, 1, 7, L"A"}}, "+B",
                   "65/1/30/A 66/0/0/B", "+B"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MacroRecorder, TimeStampStartsAtMinusOne_AndFollowsRecordedEvents) {
  RecorderFixture f;
  EXPECT_EQ(f.recorder.TimeStamp(), -1);
  f.Feed("+A 12ms");
  EXPECT_EQ(f.recorder.TimeStamp(), 5000);
  f.recorder.ResetTimeStamp();
  EXPECT_EQ(f.recorder.TimeStamp(), -1);
}

TEST(MacroRecorder, RealDelay_IsMeasuredAcrossTheWrapOfTheMillisecondCount) {
  RecorderFixture f;
  f.now = 0x7FFFFFF0;  // 24.8 days after start the count turns negative
  f.Feed("+A 40ms -A");
  EXPECT_EQ(Steps(*f.editor.group), "65/0/40/A 65/1/0/A");
}

TEST(MacroRecorder, UncheckedRecordBox_LetsEverythingThrough) {
  RecorderFixture f;
  f.editor.recordChecked = false;
  EXPECT_EQ(f.Feed("+A -A").passed, "+A -A");
  EXPECT_TRUE(f.editor.group->steps.empty());
}

TEST(MacroRecorder, NoGroupShown_ConsumesWithoutRecording) {
  RecorderFixture f;
  f.editor.group.reset();
  EXPECT_EQ(f.Feed("+A -A").swallowed, "+A -A");
}

TEST(MacroRecorder, SingleKeyPage_CapturesPressesOfKeysThePictureShows) {
  RecorderFixture f;
  f.editor.page = 1;
  f.editor.pictureKeys[0x41] = L"A key";
  ScriptedHookSource::FeedResult result = f.Feed("+A -A");
  EXPECT_EQ(result.swallowed, "+A");
  EXPECT_EQ(result.passed, "-A");
  EXPECT_EQ(f.library.skcode, 0x41);
  EXPECT_EQ(f.editor.singleKeyText, L"A key");
  EXPECT_EQ(f.editor.singleKeyData, 0x41u);
}

TEST(MacroRecorder, SingleKeyPage_KeyMissingFromPicture_KeepsTheTextAndClearsTheData) {
  RecorderFixture f;
  f.editor.page = 1;
  EXPECT_EQ(f.Feed("+F5:s").swallowed, "+F5:s");
  EXPECT_EQ(f.library.skcode, 0x74);
  EXPECT_EQ(f.editor.singleKeyText, L"old");
  EXPECT_EQ(f.editor.singleKeyData, 0u);
}

TEST(MacroRecorder, OtherPages_LetEverythingThrough) {
  RecorderFixture f;
  f.editor.page = 2;
  EXPECT_EQ(f.Feed("+A -A").passed, "+A -A");
  EXPECT_TRUE(f.editor.group->steps.empty());
  EXPECT_EQ(f.library.skcode, 0);
}

TEST(ProcessMilliseconds, CountsWallTimeNotProcessorTime) {
  const int32_t before = ProcessMilliseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_GE(ProcessMilliseconds() - before, 29);
}

}  // namespace
}  // namespace keyloom
