// The built program with the virtual keyboard: what reaches the keyboard at
// start-up, unplugging it ending the program in order, and keys typed on it
// going through the program's key assignments.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ProgramCopy.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

// The log's lines without their times.
std::vector<std::string> Reports(const fs::path& log) {
  std::vector<std::string> lines;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line.substr(line.find(' ') + 1));
  return lines;
}

// The built program copied into a folder of its own, run with the virtual
// keyboard, its log and its control pipe in a private runtime folder.
class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd() {
    fs::create_directories(program);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    test::CopyProgramFolder(program);
  }
  ~EndToEnd() override {
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished(5000);
    }
  }

  void Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD", "1");
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD_LOG", QString::fromStdString(log.string()));
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD_CONTROL", QString::fromStdString(control.string()));
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString((program / "keyloom").string()), {});
    ASSERT_TRUE(p.waitForStarted(15000));
  }

  // Waits until the log has `count` lines that `keep` keeps; those lines.
  template <typename Keep>
  std::vector<std::string> WaitForLines(size_t count, Keep keep) {
    QDeadlineTimer deadline(15000);
    std::vector<std::string> lines;
    do {
      lines.clear();
      for (const std::string& line : Reports(log)) {
        if (keep(line)) lines.push_back(line);
      }
      if (lines.size() >= count) break;
      QThread::msleep(50);
    } while (!deadline.hasExpired() && p.state() == QProcess::Running);
    return lines;
  }
  std::vector<std::string> WaitForReports(size_t count) {
    return WaitForLines(count, [](const std::string& line) { return line.rfind("key ", 0) != 0; });
  }
  std::vector<std::string> WaitForKeys(size_t count) {
    return WaitForLines(count, [](const std::string& line) { return line.rfind("key ", 0) == 0; });
  }

  void Control(const std::string& commands) {
    const int fd = ::open(control.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, commands.data(), commands.size()), static_cast<ssize_t>(commands.size()));
    ::close(fd);
  }

  void UnplugAndExpectACleanEnd() {
    Control("unplug\n");
    ASSERT_TRUE(p.waitForFinished(15000)) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
  }

  test::TempDir folder;
  const fs::path program = folder.path() / "program";
  const fs::path runtime = folder.path() / "runtime";
  const fs::path log = runtime / "keyboard.log";
  const fs::path control = runtime / "keyboard.ctl";
  QProcess p;
};

// The firmware query, the stored effect and side mode, and 2000 ms later
// the start-up effect.
const std::vector<std::string> kStartupReports = {
    "set-feature 07 f1 00 00 00 00 00 00", "get-feature 07 f1 00 00 00 00 00 00",
    "set-feature 07 ff ff 14 05 01 00 00", "set-feature 07 ff ff 20 00 00 40 00",
    "set-feature 07 ff ff 00 05 01 00 01"};

TEST_F(EndToEnd, StartupTrafficReachesTheVirtualKeyboardAndUnpluggingEndsTheProgram) {
  Start();
  EXPECT_EQ(WaitForReports(5), kStartupReports);
  EXPECT_TRUE(fs::exists(program / "ledeffect.xml"));
  UnplugAndExpectACleanEnd();
}

TEST_F(EndToEnd, KeyTypedOnTheVirtualKeyboardPlaysItsAssignmentAndOthersPass) {
  {
    std::ofstream records(program / "record.xml");
    records << "<?xml version=\"1.0\"?>\n"
               "<record code=\"116\" type=\"1\" repeat=\"0\" mode=\"0\" name=\"F5\" group=\"B\">\n"
               "\t<step code=\"66\" state=\"0\" delay=\"0\" name=\"\"/>\n"
               "</record>\n";
  }
  Start();
  ASSERT_EQ(WaitForReports(5), kStartupReports) << "the program is up";

  Control("tap F5\ntap Shft\ntap a\n");
  std::vector<std::string> keys = WaitForKeys(6);
  const auto has = [&keys](const char* line) { return std::find(keys.begin(), keys.end(), line) != keys.end(); };
  EXPECT_TRUE(has("key down 0x42 injected"));
  EXPECT_TRUE(has("key up 0x42 injected"));
  EXPECT_TRUE(has("key down 0x74 swallowed"));
  EXPECT_TRUE(has("key up 0x74 swallowed"));
  EXPECT_TRUE(has("key down 0x41 passed"));
  EXPECT_TRUE(has("key up 0x41 passed"));
  EXPECT_FALSE(has("key down 0x74 passed"));
  EXPECT_FALSE(has("key up 0x74 passed"));

  UnplugAndExpectACleanEnd();
  const std::string errors = p.readAllStandardError().toStdString();
  EXPECT_NE(errors.find("unknown key \"Shft\""), std::string::npos) << errors;
  EXPECT_EQ(WaitForKeys(0).size(), 6u) << "nothing more: injected keys never came back to the hook";
}

}  // namespace
}  // namespace keyloom
