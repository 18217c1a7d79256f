#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/BackgroundFileWriter.h"
#include "config/SaveFailureLog.h"

namespace keyloom {
namespace {

using namespace std::chrono_literals;

// A target that records what it wrote and can be held at its first write,
// as a slow disk would hold a save.
class HeldWriter : public platform::IAtomicFileWriter {
 public:
  bool Write(const std::string& path, std::string_view bytes) override {
    std::unique_lock lock(mutex);
    entered = true;
    changed.notify_all();
    changed.wait(lock, [this] { return !hold; });
    written.push_back(path + "=" + std::string(bytes));
    if (fail) platform::SetLastFileStatus(platform::FileStatus::FromErrno(ENOSPC));
    return !fail;
  }
  void WaitEntered() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return entered; });
  }
  void Release() {
    const std::lock_guard lock(mutex);
    hold = false;
    changed.notify_all();
  }
  std::vector<std::string> Written() {
    const std::lock_guard lock(mutex);
    return written;
  }
  std::mutex mutex;
  std::condition_variable changed;
  bool hold = true;
  bool entered = false;
  bool fail = false;
  std::vector<std::string> written;
};

TEST(BackgroundFileWriter, TheCallerNeverWaitsAndTheLatestContentOfAWaitingFileWins) {
  auto target = std::make_unique<HeldWriter>();
  HeldWriter& held = *target;
  BackgroundFileWriter writer(std::move(target));
  const auto start = std::chrono::steady_clock::now();
  writer.Write("a.xml", "1");  // taken at once, then held on the "disk"
  held.WaitEntered();
  writer.Write("b.xml", "1");
  writer.Write("a.xml", "2");
  writer.Write("a.xml", "3");  // replaces "2", still waiting
  writer.Write("b.xml", "2");  // replaces b's waiting "1"
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_FALSE(writer.Flush(50ms));
  held.Release();
  ASSERT_TRUE(writer.Flush(5s));
  EXPECT_EQ(held.Written(), (std::vector<std::string>{"a.xml=1", "b.xml=2", "a.xml=3"}));
  EXPECT_EQ(writer.Replaced(), 2u);
}

// Writes into a list that outlives it.
class ListWriter : public platform::IAtomicFileWriter {
 public:
  explicit ListWriter(std::vector<std::string>& list) : list_(list) {}
  bool Write(const std::string& path, std::string_view bytes) override {
    std::this_thread::sleep_for(20ms);  // a slow disk
    list_.push_back(path + "=" + std::string(bytes));
    return true;
  }

 private:
  std::vector<std::string>& list_;
};

TEST(BackgroundFileWriter, GoingAwayFinishesEveryWaitingWrite) {
  std::vector<std::string> written;
  {
    BackgroundFileWriter writer(std::make_unique<ListWriter>(written));
    writer.Write("a.xml", "1");
    writer.Write("b.xml", "1");
    writer.Write("c.xml", "1");
  }
  EXPECT_EQ(written, (std::vector<std::string>{"a.xml=1", "b.xml=1", "c.xml=1"}));
}

TEST(BackgroundFileWriter, AFailedWriteDoesNotStopTheOthers) {
  auto target = std::make_unique<HeldWriter>();
  HeldWriter& held = *target;
  held.hold = false;
  held.fail = true;
  BackgroundFileWriter writer(std::move(target));
  writer.Write("a.xml", "1");
  writer.Write("b.xml", "1");
  ASSERT_TRUE(writer.Flush(5s));
  EXPECT_EQ(held.Written().size(), 2u);
}

// The lighting files' failures happen on the writer's thread; they reach
// the log (and through it the window) with their reason, once per file.
TEST(BackgroundFileWriter, AFailedWriteIsReportedOncePerFileWithItsReason) {
  SaveFailureLog log;
  const ScopedSaveFailureLog scope(log);
  auto target = std::make_unique<HeldWriter>();
  target->hold = false;
  target->fail = true;
  BackgroundFileWriter writer(std::move(target));
  writer.Write("a.xml", "1");
  ASSERT_TRUE(writer.Flush(5s));
  writer.Write("a.xml", "2");
  ASSERT_TRUE(writer.Flush(5s));
  ASSERT_EQ(log.Reported().size(), 1u);
  EXPECT_EQ(log.Reported()[0].path, "a.xml");
  EXPECT_EQ(log.Reported()[0].status.fault, platform::FileFault::DiskFull);
}

}  // namespace
}  // namespace keyloom
