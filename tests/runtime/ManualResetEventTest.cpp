#include "runtime/ManualResetEvent.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace keyloom {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ManualResetEvent, StaysSignalledUntilReset) {
  ManualResetEvent event;
  event.Set();
  EXPECT_TRUE(event.WaitUntil(Clock::now() + 1ms));
  EXPECT_TRUE(event.WaitUntil(Clock::now() + 1ms));
  event.Reset();
  EXPECT_FALSE(event.WaitUntil(Clock::now() + 1ms));
}

TEST(ManualResetEvent, PulseReleasesTheWaiterButLeavesItUnsignalled) {
  ManualResetEvent event;
  auto waiter = std::async(std::launch::async, [&] { return event.WaitUntil(Clock::now() + 10s); });
  // Pulse until the waiter is woken; a pulse before it waits would be lost.
  while (waiter.wait_for(5ms) != std::future_status::ready) event.Pulse();
  EXPECT_TRUE(waiter.get());
  EXPECT_FALSE(event.IsSet());
  EXPECT_FALSE(event.WaitUntil(Clock::now() + 1ms));
}

}  // namespace
}  // namespace keyloom
