// The control pipe against what an unlucky or hostile user may put at its
// path or write into it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/virtual/ControlLineBuffer.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "platform/virtual/VirtualKeyboardControl.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

using namespace std::chrono_literals;

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "hid_platform_tests";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

std::chrono::nanoseconds CpuTimeOfThisThread() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Runs the event loop for `duration` and returns the processor time this
// thread spent meanwhile; a notifier that fires for ever shows up here.
std::chrono::nanoseconds CpuTimeOfEventLoop(std::chrono::milliseconds duration) {
  const auto before = CpuTimeOfThisThread();
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec();
  return CpuTimeOfThisThread() - before;
}

bool RunEventLoopUntil(const std::function<bool()>& done) {
  QTimer tick;  // wakes the loop to look again
  tick.start(20);
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10000) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

int LineCount(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

// Writes into the pipe from a thread of its own (a full pipe blocks the
// writer until the control reads).
class PipeWriter {
 public:
  PipeWriter(const std::string& path, std::function<void(int fd)> write)
      : thread_([path, write = std::move(write)] {
          const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
          if (fd < 0) return;
          write(fd);
          close(fd);
        }) {}
  ~PipeWriter() { thread_.join(); }

 private:
  std::thread thread_;
};

void WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) return;
    done += static_cast<size_t>(wrote);
  }
}

struct RefusedPath {
  const char* name;
  // Puts something in `folder` and returns its path; empty when that
  // cannot be done here.
  std::function<std::string(const test::TempDir& folder)> make;
};
std::ostream& operator<<(std::ostream& out, const RefusedPath& c) { return out << c.name; }

class VirtualKeyboardControlRefuses : public ::testing::TestWithParam<RefusedPath> {};

TEST_P(VirtualKeyboardControlRefuses, AnythingButTheUsersOwnPrivatePipe_WithOneLineAndWithoutSpinning) {
  EnsureApplication();
  test::TempDir dir;
  const std::string path = GetParam().make(dir);
  if (path.empty()) GTEST_SKIP() << "cannot be set up here";
  struct stat before {};
  lstat(path.c_str(), &before);

  VirtualKeyboard keyboard;
  ::testing::internal::CaptureStderr();
  {
    VirtualKeyboardControl control(keyboard, path);
    // Checked before the event loop runs: a control that did take /dev/zero
    // would read it until memory runs out.
    ASSERT_FALSE(control.Listening());
    EXPECT_LT(CpuTimeOfEventLoop(300ms), 150ms);
  }
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LineCount(errors), 1) << errors;
  EXPECT_NE(errors.find(path), std::string::npos) << errors;
  EXPECT_TRUE(keyboard.Plugged()) << "a command was taken from it";
  struct stat after {};
  lstat(path.c_str(), &after);
  EXPECT_EQ(after.st_mode, before.st_mode) << "what is at the path was changed";
  EXPECT_EQ(after.st_size, before.st_size);
}

std::string MakeFifo(const std::string& path, mode_t mode) {
  return mkfifo(path.c_str(), 0600) == 0 && chmod(path.c_str(), mode) == 0 ? path : "";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, VirtualKeyboardControlRefuses,
    ::testing::Values(
        RefusedPath{"RegularFile", [](const test::TempDir& dir) { return dir.Write("control", "unplug\n"); }},
        RefusedPath{"DeviceThatNeverEnds", [](const test::TempDir&) { return std::string("/dev/zero"); }},
        RefusedPath{"PipeEveryoneMayWriteTo",
                    [](const test::TempDir& dir) { return MakeFifo(dir.File("control"), 0666); }},
        RefusedPath{"PipeTheGroupMayRead",
                    [](const test::TempDir& dir) { return MakeFifo(dir.File("control"), 0640); }},
        RefusedPath{"PipeOfAnotherUser",
                    [](const test::TempDir& dir) {
                      // Only the superuser can give a pipe away.
                      const passwd* nobody = getpwnam("nobody");
                      const std::string path = dir.File("control");
                      const bool made = geteuid() == 0 && nobody && !MakeFifo(path, 0600).empty() &&
                                        chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
                      return made ? path : "";
                    }},
        RefusedPath{"LinkToAPrivatePipe",
                    [](const test::TempDir& dir) {
                      const std::string path = dir.File("control");
                      const std::string target = MakeFifo(dir.File("real"), 0600);
                      return !target.empty() && symlink(target.c_str(), path.c_str()) == 0 ? path : "";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VirtualKeyboardControlPipe, IsMadePrivateWhenMissing) {
  EnsureApplication();
  test::TempDir dir;
  const std::string path = dir.File("control");
  const mode_t old = umask(0);  // even a permissive umask gives nobody else access
  VirtualKeyboard keyboard;
  VirtualKeyboardControl control(keyboard, path);
  umask(old);
  ASSERT_TRUE(control.Listening());
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_uid, geteuid());
}

TEST(VirtualKeyboardControlPipe, OverlongLine_IsDroppedWithOneShortLineAndTheNextCommandStillWorks) {
  EnsureApplication();
  test::TempDir dir;
  const std::string path = dir.File("control");
  VirtualKeyboard keyboard;
  VirtualKeyboardControl control(keyboard, path);
  ASSERT_TRUE(control.Listening());
  ::testing::internal::CaptureStderr();
  {
    PipeWriter writer(path, [](int fd) { WriteAll(fd, "tap " + std::string(200000, 'A') + "\nunplug\n"); });
    EXPECT_TRUE(RunEventLoopUntil([&] { return !keyboard.Plugged(); }));
  }
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LineCount(errors), 1) << errors.substr(0, 300);
  EXPECT_LT(errors.size(), 200u);
  EXPECT_NE(errors.find("tap AAAA"), std::string::npos) << errors.substr(0, 300);
}

// The process's peak resident memory so far, in kilobytes.
long PeakMemoryKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

// `cat /dev/zero > pipe`: 128 MB without a newline, then a command.
TEST(VirtualKeyboardControlPipe, EndlessInput_StaysSmallKeepsTheEventLoopTurningAndIsReportedOnce) {
  EnsureApplication();
  test::TempDir dir;
  const std::string path = dir.File("control");
  VirtualKeyboard keyboard;
  VirtualKeyboardControl control(keyboard, path);
  ASSERT_TRUE(control.Listening());
  std::atomic<bool> streaming{true};
  int ticksWhileStreaming = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ticksWhileStreaming += streaming ? 1 : 0; });
  ticker.start(20);
  const long peakBefore = PeakMemoryKb();
  ::testing::internal::CaptureStderr();
  {
    PipeWriter writer(path, [&streaming](int fd) {
      const std::string zeros(65536, '\0');
      for (int i = 0; i < 2048; ++i) WriteAll(fd, zeros);
      streaming = false;
      WriteAll(fd, "\nunplug\n");
    });
    EXPECT_TRUE(RunEventLoopUntil([&] { return !keyboard.Plugged(); }));
  }
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LineCount(errors), 1) << errors.substr(0, 300);
  EXPECT_LT(errors.size(), 200u);
  EXPECT_LT(PeakMemoryKb() - peakBefore, 32 * 1024) << "the input was held in memory";
  EXPECT_GE(ticksWhileStreaming, 1) << "the reading held the event loop";
}

// The line splitting on its own: what reaches the commands, and how much is
// held back at most.
struct SplitCase {
  const char* name;
  std::vector<std::string> pieces;  // as read from the pipe
  std::vector<std::string> lines;
  int overlong;
};
std::ostream& operator<<(std::ostream& out, const SplitCase& c) { return out << c.name; }

class ControlLineBufferSplits : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ControlLineBufferSplits, IntoLinesWithinTheLimit) {
  ControlLineBuffer buffer;
  std::vector<std::string> lines;
  int overlong = 0;
  for (const std::string& piece : GetParam().pieces) {
    buffer.Feed(
        piece, [&](std::string_view line) { lines.emplace_back(line); },
        [&](std::string_view head) {
          ++overlong;
          EXPECT_LE(head.size(), ControlLineBuffer::kReportedHeadBytes);
        });
    EXPECT_LE(buffer.Buffered(), ControlLineBuffer::kMaxLineBytes);
  }
  EXPECT_EQ(lines, GetParam().lines);
  EXPECT_EQ(overlong, GetParam().overlong);
}

const std::string kLongest(ControlLineBuffer::kMaxLineBytes, 'x');

INSTANTIATE_TEST_SUITE_P(
    Pieces, ControlLineBufferSplits,
    ::testing::Values(
        SplitCase{"SeveralLinesInOneRead", {"plug\nunplug\n\n"}, {"plug", "unplug", ""}, 0},
        SplitCase{"LineAcrossReads", {"fir", "mware 1", ".0\nta"}, {"firmware 1.0"}, 0},
        SplitCase{"LineOfTheLimit", {kLongest + "\n"}, {kLongest}, 0},
        SplitCase{"LineOneByteOver", {kLongest + "y\nplug\n"}, {"plug"}, 1},
        SplitCase{"OverlongAcrossManyReads",
                  {kLongest, kLongest, kLongest, "\nplug\n"},
                  {"plug"},
                  1},
        SplitCase{"EndlessWithoutNewline", std::vector<std::string>(64, std::string(4096, '\0')), {}, 1},
        SplitCase{"TwoOverlongLines", {kLongest + "a\n" + kLongest + "b\nplug\n"}, {"plug"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlLineBuffer, ShowsControlCharactersAsQuestionMarks) {
  EXPECT_EQ(PrintableText(std::string("a\x1b[2Jb\0c\x7f\xe2\x80\x98", 12)), "a?[2Jb?c?\xe2\x80\x98");
}

}  // namespace
}  // namespace keyloom::platform
