// While the hook holds the keyboard, keyloom's injected keys go out through
// the keyboard's clone, so the desktop sees one key state: the evdev hook
// source, the hook chain, the key assignments and the shipping injector
// together, against a real uinput keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <vector>

#include "actions/KeyAssignments.h"
#include "kernel/guest/VirtualInput.h"
#include "macros/KeyboardHook.h"
#include "platform/KeyInjector.h"
#include "platform/linux/EvdevHookSource.h"
#include "platform/linux/UinputKeyInjector.h"
#include "runtime/SimpleThread.h"

namespace keyloom::kernel_test {
namespace {

using namespace std::chrono_literals;
using platform::KBDLLHOOKSTRUCT;
using platform::linux_input::EvdevHookSource;

constexpr const char* kName = "keyloom test keyboard";
constexpr uint32_t kVkF5 = 0x74;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkA = 0x41;

// First in the chain: counts the events the hook delivers, passes them on.
class CountingListener : public IKeyboardHookListener {
 public:
  int OnHookEvent(int*, uint32_t*, KBDLLHOOKSTRUCT*) override {
    ++seen;
    return 0;
  }
  std::atomic<int> seen{0};
};

struct CloneCase {
  const char* label;
  int32_t type;                  // F5's record: 1 single key, 0 macro
  std::vector<MacroStep> steps;
  const char* typed;             // evdev events on the keyboard: "+42" down, "-42" up
  const char* clone;             // key events out of the clone
  const char* held;              // keys the clone holds at the end
};
std::ostream& operator<<(std::ostream& out, const CloneCase& c) { return out << c.label; }

class CloneInjection : public testing::TestWithParam<CloneCase> {};

TEST_P(CloneInjection, InjectedKeysShareTheKeyboardsKeyState) {
  const CloneCase& c = GetParam();
  TestKeyboard keyboard(kName, kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard.Ok());

  KeyRecordList records;
  KeyRecord record;
  record.code = static_cast<int32_t>(kVkF5);
  record.type = c.type;
  record.repeat = 1;
  record.steps = c.steps;
  records.records.push_back(record);
  MacroLibrary library;
  DeviceConfig config;

  EvdevHookSource source(kSampleVid, kSamplePid);
  KeyboardHook hook;
  ASSERT_TRUE(hook.Install(&source));
  auto injector = platform::CreateKeyInjector(&source);
  ASSERT_NE(injector, nullptr);
  SimpleThread thread;
  KeyAssignments assignments(KeyAssignments::Services{
      records, library, config, [] { return true; }, injector.get(), nullptr, thread});
  assignments.AttachTo(thread);  // macros play on the worker thread
  thread.Start(nullptr);
  CountingListener counter;
  hook.AddListener(&counter);
  hook.AddListener(&assignments);

  std::string cloneNode;
  for (const std::string& node : NodesNamed(kName)) {
    if (node != keyboard.Node()) cloneNode = node;
  }
  NodeReader clone(cloneNode);
  ASSERT_TRUE(clone.Ok());
  const auto ownNodes = NodesNamed(platform::linux_input::UinputKeyInjector::kDeviceName);
  ASSERT_EQ(ownNodes.size(), 1u);
  NodeReader own(ownNodes.front());
  ASSERT_TRUE(own.Ok());

  std::istringstream tokens(c.typed);
  std::string token;
  int typed = 0;
  while (tokens >> token) {
    keyboard.Key(std::stoi(token.substr(1)), token[0] == '+' ? 1 : 0);
    ++typed;
    // One at a time: each answered before the next comes.
    ASSERT_TRUE(PumpUntil([&] { return counter.seen >= typed; }, 5s));
  }
  EXPECT_TRUE(PumpUntil([&] { return assignments.Queue().IsEmpty(); }, 5s));
  EXPECT_EQ(clone.KeysUntilQuiet(500ms), c.clone);
  EXPECT_EQ(clone.HeldKeys(), c.held);
  // keyloom's own virtual keyboard stays out of it.
  EXPECT_EQ(own.KeysUntilQuiet(100ms), "");
  // Nothing injected came back to the hook.
  EXPECT_EQ(counter.seen, typed);
  hook.RemoveListener(&assignments);
  hook.RemoveListener(&counter);
}

INSTANTIATE_TEST_SUITE_P(
    EvdevHook, CloneInjection,
    testing::Values(
        // Shift held on the keyboard; F5 sends Shift: its release lets the
        // keyboard's Shift go too, while the finger is still on it. The
        // keyboard's own Shift release that follows changes nothing more.
        CloneCase{"SingleKeyShift_ReleasesTheShiftHeldOnTheKeyboard", 1,
                  {MacroStep{kVkShift, 0, 0, {}}}, "+42 +63 -63", "+42 -42 +42 -42", ""},
        // The same from the worker thread: a macro's Shift-up.
        CloneCase{"MacroShiftUp_ReleasesTheShiftHeldOnTheKeyboard", 0,
                  {MacroStep{kVkShift, 1, 0, {}}}, "+42 +63 -63", "+42 -42", ""},
        // A second key-down is a press for the desktop, not an auto-repeat.
        CloneCase{"MacroSecondKeyDown_IsAFreshPress", 0,
                  {MacroStep{kVkA, 0, 0, {}}, MacroStep{kVkA, 0, 0, {}}, MacroStep{kVkA, 1, 0, {}}},
                  "+63 -63", "+30 -30 +30 -30", ""},
        // Held on the keyboard when the macro ends: A stays held for the
        // desktop until the keyboard lets it go.
        CloneCase{"MacroPressesAKeyHeldOnTheKeyboard_ItStaysHeld", 0,
                  {MacroStep{kVkA, 0, 0, {}}}, "+30 +63 -63", "+30 -30 +30", "30"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace keyloom::kernel_test
