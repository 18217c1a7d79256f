#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "app/SingleInstance.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

constexpr const char* kName = "keyloom-test-instance";

class SingleInstanceTest : public testing::Test {
 protected:
  SingleInstanceTest() {
    std::filesystem::permissions(runtime_.path(), std::filesystem::perms::owner_all);
    previous_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime_.path().string()));
  }
  ~SingleInstanceTest() override { qputenv("XDG_RUNTIME_DIR", previous_); }

  static void Mark(QWidget& w) { w.setProperty(kName, 1); }

  test::TempDir runtime_;
  QByteArray previous_;
};

TEST_F(SingleInstanceTest, SecondAcquireFailsWhileTheFirstHoldsTheLock) {
  SingleInstance first(kName);
  ASSERT_TRUE(first.Acquire());
  SingleInstance second(kName);
  EXPECT_FALSE(second.Acquire());
}

TEST_F(SingleInstanceTest, LockIsFreeAgainOnceTheHolderIsGone) {
  { SingleInstance first(kName); ASSERT_TRUE(first.Acquire()); }
  SingleInstance again(kName);
  EXPECT_TRUE(again.Acquire());
}

TEST_F(SingleInstanceTest, WithoutAMarkedWindowNothingIsRaised) {
  QWidget unmarked;
  unmarked.hide();
  EXPECT_EQ(SingleInstance::RaiseMarkedWindows(kName), "none");
  EXPECT_FALSE(unmarked.isVisible());
}

TEST_F(SingleInstanceTest, EveryMarkedWindowIsRaisedHiddenOnesShownMinimisedOnesRestored) {
  QWidget hidden, minimised, visible;
  Mark(hidden);
  Mark(minimised);
  Mark(visible);
  minimised.showMinimized();
  visible.show();
  const QString answer = SingleInstance::RaiseMarkedWindows(kName);
  EXPECT_EQ(answer.split(' ').size(), 3);
  EXPECT_TRUE(answer.contains("show"));
  EXPECT_TRUE(answer.contains("restore"));
  EXPECT_TRUE(answer.contains("front"));
  EXPECT_TRUE(hidden.isVisible());
  EXPECT_FALSE(minimised.isMinimized());
}

TEST_F(SingleInstanceTest, RaiseRequestOverTheSocketIsAnswered) {
  SingleInstance first(kName);
  ASSERT_TRUE(first.Acquire());
  QWidget window;
  Mark(window);
  // The server answers from this thread's event loop, so ask from another.
  QString answer;
  std::atomic<bool> done{false};
  std::thread asker([&] {
    answer = SingleInstance::AskRunningInstanceToRaise(kName, 5000);
    done = true;
  });
  QDeadlineTimer deadline(10000);
  while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  asker.join();
  EXPECT_EQ(answer, "show");
}

TEST_F(SingleInstanceTest, AskingWithNobodyListeningGivesUpAtTheDeadline) {
  EXPECT_EQ(SingleInstance::AskRunningInstanceToRaise(kName, 200), "");
}

}  // namespace
}  // namespace keyloom
