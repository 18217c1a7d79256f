#include "platform/linux/ReportWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>

namespace keyloom::platform {
namespace {

using namespace std::chrono_literals;

// A device that takes a report only once the test lets it.
class HeldDevice {
 public:
  ssize_t Write(const uint8_t*, size_t length) {
    ++writes;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return taking_; });
    returned = true;
    return static_cast<ssize_t>(length);
  }
  void Take() {
    {
      std::lock_guard lock(mutex_);
      taking_ = true;
    }
    changed_.notify_all();
  }
  ReportWriter::WriteFunction Function() {
    return [this](const uint8_t* data, size_t length) { return Write(data, length); };
  }

  std::atomic<int> writes{0};
  std::atomic<bool> returned{false};

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool taking_ = false;
};

int ThreadsOfThisProcess() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

const uint8_t kReport[8] = {0x07, 0xF0, 0xAA};

TEST(ReportWriter, ReportTheDeviceHasNotTaken_RefusesTheNextOnesWithoutMoreThreads) {
  HeldDevice device;
  ReportWriter writer(device.Function());
  uint32_t bytes = 0;
  EXPECT_FALSE(writer.Wait(10ms, bytes)) << "nothing was handed over";
  ASSERT_TRUE(writer.Start(kReport, 8));
  EXPECT_FALSE(writer.Wait(50ms, bytes));
  // Counted with the writer's own thread running (a sanitizer's runtime may
  // have started one of its own by now too): refused reports add none.
  const int threadsWithTheWriter = ThreadsOfThisProcess();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(writer.Start(kReport, 8));
  EXPECT_EQ(ThreadsOfThisProcess(), threadsWithTheWriter);
  ASSERT_TRUE(Eventually([&] { return device.writes == 1; }));

  // Once the device takes the stuck report, the next one goes.
  device.Take();
  ASSERT_TRUE(Eventually([&] { return !writer.Busy(); }));
  ASSERT_TRUE(writer.Start(kReport, 8));
  EXPECT_TRUE(writer.Wait(10s, bytes));
  EXPECT_EQ(bytes, 8u);
  EXPECT_EQ(device.writes, 2);
  EXPECT_FALSE(writer.Wait(10ms, bytes)) << "each write is waited for once";
}

TEST(ReportWriter, GoingWhileAWriteIsUnderWay_WaitsForItsThread) {
  HeldDevice device;
  auto writer = std::make_unique<ReportWriter>(device.Function());
  ASSERT_TRUE(writer->Start(kReport, 8));
  ASSERT_TRUE(Eventually([&] { return device.writes == 1; }));
  std::thread takeLater([&device] {
    std::this_thread::sleep_for(100ms);
    device.Take();
  });
  writer.reset();
  EXPECT_TRUE(device.returned) << "the writer went while its thread was still writing";
  takeLater.join();
}

}  // namespace
}  // namespace keyloom::platform
