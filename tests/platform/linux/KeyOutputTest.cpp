#include "platform/linux/KeyOutput.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

#include "platform/linux/RecordingKeyOutput.h"

namespace keyloom::platform::linux_input {
namespace {

std::string Held(const KeyOutput& output) {
  std::string text;
  for (int code : output.HeldKeys()) text += (text.empty() ? "" : " ") + std::to_string(code);
  return text;
}

// A script of calls, separated by ';': "pass +42 *42 -30" passes one frame
// (+ down, - up, * auto-repeat), "press 42", "release 42", "releaseall".
void Play(KeyOutput& output, const std::string& script) {
  std::istringstream statements(script);
  std::string statement;
  while (std::getline(statements, statement, ';')) {
    std::istringstream words(statement);
    std::string verb;
    words >> verb;
    if (verb == "pass") {
      std::vector<input_event> frame;
      std::string key;
      while (words >> key) {
        input_event event{};
        event.type = EV_KEY;
        event.code = static_cast<uint16_t>(std::stoi(key.substr(1)));
        event.value = key[0] == '+' ? 1 : key[0] == '*' ? 2 : 0;
        frame.push_back(event);
      }
      output.PassFrame(frame);
    } else if (verb == "releaseall") {
      output.ReleaseAll();
    } else {
      int code = 0;
      words >> code;
      if (verb == "press") output.Press(code);
      if (verb == "release") output.Release(code);
    }
  }
}

struct OutputCase {
  const char* label;
  const char* script;
  const char* frames;
  const char* held;
};
std::ostream& operator<<(std::ostream& out, const OutputCase& c) { return out << c.label; }

class KeyOutputRule : public testing::TestWithParam<OutputCase> {};

TEST_P(KeyOutputRule, WritesFramesAndFollowsTheKeyState) {
  const OutputCase& c = GetParam();
  RecordingKeyOutput output({30, 42, 115});  // A, left Shift, volume up
  Play(output, c.script);
  EXPECT_EQ(output.Frames(), c.frames);
  EXPECT_EQ(Held(output), c.held);
}

INSTANTIATE_TEST_SUITE_P(
    KeyOutput, KeyOutputRule,
    testing::Values(
        OutputCase{"PressAndRelease_EachInAFrame", "press 30; release 30", "+30 | -30", ""},
        // The kernel would drop a second key-down: the key is let go first,
        // so the desktop sees a press.
        OutputCase{"PressOfAKeyPassedOnAndHeld_IsAFreshPress", "pass +42; press 42",
                   "+42 | -42 | +42", "42"},
        OutputCase{"PressOfAKeyPressedBefore_IsAFreshPress", "press 30; press 30",
                   "+30 | -30 | +30", "30"},
        OutputCase{"ReleaseOfAKeyPassedOnAndHeld_LetsItGo", "pass +42; release 42", "+42 | -42",
                   ""},
        OutputCase{"ReleaseOfAKeyNotHeld_SendsNothing", "release 30; pass +30 -30; release 30",
                   "+30 -30", ""},
        OutputCase{"AutoRepeat_ChangesNoState", "pass *30; pass +30 *30", "*30 | +30 *30", "30"},
        OutputCase{"KeyTheDeviceLacks_IsNotSent", "press 31; release 31; press 0; press 9999",
                   "", ""},
        OutputCase{"ReleaseAll_LetsEveryHeldKeyGoInOneFrame", "pass +42; press 115; releaseall",
                   "+42 | +115 | -42 -115", ""},
        OutputCase{"EmptyFrame_IsOnlyASynReport", "pass", "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(KeyOutput, HasAndIsDown_AnswerForTheDevicesKeysOnly) {
  RecordingKeyOutput output({30});
  EXPECT_TRUE(output.Has(30));
  EXPECT_FALSE(output.Has(31));
  EXPECT_FALSE(output.Has(-1));
  EXPECT_FALSE(output.Has(KEY_CNT));
  output.Press(30);
  EXPECT_TRUE(output.IsDown(30));
  EXPECT_FALSE(output.IsDown(31));
}

// The reader thread passes frames of several events while another thread
// injects: no frame may hold another thread's event.
TEST(KeyOutput, FramesOfTwoThreads_NeverInterleave) {
  RecordingKeyOutput output({30, 31, 32, 42});
  constexpr int kRounds = 2000;
  std::thread reader([&] {
    for (int i = 0; i < kRounds; ++i) {
      input_event scan{};
      scan.type = EV_MSC;
      scan.code = MSC_SCAN;
      input_event down{};
      down.type = EV_KEY;
      down.code = 30;
      down.value = 1;
      input_event up = down;
      up.value = 0;
      output.PassFrame({scan, down, scan, up});
    }
  });
  std::thread worker([&] {
    for (int i = 0; i < kRounds; ++i) {
      output.Press(42);  // a press and a release: two frames
      output.Release(42);
    }
  });
  reader.join();
  worker.join();
  const auto events = output.Events();
  size_t frames = 0;
  std::thread::id writer;
  bool inFrame = false;
  for (const auto& [thread, event] : events) {
    if (inFrame) {
      ASSERT_EQ(thread, writer) << "a frame was split after " << frames << " frames";
    }
    writer = thread;
    inFrame = !(event.type == EV_SYN && event.code == SYN_REPORT);
    if (!inFrame) ++frames;
  }
  EXPECT_EQ(frames, static_cast<size_t>(kRounds * 3));
  EXPECT_EQ(Held(output), "");
}

}  // namespace
}  // namespace keyloom::platform::linux_input
