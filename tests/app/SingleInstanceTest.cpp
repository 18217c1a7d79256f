#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/SingleInstance.h"
#include "platform/InstanceLock.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;
using Outcome = SingleInstance::Outcome;

constexpr const char* kName = "keyloom-test-instance";
constexpr uid_t kOtherUser = 65534;

class SingleInstanceTest : public testing::Test {
 protected:
  SingleInstanceTest() { fs::permissions(runtime_.path(), fs::perms::owner_all); }

  QString Folder() const { return QString::fromStdString(runtime_.path().string()); }
  static void Mark(QWidget& w) { w.setProperty(kName, 1); }

  // Runs `ask` on another thread while this one's event loop serves.
  static QString AskWhileServing(const std::function<QString()>& ask) {
    QString answer;
    std::atomic<bool> done{false};
    std::thread asker([&] {
      answer = ask();
      done = true;
    });
    QDeadlineTimer deadline(10000);
    while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asker.join();
    return answer;
  }

  test::TempDir runtime_;
};

TEST_F(SingleInstanceTest, SecondAcquireFindsTheFirstRunning) {
  SingleInstance first(kName, Folder());
  ASSERT_EQ(first.Acquire(), Outcome::Acquired);
  SingleInstance second(kName, Folder());
  EXPECT_EQ(second.Acquire(), Outcome::AlreadyRunning);
}

TEST_F(SingleInstanceTest, LockIsFreeAgainOnceTheHolderIsGone) {
  {
    SingleInstance first(kName, Folder());
    ASSERT_EQ(first.Acquire(), Outcome::Acquired);
  }
  SingleInstance again(kName, Folder());
  EXPECT_EQ(again.Acquire(), Outcome::Acquired);
}

// Something in the way of the lock or the socket is a failure to start,
// reported in one line naming the path, never "already running"; and a
// failed start holds no lock.
struct BlockedEntry {
  const char* name;
  const char* suffix;    // of the entry a folder is planted at
  const char* reported;  // part of the error line
};
std::ostream& operator<<(std::ostream& os, const BlockedEntry& c) { return os << c.name; }

class BlockedInstance : public SingleInstanceTest, public testing::WithParamInterface<BlockedEntry> {};

TEST_P(BlockedInstance, FailsInOneLineAndHoldsNothing) {
  SingleInstance probe(kName, Folder());
  const QString blocked = QString(GetParam().suffix) == ".lock" ? probe.LockPath() : probe.SocketPath();
  fs::create_directory(QFile::encodeName(blocked).toStdString());
  {
    SingleInstance instance(kName, Folder());
    EXPECT_EQ(instance.Acquire(), Outcome::Failed);
    EXPECT_TRUE(instance.Error().contains(GetParam().reported)) << instance.Error().toStdString();
    EXPECT_TRUE(instance.Error().contains(blocked)) << instance.Error().toStdString();
    EXPECT_FALSE(instance.Error().contains('\n'));
    if (QString(GetParam().suffix) == ".socket") {
      EXPECT_EQ(platform::TryLockInstance(QFile::encodeName(probe.LockPath()).toStdString()).status,
                platform::InstanceLockResult::Status::Acquired);
    }
  }
  EXPECT_TRUE(fs::is_directory(QFile::encodeName(blocked).toStdString()));
}

INSTANTIATE_TEST_SUITE_P(Table, BlockedInstance, testing::Values(
    BlockedEntry{"FolderAtTheLock", ".lock", "instance lock"},
    BlockedEntry{"FolderAtTheSocket", ".socket", "cannot listen"}),
    [](const testing::TestParamInfo<BlockedEntry>& info) { return std::string(info.param.name); });

// Whatever the instance name, its entries stay in the runtime folder, fit a
// socket address, and a second start reaches the first.
class InstanceName : public SingleInstanceTest, public testing::WithParamInterface<const char*> {};

TEST_P(InstanceName, EntriesStayInTheFolderAndTheSocketIsReached) {
  const QString name = QString::fromUtf8(GetParam());
  SingleInstance first(name, Folder());
  ASSERT_EQ(first.Acquire(), Outcome::Acquired) << first.Error().toStdString();
  EXPECT_EQ(QFileInfo(first.SocketPath()).absolutePath(), Folder());
  EXPECT_EQ(QFileInfo(first.LockPath()).absolutePath(), Folder());
  EXPECT_LE(QFile::encodeName(first.SocketPath()).size(), 107);
  const QString socket = first.SocketPath();
  EXPECT_EQ(AskWhileServing([&socket] { return SingleInstance::AskRunningInstanceToRaise(socket, 5000); }), "none");
}

INSTANTIATE_TEST_SUITE_P(Table, InstanceName, testing::Values(
    "keyloom.desktop-configurator.instance",
    "a/../../b",
    "..",
    ".hidden",
    "with blank",
    "\xe9\x94\xae\xe7\x9b\x98",  // non-ASCII
    "a-very-long-instance-name-that-goes-on-and-on-well-past-what-any-socket-address-could-ever-hold-"
    "in-a-runtime-folder-of-any-reasonable-length-whatever-the-folder"));

TEST(SingleInstanceNames, ReadableNamesStayReadableAndDistinctNamesStayDistinct) {
  EXPECT_EQ(SingleInstance::EntryStem("keyloom.desktop-configurator.instance"), "keyloom.desktop-configurator.instance");
  const QString longA = QString(200, 'a');
  const QString longB = QString(199, 'a') + 'b';
  EXPECT_NE(SingleInstance::EntryStem(longA), SingleInstance::EntryStem(longB));
  EXPECT_NE(SingleInstance::EntryStem("a/b"), SingleInstance::EntryStem("a_b"));
}

TEST_F(SingleInstanceTest, WithoutAMarkedWindowNothingIsRaised) {
  SingleInstance instance(kName, Folder());
  QWidget unmarked;
  unmarked.hide();
  EXPECT_EQ(instance.RaiseMarkedWindows(), "none");
  EXPECT_FALSE(unmarked.isVisible());
}

TEST_F(SingleInstanceTest, EveryMarkedWindowIsRaisedHiddenOnesShownMinimisedOnesRestored) {
  SingleInstance instance(kName, Folder());
  QWidget hidden, minimised, visible;
  Mark(hidden);
  Mark(minimised);
  Mark(visible);
  minimised.showMinimized();
  visible.show();
  const QString answer = instance.RaiseMarkedWindows();
  EXPECT_EQ(answer.split(' ').size(), 3);
  EXPECT_TRUE(answer.contains("show"));
  EXPECT_TRUE(answer.contains("restore"));
  EXPECT_TRUE(answer.contains("front"));
  EXPECT_TRUE(hidden.isVisible());
  EXPECT_FALSE(minimised.isMinimized());
}

// Windows are raised in the order the user last activated them, so the one
// used last ends on top again: a hidden window never activated goes first.
struct StackCase {
  std::vector<int> activations;  // indices of the three shown windows
  std::vector<int> bottomToTop;
};
std::ostream& operator<<(std::ostream& os, const StackCase& c) {
  for (int i : c.activations) os << i;
  return os;
}

class StackingOrder : public SingleInstanceTest, public testing::WithParamInterface<StackCase> {};

TEST_P(StackingOrder, MarkedWindowsAreRaisedFromTheBottomOfTheStackToItsTop) {
  SingleInstance instance(kName, Folder());
  std::vector<std::unique_ptr<QWidget>> shown;
  for (int i = 0; i < 3; ++i) {
    shown.push_back(std::make_unique<QWidget>());
    Mark(*shown.back());
    shown.back()->show();
  }
  QWidget hidden;
  Mark(hidden);
  for (int i : GetParam().activations) {
    shown[i]->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown[i].get()));
  }
  QList<QWidget*> expected{&hidden};
  for (int i : GetParam().bottomToTop) expected << shown[i].get();
  EXPECT_EQ(instance.MarkedWindowsBottomToTop(), expected);

  // Something else on top of them, as when another program is in front.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_EQ(instance.RaiseMarkedWindows(), "show front front front");
  QWidget* top = shown[GetParam().bottomToTop.back()].get();
  EXPECT_TRUE(QTest::qWaitFor([top] { return QApplication::activeWindow() == top; }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Table, StackingOrder, testing::Values(
    StackCase{{0, 1, 2}, {0, 1, 2}},
    StackCase{{2, 1, 0}, {2, 1, 0}},
    StackCase{{1, 0, 2, 1}, {0, 2, 1}}));

TEST_F(SingleInstanceTest, RaiseRequestOverTheSocketIsAnswered) {
  SingleInstance first(kName, Folder());
  ASSERT_EQ(first.Acquire(), Outcome::Acquired);
  QWidget window;
  Mark(window);
  const QString socket = first.SocketPath();
  EXPECT_EQ(AskWhileServing([&socket] { return SingleInstance::AskRunningInstanceToRaise(socket, 5000); }), "show");
  EXPECT_TRUE(window.isVisible());
}

TEST_F(SingleInstanceTest, AskingWithNobodyListeningGivesUpAtTheDeadline) {
  SingleInstance nobody(kName, Folder());
  EXPECT_EQ(SingleInstance::AskRunningInstanceToRaise(nobody.SocketPath(), 200), "");
}

// A local socket at `path` that answers one connection with `answer`.
int ListenAt(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void AnswerOnce(int listening, const std::string& answer) {
  const int peer = accept(listening, nullptr, nullptr);
  if (peer < 0) return;
  char request[64];
  [[maybe_unused]] ssize_t got = read(peer, request, sizeof request);
  [[maybe_unused]] ssize_t sent = send(peer, answer.data(), answer.size(), MSG_NOSIGNAL);
  close(peer);
}

// What a client reports is made of its own words: anything else a socket
// says, escape sequences above all, never reaches the user's terminal.
struct AnswerCase {
  const char* name;
  std::string sent;
  const char* reported;
};
std::ostream& operator<<(std::ostream& os, const AnswerCase& c) { return os << c.name; }

class PeerAnswer : public SingleInstanceTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(PeerAnswer, IsReportedOnlyInTheClientsOwnWords) {
  const std::string path = (runtime_.path() / "peer.socket").string();
  const int listening = ListenAt(path);
  ASSERT_GE(listening, 0);
  std::thread server([&] { AnswerOnce(listening, GetParam().sent); });
  const QString reported = SingleInstance::AskRunningInstanceToRaise(QString::fromStdString(path), 5000);
  server.join();
  close(listening);
  EXPECT_EQ(reported, GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Table, PeerAnswer, testing::Values(
    AnswerCase{"OneWindow", "show\n", "show"},
    AnswerCase{"SeveralWindows", "restore front\n", "restore front"},
    AnswerCase{"TitleEscape", "\x1b]0;owned\x07\n", ""},
    AnswerCase{"KnownWordThenEscape", "show \x1b[2J\n", ""},
    AnswerCase{"Unknown", "unknown\n", ""},
    AnswerCase{"EmptyLine", "\n", ""},
    AnswerCase{"NoLineAtAll", "show", ""},
    AnswerCase{"Endless", std::string(64 * 1024, 'f'), ""}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

// Runs `body` in a child process that acts as another user: its effective
// user (what the socket's peer credentials report) is another, while its
// file access stays root's, so it can reach sockets a real stranger could
// only reach in a badly chosen folder. Returns the child's id.
pid_t AsAnotherUser(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (seteuid(kOtherUser) != 0) _exit(90);
    setfsuid(0);
    _exit(body());
  }
  return child;
}

// The child's exit code, serving this thread's events meanwhile.
int WaitServing(pid_t child) {
  int status = 0;
  QDeadlineTimer deadline(10000);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (deadline.hasExpired()) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SingleInstanceTest, ARequestFromAnotherUserGetsNoAnswerAndRaisesNothing) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  SingleInstance first(kName, Folder());
  ASSERT_EQ(first.Acquire(), Outcome::Acquired);
  QWidget window;
  Mark(window);
  const std::string path = QFile::encodeName(first.SocketPath()).toStdString();
  // Exit code: how many bytes of answer came (0 expected), or 91 when it
  // could not connect at all.
  const pid_t child = AsAnotherUser([&path] {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return 91;
    [[maybe_unused]] ssize_t sent = send(fd, "raise\n", 6, MSG_NOSIGNAL);
    char answer[64];
    int total = 0;
    for (ssize_t got; (got = read(fd, answer, sizeof answer)) > 0;) total += static_cast<int>(got);
    return std::min(total, 80);
  });
  EXPECT_EQ(WaitServing(child), 0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(SingleInstanceTest, AServerOfAnotherUserIsNotTalkedTo) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const std::string path = (runtime_.path() / "planted.socket").string();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  // Exit code: 0 when no request came, 1 when one did.
  const pid_t child = AsAnotherUser([&path, &ready] {
    const int listening = ListenAt(path);
    [[maybe_unused]] ssize_t n = write(ready[1], "x", 1);
    if (listening < 0) return 92;
    const int peer = accept(listening, nullptr, nullptr);
    [[maybe_unused]] ssize_t sent = send(peer, "show\n", 5, MSG_NOSIGNAL);
    char request[64];
    return read(peer, request, sizeof request) > 0 ? 1 : 0;
  });
  char byte;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ(SingleInstance::AskRunningInstanceToRaise(QString::fromStdString(path), 5000), "");
  EXPECT_EQ(WaitServing(child), 0);
}

}  // namespace
}  // namespace keyloom
