// keyloom installed into a prefix (cmake --install), started as a user
// would start it: with a private home, the virtual keyboard and the
// offscreen platform. It must find its resources in the install, keep the
// user's files in the home's configuration folder and write nothing into
// the prefix.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 15000;
// The resource folder's instance name: seeing its socket proves the
// installed resources were found (without them keyloom falls back to another).
constexpr const char* kInstanceSocket = "keyloom.desktop-configurator.instance.socket";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every entry under a folder with what a write would change.
std::map<std::string, std::string> Listing(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat st {};
    ::lstat(entry.path().c_str(), &st);
    entries[fs::relative(entry.path(), root).string()] =
        std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
        std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_ctim.tv_sec) + "." +
        std::to_string(st.st_ctim.tv_nsec);
  }
  return entries;
}

class InstalledProgram : public testing::Test {
 protected:
  InstalledProgram() {
    for (const fs::path& p : {home_, runtime_, elsewhere_, cache_}) fs::create_directories(p);
    fs::permissions(runtime_, fs::perms::owner_all);
  }
  ~InstalledProgram() override {
    for (QProcess* p : processes_) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
      delete p;
    }
  }

  QProcess* Start() {
    auto* p = new QProcess;
    processes_.push_back(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home_.string()));
    env.remove("XDG_CONFIG_HOME");
    if (!xdgConfigHome_.empty()) env.insert("XDG_CONFIG_HOME", QString::fromStdString(xdgConfigHome_.string()));
    // Libraries' caches (fonts) go elsewhere, so the home shows only what keyloom wrote.
    env.insert("XDG_CACHE_HOME", QString::fromStdString(cache_.string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD", "1");
    if (!shown_.empty()) env.insert("KEYLOOM_REPORT_SHOWN", QString::fromStdString(shown_.string()));
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD_LOG", QString::fromStdString(log_.string()));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(QString::fromStdString(elsewhere_.string()));
    p->start(QString::fromStdString((prefix_ / "bin/keyloom").string()), {});
    p->waitForStarted(kStartTimeoutMs);
    return p;
  }

  bool IsListening() const {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString((runtime_ / kInstanceSocket).string()));
    return socket.waitForConnected(200);
  }

  // Returns once the first start has drawn its window: the instance socket
  // listens before the user's files are set up, so listening alone is no
  // sign that start-up is done.
  QProcess* StartFirst() {
    shown_ = folder_.path() / "shown";
    QProcess* p = Start();
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!fs::exists(shown_) && !deadline.hasExpired() && p->state() == QProcess::Running) QThread::msleep(20);
    EXPECT_TRUE(fs::exists(shown_)) << p->readAllStandardError().toStdString();
    EXPECT_TRUE(IsListening());
    return p;
  }

  std::string SecondStart() {
    QProcess* second = Start();
    EXPECT_TRUE(second->waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second->exitCode(), 0);
    return second->readAllStandardOutput().trimmed().toStdString();
  }

  static void Terminate(QProcess* p) {
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    EXPECT_TRUE(p->waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
  }

  // Whether keyloom found the keyboard the virtual keyboard plays: it
  // talks to it at start-up.
  bool TalkedToTheKeyboard() const { return ReadFile(log_).find("set-feature") != std::string::npos; }

  const fs::path prefix_ = KEYLOOM_TEST_PREFIX;
  test::TempDir folder_;
  const fs::path home_ = folder_.path() / "home";
  const fs::path runtime_ = folder_.path() / "runtime";
  fs::path shown_;  // set by StartFirst: where the first start reports its window drawn
  const fs::path elsewhere_ = folder_.path() / "elsewhere";
  const fs::path cache_ = folder_.path() / "cache";
  const fs::path log_ = folder_.path() / "keyboard.log";
  fs::path xdgConfigHome_;
  std::vector<QProcess*> processes_;
};

TEST_F(InstalledProgram, RunsFromThePrefixAndWritesOnlyIntoTheHomesConfigFolder) {
  const auto prefixBefore = Listing(prefix_);
  QProcess* first = StartFirst();
  EXPECT_EQ(SecondStart(), "keyloom is already running (front)");
  const fs::path userFolder = home_ / ".config/keyloom";
  EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(first->processId()) + "/cwd"), userFolder);
  Terminate(first);

  EXPECT_EQ(Listing(prefix_), prefixBefore);
  EXPECT_EQ((fs::status(userFolder).permissions() & fs::perms::mask), fs::perms::owner_all);
  EXPECT_EQ(ReadFile(userFolder / "config.xml"), ReadFile(prefix_ / "share/keyloom/config.xml"));
  // The sample's keyboard is the virtual one: the copied config.xml was read.
  EXPECT_TRUE(TalkedToTheKeyboard());
  std::map<std::string, std::string> home = Listing(home_);
  std::set<std::string> names;
  for (const auto& [name, ignored] : home) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{".config", ".config/keyloom", ".config/keyloom/config.xml",
                                          ".config/keyloom/ledeffect.xml", ".config/keyloom/sidemodel.xml"}));
}

TEST_F(InstalledProgram, XdgConfigHomeHoldsTheUsersFilesWhenSet) {
  xdgConfigHome_ = folder_.path() / "settings";
  QProcess* first = StartFirst();
  Terminate(first);
  EXPECT_TRUE(fs::exists(xdgConfigHome_ / "keyloom/config.xml"));
  EXPECT_TRUE(fs::exists(xdgConfigHome_ / "keyloom/ledeffect.xml"));
  EXPECT_TRUE(fs::is_empty(home_));
}

TEST_F(InstalledProgram, TheUsersOwnConfigIsReadAndNeverReplaced) {
  // A configuration naming no keyboard: keyloom must not talk to the one
  // the sample names.
  const std::string own = "<local language=\"en\"/>\n<usb vid=\"0\" pid=\"0\" interface=\"1\" subdevice=\"1\"/>\n";
  fs::create_directories(home_ / ".config/keyloom");
  std::ofstream(home_ / ".config/keyloom/config.xml") << own;
  QProcess* first = StartFirst();
  Terminate(first);
  EXPECT_EQ(ReadFile(home_ / ".config/keyloom/config.xml"), own);
  EXPECT_FALSE(TalkedToTheKeyboard());
}

}  // namespace
}  // namespace keyloom
