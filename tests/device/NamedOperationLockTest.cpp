#include <gtest/gtest.h>

#include <QProcess>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "device/HidDevice.h"
#include "device/NamedOperationLock.h"
#include "device/ScriptedHidPlatform.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

using namespace std::chrono_literals;

// Runs `body` on a thread of its own and says whether it finished within
// `limit`. A body that hangs is left behind (detached), so the suite fails
// instead of hanging; such a body only ever waits for the lock under test.
bool FinishesWithin(std::chrono::milliseconds limit, std::function<void()> body) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread([done, body = std::move(body)] {
    body();
    done->set_value();
  }).detach();
  return finished.wait_for(limit) == std::future_status::ready;
}

TEST(NamedOperationLock, OwningThreadMayTakeItAgain) {
  EXPECT_TRUE(FinishesWithin(10s, [] {
    NamedOperationLock outer("NamedOperationLockTest::Reentry");
    NamedOperationLock inner("NamedOperationLockTest::Reentry");
  })) << "re-entering the lock on its owning thread hangs";
}

TEST(NamedOperationLock, InnerReleaseLeavesTheLockWithItsOwner) {
  const char* name = "NamedOperationLockTest::InnerRelease";
  std::atomic<bool> outerReleased{false};
  std::promise<void> innerGone;
  std::thread other([&] {
    if (innerGone.get_future().wait_for(20s) != std::future_status::ready) return;
    NamedOperationLock taken(name);
    EXPECT_TRUE(outerReleased.load()) << "taken while the owner still held it";
  });
  EXPECT_TRUE(FinishesWithin(10s, [&] {
    NamedOperationLock outer(name);
    { NamedOperationLock inner(name); }
    innerGone.set_value();
    std::this_thread::sleep_for(100ms);
    outerReleased = true;
  }));
  other.join();
}

TEST(NamedOperationLock, OtherThreadWaitsUntilTheOwnerLetsGo) {
  std::atomic<bool> ownerDone{false};
  std::promise<void> held;
  std::thread owner([&] {
    NamedOperationLock lock("NamedOperationLockTest::Wait");
    NamedOperationLock again("NamedOperationLockTest::Wait");
    held.set_value();
    std::this_thread::sleep_for(100ms);
    ownerDone = true;
  });
  held.get_future().wait();
  {
    NamedOperationLock lock("NamedOperationLockTest::Wait");
    EXPECT_TRUE(ownerDone.load()) << "taken while the other thread still held it";
  }
  owner.join();
}

// Two threads run device transfers that stay inside the platform for a while
// and count how many are inside at once.
class DeviceLockConcurrency : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.AddInterface(L"hid#vid_1a2b&pid_3c4d&mi_01&col02#x");
    platform.onTransfer = [this](const char*) {
      const int now = ++inside;
      int seen = most.load();
      while (now > seen && !most.compare_exchange_weak(seen, now)) {
      }
      std::this_thread::sleep_for(150ms);
      --inside;
    };
    ASSERT_TRUE(device.Open(platform::kHidReadWriteShared, L"hid#vid_1a2b&pid_3c4d&mi_01&col02#x"));
  }
  test::ScriptedHidPlatform platform;
  HidDevice device{platform};
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
};

TEST_F(DeviceLockConcurrency, SameOperationOnTwoThreads_IsSerialised) {
  uint8_t a[8] = {7}, b[8] = {7};
  std::thread first([&] { device.SetFeature(a); });
  std::thread second([&] { device.SetFeature(b); });
  first.join();
  second.join();
  EXPECT_EQ(most.load(), 1);
}

TEST_F(DeviceLockConcurrency, DifferentOperationsOnTwoThreads_MayOverlap) {
  uint8_t a[8] = {7}, b[8] = {7};
  std::thread first([&] { device.SetFeature(a); });
  std::thread second([&] { device.GetFeature(b); });
  first.join();
  second.join();
  EXPECT_EQ(most.load(), 2);
}

TEST(NamedOperationLock, AnotherProcessHoldingTheName_MakesThisOneWait) {
  test::TempDir dir;
  const std::string marker = dir.File("released");
  QProcess holder;
  holder.start(QString::fromUtf8(NAMED_LOCK_HOLDER),
               {"NamedOperationLockTest::Process", "300", QString::fromStdString(marker)});
  ASSERT_TRUE(holder.waitForReadyRead(10000));
  ASSERT_EQ(holder.readLine().trimmed(), "held");
  {
    NamedOperationLock lock("NamedOperationLockTest::Process");
    EXPECT_TRUE(std::filesystem::exists(marker)) << "taken while the other process held it";
  }
  holder.waitForFinished(10000);
  EXPECT_EQ(holder.exitCode(), 0);
}

}  // namespace
}  // namespace keyloom
