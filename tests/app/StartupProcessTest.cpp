#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "support/ProgramCopy.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 15000;

std::string ReadWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Entries of `folder` whose names start with `prefix`.
std::vector<std::string> EntriesStartingWith(const fs::path& folder, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0) found.push_back(name);
  }
  return found;
}

// How many lines of `text` keyloom wrote itself (Qt adds its own warnings).
int KeyloomLines(const std::string& text) {
  std::istringstream in(text);
  int count = 0;
  for (std::string line; std::getline(in, line);) count += line.rfind("keyloom:", 0) == 0;
  return count;
}

// The lock's and the socket's names for the shipped instance name.
constexpr const char* kInstanceStem = "keyloom.desktop-configurator.instance";

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
    test::CopyProgramFolder(program_);
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

  QProcess* Start(const QStringList& args, const fs::path& program = {}) {
    auto* p = new QProcess;
    processes_.push_back(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString(home_.string()));
    env.remove("XDG_CONFIG_HOME");
    for (const auto& [name, value] : env_) {
      if (value.isNull()) env.remove(name);
      else env.insert(name, value);
    }
    if (!reportShown_.empty()) env.insert("KEYLOOM_REPORT_SHOWN", QString::fromStdString(reportShown_.string()));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(QString::fromStdString(elsewhere_.string()));
    p->start(QString::fromStdString(((program.empty() ? program_ : program) / "keyloom").string()), args);
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

  // True once an instance answers on its socket. A socket file alone is not
  // enough (a killed instance leaves its file behind), and neither is a
  // socket that accepts: it listens from the instance step on, but answers
  // only once start-up is over and the event loop runs.
  bool IsListening() const {
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(listenFolder_.empty() ? runtime_ : listenFolder_, missing)) {
      if (entry.path().extension() != ".socket") continue;
      QLocalSocket socket;
      socket.connectToServer(QString::fromStdString(entry.path().string()));
      if (!socket.waitForConnected(200)) continue;
      socket.write("ping\n");  // no such request: answered "unknown", and nothing is done
      socket.flush();
      while (!socket.canReadLine() && socket.waitForReadyRead(200)) {
      }
      if (socket.canReadLine()) return true;
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

  // Follows start-up's steps (KEYLOOM_TEST_STEPS) of the processes started
  // from now on; those written so far.
  void FollowSteps() { env_["KEYLOOM_TEST_STEPS"] = QString::fromStdString(steps_.string()); }
  std::vector<std::string> Steps() const {
    std::vector<std::string> lines;
    std::ifstream in(steps_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Ends by itself with a failure; returns what it printed on standard error.
  static std::string FailedStart(QProcess* p) {
    EXPECT_TRUE(p->waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 1);
    EXPECT_EQ(p->readAllStandardOutput().toStdString(), "");
    return p->readAllStandardError().toStdString();
  }

  test::TempDir folder_;
  fs::path program_, runtime_, elsewhere_, home_, reportShown_;
  fs::path steps_ = folder_.path() / "steps";
  fs::path listenFolder_;  // where the socket is looked for, when not in runtime_
  std::map<QString, QString> env_;  // added to the environment; a null value removes
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

// A second start ends before it writes or grabs anything: it leaves a
// damaged data file as it is, with no copy kept aside, writes no defaults,
// and never reaches the hook or the data files. It runs from a copy of the
// program of its own, so that nothing but the second start could write
// there (the first saves its own lighting files as it sets up).
TEST_F(StartupProcess, ASecondStartTouchesNeitherTheDataFilesNorTheKeyboard) {
  QProcess* first = StartFirst({});
  const fs::path second = folder_.path() / "second";
  fs::create_directories(second);
  fs::copy_file(program_ / "keyloom", second / "keyloom");
  fs::copy(program_ / "uires", second / "uires", fs::copy_options::recursive);
  fs::copy_file(program_ / "config.xml", second / "config.xml");
  const std::string damaged = "<effect sel=\"3\"><item";
  std::ofstream(second / "ledeffect.xml", std::ios::binary) << damaged;
  FollowSteps();
  QProcess* p = Start({}, second);
  ASSERT_TRUE(p->waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(p->exitCode(), 0);
  EXPECT_EQ(p->readAllStandardOutput().trimmed().toStdString(), "keyloom is already running (front)");
  EXPECT_EQ(Steps(), (std::vector<std::string>{"application", "resources", "instance"}));
  EXPECT_EQ(ReadWhole(second / "ledeffect.xml"), damaged);
  std::vector<std::string> files = EntriesStartingWith(second, "");
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"config.xml", "keyloom", "ledeffect.xml", "uires"}));
  EXPECT_FALSE(fs::exists(home_ / ".config"));
  EXPECT_EQ(Terminate(first), 0);
}

// Without a usable XDG_RUNTIME_DIR the lock and the socket go into a private
// folder of keyloom's own inside the temporary folder, never into it.
TEST_F(StartupProcess, WithoutARuntimeDirTheEntriesGoIntoAPrivateFolderOfItsOwn) {
  const fs::path tmp = folder_.path() / "tmp";
  fs::create_directories(tmp);
  env_["XDG_RUNTIME_DIR"] = QString();
  env_["TMPDIR"] = QString::fromStdString(tmp.string());
  listenFolder_ = tmp / ("keyloom-" + std::to_string(geteuid()));
  QProcess* first = StartFirst({});
  EXPECT_EQ(fs::status(listenFolder_).permissions() & fs::perms::mask, fs::perms::owner_all);
  EXPECT_TRUE(fs::exists(listenFolder_ / (std::string(kInstanceStem) + ".lock")));
  EXPECT_EQ(EntriesStartingWith(tmp, kInstanceStem), std::vector<std::string>{});
  EXPECT_EQ(SecondStart(), "keyloom is already running (front)");
  EXPECT_EQ(Terminate(first), 0);
}

TEST_F(StartupProcess, AFolderOthersCouldPlantInIsRefusedInOneLine) {
  const fs::path tmp = folder_.path() / "tmp";
  const fs::path planted = tmp / ("keyloom-" + std::to_string(geteuid()));
  fs::create_directories(planted);
  fs::permissions(planted, fs::perms::all);
  env_["XDG_RUNTIME_DIR"] = QString();
  env_["TMPDIR"] = QString::fromStdString(tmp.string());
  const std::string error = FailedStart(Start({}));
  EXPECT_NE(error.find(planted.string()), std::string::npos) << error;
  EXPECT_EQ(KeyloomLines(error), 1) << error;
  EXPECT_TRUE(fs::is_empty(planted));
  EXPECT_EQ(EntriesStartingWith(tmp, kInstanceStem), std::vector<std::string>{});
}

// A lock or a socket that cannot be made is a failure to start, not another
// keyloom: one line on standard error and a non-zero exit.
struct BlockedEntry {
  const char* suffix;
  const char* reported;
};
std::ostream& operator<<(std::ostream& os, const BlockedEntry& c) { return os << c.suffix; }

class BlockedEntryStart : public StartupProcess, public testing::WithParamInterface<BlockedEntry> {};

TEST_P(BlockedEntryStart, EndsWithOneLineAndAFailure) {
  fs::create_directory(runtime_ / (std::string(kInstanceStem) + GetParam().suffix));
  const std::string error = FailedStart(Start({"-hid"}));
  EXPECT_NE(error.find(GetParam().reported), std::string::npos) << error;
  EXPECT_EQ(KeyloomLines(error), 1) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, BlockedEntryStart, testing::Values(
    BlockedEntry{".lock", "cannot create the instance lock"},
    BlockedEntry{".socket", "cannot listen on"}));

// A termination signal at any moment of start-up ends it in order: the step
// it came in is finished (a save within it whole), no later step begins, the
// socket goes, and the exit is that of an orderly end. Once the window
// exists, it closes through its orderly shutdown.
struct SignalCase {
  const char* step;
  int signal;
  bool lightingWritten;  // the step or an earlier one writes the lighting defaults
};
std::ostream& operator<<(std::ostream& os, const SignalCase& c) { return os << c.step << '/' << c.signal; }

class SignalDuringStartUp : public StartupProcess, public testing::WithParamInterface<SignalCase> {};

TEST_P(SignalDuringStartUp, EndsInOrderAfterTheStepItCameIn) {
  FollowSteps();
  env_["KEYLOOM_TEST_PAUSE"] = GetParam().step;
  QProcess* p = Start({});
  QDeadlineTimer deadline(kStartTimeoutMs);
  auto reached = [this] { const auto s = Steps(); return s.empty() ? std::string() : s.back(); };
  while (reached() != GetParam().step && !deadline.hasExpired() && p->state() == QProcess::Running)
    QThread::msleep(10);
  ASSERT_EQ(reached(), GetParam().step) << p->readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(p->processId()), GetParam().signal);
  ASSERT_TRUE(p->waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p->exitCode(), 0);
  EXPECT_EQ(Steps().back(), GetParam().step);
  EXPECT_EQ(EntriesStartingWith(runtime_, std::string(kInstanceStem) + ".socket"), std::vector<std::string>{});
  for (const char* file : {"ledeffect.xml", "sidemodel.xml"}) {
    ASSERT_EQ(fs::exists(program_ / file), GetParam().lightingWritten) << file;
    if (!GetParam().lightingWritten) continue;
    std::string text = ReadWhole(program_ / file);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    EXPECT_TRUE(text.size() > 9 && text.compare(text.size() - 9, 9, "</effect>") == 0) << file << ": " << text;
  }
  // The device trace may have begun by then; keyloom itself says nothing.
  const std::string out = p->readAllStandardOutput().toStdString();
  EXPECT_EQ(KeyloomLines(out), 0) << out;
  EXPECT_EQ(out.find("already running"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Table, SignalDuringStartUp, testing::Values(
    SignalCase{"application", SIGTERM, false},
    SignalCase{"resources", SIGHUP, false},
    SignalCase{"instance", SIGINT, false},
    SignalCase{"configuration", SIGTERM, false},
    SignalCase{"hook", SIGHUP, false},
    SignalCase{"data", SIGTERM, true},
    SignalCase{"window", SIGHUP, true},
    SignalCase{"running", SIGINT, true}));

class SignalWhileRunning : public StartupProcess, public testing::WithParamInterface<int> {};

TEST_P(SignalWhileRunning, ClosesTheWindowInOrderAndRemovesTheSocket) {
  QProcess* p = StartFirst({"-hid"});
  ::kill(static_cast<pid_t>(p->processId()), GetParam());
  ASSERT_TRUE(p->waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p->exitCode(), 0);
  EXPECT_EQ(EntriesStartingWith(runtime_, std::string(kInstanceStem) + ".socket"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Table, SignalWhileRunning, testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
}  // namespace keyloom
