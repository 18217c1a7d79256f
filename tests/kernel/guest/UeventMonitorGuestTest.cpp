// Hotplug without udevd: the guest runs none, so the monitor must fall back
// to the kernel's own uevents and still see input devices come and go.
#include <gtest/gtest.h>
#include <poll.h>

#include <memory>

#include "kernel/guest/VirtualInput.h"
#include "platform/linux/UeventMonitor.h"

namespace keyloom::kernel_test {
namespace {

using platform::linux_input::UeventMonitor;

// The next add or remove of an event node, waiting up to two seconds.
bool NextEventNode(UeventMonitor& monitor, UeventMonitor::Event* event) {
  for (int i = 0; i < 200; ++i) {
    while (monitor.Receive(event)) {
      if (event->devnode.rfind("/dev/input/event", 0) == 0) return true;
    }
    pollfd p{monitor.Fd(), POLLIN, 0};
    poll(&p, 1, 10);
  }
  return false;
}

TEST(UeventMonitor, WithoutUdevd_FallsBackToKernelUevents_AndSeesArrivalAndRemoval) {
  ASSERT_FALSE(UeventMonitor::UdevRunning());
  UeventMonitor monitor;
  ASSERT_TRUE(monitor.Open("input"));
  EXPECT_EQ(monitor.ActiveSource(), UeventMonitor::Source::Kernel);

  auto keyboard = std::make_unique<TestKeyboard>("keyloom hotplug keyboard", kSampleVid, kSamplePid);
  ASSERT_TRUE(keyboard->Ok());
  UeventMonitor::Event event;
  ASSERT_TRUE(NextEventNode(monitor, &event));
  EXPECT_TRUE(event.added);
  EXPECT_EQ(event.devnode, keyboard->Node());
  const std::string node = keyboard->Node();

  keyboard.reset();
  ASSERT_TRUE(NextEventNode(monitor, &event));
  EXPECT_FALSE(event.added);
  EXPECT_EQ(event.devnode, node);
}

}  // namespace
}  // namespace keyloom::kernel_test
