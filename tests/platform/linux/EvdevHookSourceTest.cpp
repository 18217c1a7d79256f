#include "platform/linux/EvdevHookSource.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace keyloom::platform::linux_input {
namespace {

using namespace std::chrono_literals;

std::chrono::microseconds CpuTimeOfProcess() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec);
  return seconds + std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// No keyboard is needed: the reader's wait itself fails, every time.
TEST(EvdevHookSource, PollThatKeepsFailing_IsRetriedAfterGrowingPausesAndReportedOnce) {
  std::atomic<int> polls{0};
  EvdevHookSource source(0x1A2B, 0x0001, [&polls](pollfd*, nfds_t, int) {
    ++polls;
    errno = ENOMEM;
    return -1;
  });
  ::testing::internal::CaptureStderr();
  const auto cpuBefore = CpuTimeOfProcess();
  ASSERT_TRUE(source.Install(WH_KEYBOARD_LL, [](int, uint32_t, KBDLLHOOKSTRUCT*) -> intptr_t { return 0; }));
  std::this_thread::sleep_for(600ms);
  const int seen = polls.load();
  const auto cpuUsed = CpuTimeOfProcess() - cpuBefore;
  const auto uninstallStart = std::chrono::steady_clock::now();
  EXPECT_TRUE(source.Uninstall());
  const auto uninstallTook = std::chrono::steady_clock::now() - uninstallStart;
  const std::string errors = ::testing::internal::GetCapturedStderr();

  // Pauses of 10, 20, 40, ... ms make about seven tries in 600 ms; a reader
  // that does not pause makes millions.
  EXPECT_GE(seen, 3) << "the reader gave up instead of trying again";
  EXPECT_LE(seen, 20);
  EXPECT_LT(cpuUsed, 300ms);
  EXPECT_LT(uninstallTook, 900ms) << "a pausing reader is not woken by Uninstall";
  EXPECT_EQ(Occurrences(errors, "cannot wait for key events"), 1) << errors;
}

}  // namespace
}  // namespace keyloom::platform::linux_input
