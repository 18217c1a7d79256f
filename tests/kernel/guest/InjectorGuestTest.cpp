// keyloom's virtual keyboard against the real kernel's uinput.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "kernel/guest/VirtualInput.h"
#include "platform/KeyInjector.h"
#include "platform/linux/UinputKeyInjector.h"

namespace keyloom::kernel_test {
namespace {

using namespace std::chrono_literals;
using platform::KEYEVENTF_EXTENDEDKEY;
using platform::KEYEVENTF_KEYUP;
using platform::kKeyloomExtraInfo;

std::string InjectorNode() {
  auto nodes = NodesNamed(platform::linux_input::UinputKeyInjector::kDeviceName);
  return nodes.empty() ? std::string() : nodes.front();
}

TEST(UinputInjector, InjectedKeys_ComeOutOfTheVirtualKeyboard) {
  auto injector = platform::CreateKeyInjector();
  ASSERT_NE(injector, nullptr);
  NodeReader reader(InjectorNode());
  ASSERT_TRUE(reader.Ok());
  auto send = [&](uint8_t vk, uint32_t flags) {
    injector->KeybdEvent(vk, static_cast<uint8_t>(injector->MapVirtualKey(vk, 0)), flags,
                         kKeyloomExtraInfo);
  };
  send(0x41, 0);                                      // A
  send(0x41, KEYEVENTF_KEYUP);
  send(0x11, KEYEVENTF_EXTENDEDKEY);                  // right Ctrl
  send(0x11, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
  send(0xAF, 0);                                      // volume up
  send(0xAF, 0);                                      // held: a fresh press
  send(0xAF, KEYEVENTF_KEYUP);
  send(0xAF, KEYEVENTF_KEYUP);                        // not held: nothing
  send(0xFF, 0);                                      // no such key: nothing
  EXPECT_EQ(reader.KeysUntilQuiet(300ms), "+30 -30 +97 -97 +115 -115 +115 -115");
}

TEST(UinputInjector, KeysHeldWhenDestroyed_AreReleased) {
  auto injector = platform::CreateKeyInjector();
  ASSERT_NE(injector, nullptr);
  NodeReader reader(InjectorNode());
  ASSERT_TRUE(reader.Ok());
  injector->KeybdEvent(0xA0, 0x2A, 0, kKeyloomExtraInfo);  // left Shift
  injector->KeybdEvent(0x42, 0x30, 0, kKeyloomExtraInfo);  // B
  injector->KeybdEvent(0x42, 0x30, KEYEVENTF_KEYUP, kKeyloomExtraInfo);
  injector->KeybdEvent(0x43, 0x2E, 0, kKeyloomExtraInfo);  // C
  EXPECT_EQ(reader.KeysUntilQuiet(300ms), "+42 +48 -48 +46");
  // The releases must be read before the node goes away, so read them while
  // the injector is being destroyed.
  std::string released;
  std::thread watcher([&] { released = reader.KeysUntilQuiet(2s); });
  std::this_thread::sleep_for(50ms);
  injector.reset();
  watcher.join();
  EXPECT_THAT(released, testing::AnyOf("-42 -46", "-46 -42"));
}

// Without access to /dev/uinput there is no injector, and one line on
// standard error names the rules file to install.
TEST(UinputInjector, AccessDenied_GivesNoInjector_AndNamesTheRulesFile) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    // /dev/uinput is root's only (0600), as on a system without the rules.
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(platform::CreateKeyInjector() == nullptr ? 0 : 1);
  }
  close(pipeFds[1]);
  std::string output;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_THAT(output, testing::HasSubstr("packaging/linux/70-keyloom.rules"));
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
}

TEST(UinputInjector, MapVirtualKey_GivesSetOneScanCodes) {
  auto injector = platform::CreateKeyInjector();
  ASSERT_NE(injector, nullptr);
  EXPECT_EQ(injector->MapVirtualKey(0x41, 0), 0x1Eu);
  EXPECT_EQ(injector->MapVirtualKey(0x10, 0), 0x2Au);
  EXPECT_EQ(injector->MapVirtualKey(0x41, 1), 0u);
}

}  // namespace
}  // namespace keyloom::kernel_test
