#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <cstdlib>
#include <fstream>
#include <ostream>

#include "platform/HidBackend.h"
#include "platform/virtual/VirtualDeviceNotifier.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "platform/virtual/VirtualKeyboardControl.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "hid_platform_tests";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

struct CommandCase {
  const char* name;
  const char* line;
  bool understood;
};

std::ostream& operator<<(std::ostream& out, const CommandCase& c) { return out << c.name; }

class VirtualKeyboardControlCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(VirtualKeyboardControlCommands, AreUnderstoodOnlyWhenWellFormed) {
  VirtualKeyboard keyboard;
  EXPECT_EQ(VirtualKeyboardControl::Apply(keyboard, GetParam().line), GetParam().understood);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VirtualKeyboardControlCommands,
    ::testing::Values(CommandCase{"Unplug", "unplug", true}, CommandCase{"Replug", "replug", true},
                      CommandCase{"Firmware", "firmware 1.0", true},
                      CommandCase{"FirmwareWithoutMinor", "firmware 1", false},
                      CommandCase{"FirmwareOutOfRange", "firmware 1.300", false},
                      // Past unsigned's range: scanf's conversion is undefined there.
                      CommandCase{"FirmwarePastAnyNumber", "firmware 1.99999999999999999999", false},
                      CommandCase{"FirmwareWithTail", "firmware 1.2x", false},
                      CommandCase{"FirmwareSigned", "firmware -1.2", false},
                      CommandCase{"SwitchOn", "fail-opens on", true},
                      CommandCase{"SwitchWithoutValue", "hold-writes", false},
                      CommandCase{"TrailingWord", "plug now", false}, CommandCase{"Unknown", "explode", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VirtualKeyboardControl, CommandsWrittenIntoThePipeReachTheKeyboard) {
  EnsureApplication();
  test::TempDir dir;
  const std::string pipe = dir.File("control");
  VirtualKeyboard keyboard;
  VirtualDeviceNotifier notifier(keyboard);
  VirtualKeyboardControl control(keyboard, pipe);
  ASSERT_TRUE(control.Listening());
  QSignalSpy spy(&notifier, &DeviceNotifier::deviceChanged);

  std::ofstream(pipe) << "firmware 1.0\nunplug\n";
  QElapsedTimer waited;
  waited.start();
  while (spy.count() < 3 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

  EXPECT_FALSE(keyboard.Plugged());
  ASSERT_EQ(spy.count(), 3);
  EXPECT_EQ(spy[0][0].value<DeviceChange>(), DeviceChange::RemoveComplete);
}

// Runs last in its own process state: the backend is chosen once.
TEST(HidBackend, VirtualKeyboardIsChosenWhenSelected) {
  EnsureApplication();
  setenv("KEYLOOM_VIRTUAL_KEYBOARD", "1", 1);
  ASSERT_TRUE(VirtualKeyboardSelected());
  ASSERT_NE(DefaultVirtualKeyboard(), nullptr);
  HidInterfaceList list;
  ASSERT_TRUE(DefaultHidPlatform().ListInterfaces(list));
  EXPECT_EQ(list.interfaces.size(), 3u);
  auto notifier = CreateDeviceNotifier();
  EXPECT_NE(dynamic_cast<VirtualDeviceNotifier*>(notifier.get()), nullptr);
  setenv("KEYLOOM_VIRTUAL_KEYBOARD", "0", 1);
  EXPECT_FALSE(VirtualKeyboardSelected());
}

}  // namespace
}  // namespace keyloom::platform
