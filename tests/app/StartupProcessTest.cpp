#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 15000;

// Runs the built program from a copy of its program folder (portable: it
// holds a config.xml), with a private runtime folder so its lock and socket
// stay apart from any other keyloom, and a private home that must stay
// untouched.
class StartupProcess : public testing::Test {
 protected:
  StartupProcess() {
    program_ = folder_.path() / "program";
    runtime_ = folder_.path() / "runtime";
    elsewhere_ = folder_.path() / "elsewhere";
    home_ = folder_.path() / "home";
    fs::create_directories(program_);
    fs::create_directories(runtime_);
    fs::create_directories(elsewhere_);
    fs::create_directories(home_);
    fs::permissions(runtime_, fs::perms::owner_all);
    const fs::path built = KEYLOOM_PROGRAM_DIR;
    fs::copy_file(built / "keyloom", program_ / "keyloom");
    fs::copy(built / "uires", program_ / "uires", fs::copy_options::recursive);
    fs::copy_file(fs::path(KEYLOOM_SOURCE_DIR) / "config.xml", program_ / "config.xml");
  }

  ~StartupProcess() override {
    for (QProcess* p : processes_) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
      delete p;
    }
  }

  QProcess* Start(const QStringList& args) {
    auto* p = new QProcess;
    processes_.push_back(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString(home_.string()));
    env.remove("XDG_CONFIG_HOME");
    if (!reportShown_.empty()) env.insert("KEYLOOM_REPORT_SHOWN", QString::fromStdString(reportShown_.string()));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(QString::fromStdString(elsewhere_.string()));
    p->start(QString::fromStdString((program_ / "keyloom").string()), args);
    p->waitForStarted(kStartTimeoutMs);
    return p;
  }

  // Starts a first instance and waits until it listens for a second start.
  QProcess* StartFirst(const QStringList& args) {
    QProcess* p = Start(args);
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!IsListening() && !deadline.hasExpired() && p->state() == QProcess::Running) QThread::msleep(20);
    EXPECT_TRUE(IsListening()) << p->readAllStandardError().toStdString();
    return p;
  }

  // True once an instance accepts connections. A socket file alone is not
  // enough: a killed instance leaves its file behind.
  bool IsListening() const {
    for (const auto& entry : fs::directory_iterator(runtime_)) {
      if (entry.path().extension() != ".socket") continue;
      QLocalSocket socket;
      socket.connectToServer(QString::fromStdString(entry.path().string()));
      if (socket.waitForConnected(200)) return true;
    }
    return false;
  }

  // A second start: returns what it printed; it must end by itself with 0.
  std::string SecondStart() {
    QProcess* second = Start({});
    EXPECT_TRUE(second->waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    return second->readAllStandardOutput().trimmed().toStdString();
  }

  static int Terminate(QProcess* p) {
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    EXPECT_TRUE(p->waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    return p->exitCode();
  }

  test::TempDir folder_;
  fs::path program_, runtime_, elsewhere_, home_, reportShown_;
  std::vector<QProcess*> processes_;
};

TEST_F(StartupProcess, WorkingDirectoryBecomesTheProgramFolderWhereverItStarts) {
  QProcess* p = StartFirst({});
  const fs::path cwd = fs::read_symlink("/proc/" + std::to_string(p->processId()) + "/cwd");
  EXPECT_EQ(cwd, fs::canonical(program_));
  EXPECT_EQ(Terminate(p), 0);
}

struct ShowCase {
  QStringList args;
  const char* expected;  // what the second start reports was done to the window
};
std::ostream& operator<<(std::ostream& os, const ShowCase& c) {
  return os << '[' << c.args.join("|").toStdString() << ']';
}

class ShowMode : public StartupProcess, public testing::WithParamInterface<ShowCase> {};

TEST_P(ShowMode, HiddenOnlyForExactlyDashHidAndASecondStartRaisesTheFirst) {
  QProcess* first = StartFirst(GetParam().args);
  EXPECT_EQ(SecondStart(), std::string("keyloom is already running (") + GetParam().expected + ")");
  EXPECT_EQ(first->state(), QProcess::Running);
  // Raised once, the window is visible: a third start only brings it forward.
  EXPECT_EQ(SecondStart(), "keyloom is already running (front)");
  EXPECT_EQ(Terminate(first), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ShowMode, testing::Values(
    ShowCase{{"-hid"}, "show"},
    ShowCase{{"-HID"}, "front"},
    ShowCase{{"-hid "}, "front"},
    ShowCase{{"-hid", "x"}, "front"},
    ShowCase{{"hid"}, "front"},
    ShowCase{{}, "front"}));

TEST_F(StartupProcess, StartsWithNoDataFilesAndWritesOnlyTheLightingDefaults) {
  QProcess* p = StartFirst({});
  EXPECT_EQ(SecondStart(), "keyloom is already running (front)");
  EXPECT_EQ(Terminate(p), 0);
  EXPECT_TRUE(fs::exists(program_ / "ledeffect.xml"));
  EXPECT_TRUE(fs::exists(program_ / "sidemodel.xml"));
  EXPECT_FALSE(fs::exists(program_ / "macro.xml"));
  EXPECT_FALSE(fs::exists(program_ / "record.xml"));
  // config.xml is only read, and a portable keyloom leaves the home alone.
  std::ifstream written(program_ / "config.xml"), sample(fs::path(KEYLOOM_SOURCE_DIR) / "config.xml");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
            std::string(std::istreambuf_iterator<char>(sample), {}));
  EXPECT_FALSE(fs::exists(home_ / ".config"));
}

TEST_F(StartupProcess, AKilledInstanceDoesNotBlockTheNextStart) {
  QProcess* crashed = StartFirst({});
  crashed->kill();
  crashed->waitForFinished(kStartTimeoutMs);
  QProcess* next = StartFirst({"-hid"});
  EXPECT_EQ(SecondStart(), "keyloom is already running (show)");
  EXPECT_EQ(Terminate(next), 0);
}

// KEYLOOM_REPORT_SHOWN: one line when the main window is first drawn, which
// for a hidden start is when a second start shows it.
TEST_F(StartupProcess, ReportsTheFirstShownFrameOnlyOnceTheWindowIsShown) {
  reportShown_ = folder_.path() / "shown";
  auto waitForReport = [this](int ms) {
    QDeadlineTimer deadline(ms);
    while (!fs::exists(reportShown_) && !deadline.hasExpired()) QThread::msleep(10);
    QThread::msleep(50);  // the line is written at once after the file appears
    std::ifstream in(reportShown_);
    std::string line;
    std::getline(in, line);
    return line;
  };
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const double startedMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;

  QProcess* p = StartFirst({"-hid"});
  EXPECT_EQ(waitForReport(300), "");
  EXPECT_EQ(SecondStart(), "keyloom is already running (show)");
  const std::string line = waitForReport(kStartTimeoutMs);
  double at = -1;
  char word[16] = {};
  ASSERT_EQ(std::sscanf(line.c_str(), "%15s %lf", word, &at), 2) << line;
  EXPECT_STREQ(word, "shown");
  clock_gettime(CLOCK_MONOTONIC, &now);
  const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
  EXPECT_GT(at, startedMs);
  EXPECT_LT(at, nowMs);
  EXPECT_EQ(Terminate(p), 0);
}

}  // namespace
}  // namespace keyloom
