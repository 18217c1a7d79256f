// The built program with the virtual keyboard: what reaches the keyboard at
// start-up, and unplugging it ending the program in order.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

TEST(EndToEnd, StartupTrafficReachesTheVirtualKeyboardAndUnpluggingEndsTheProgram) {
  test::TempDir folder;
  const fs::path program = folder.path() / "program";
  const fs::path runtime = folder.path() / "runtime";
  fs::create_directories(program);
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  const fs::path built = KEYLOOM_PROGRAM_DIR;
  fs::copy_file(built / "keyloom", program / "keyloom");
  fs::copy(built / "uires", program / "uires", fs::copy_options::recursive);
  fs::copy_file(fs::path(KEYLOOM_SOURCE_DIR) / "config.xml", program / "config.xml");
  const fs::path log = runtime / "keyboard.log";
  const fs::path control = runtime / "keyboard.ctl";

  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("KEYLOOM_VIRTUAL_KEYBOARD", "1");
  env.insert("KEYLOOM_VIRTUAL_KEYBOARD_LOG", QString::fromStdString(log.string()));
  env.insert("KEYLOOM_VIRTUAL_KEYBOARD_CONTROL", QString::fromStdString(control.string()));
  p.setProcessEnvironment(env);
  p.start(QString::fromStdString((program / "keyloom").string()), {});
  ASSERT_TRUE(p.waitForStarted(15000));

  // The firmware query, the stored effect and side mode, and 2000 ms later
  // the start-up effect.
  QDeadlineTimer deadline(15000);
  while (Reports(log).size() < 5 && !deadline.hasExpired() && p.state() == QProcess::Running) QThread::msleep(50);
  EXPECT_EQ(Reports(log), (std::vector<std::string>{
                              "set-feature 07 f1 00 00 00 00 00 00", "get-feature 07 f1 00 00 00 00 00 00",
                              "set-feature 07 ff ff 14 05 01 00 00", "set-feature 07 ff ff 20 00 00 40 00",
                              "set-feature 07 ff ff 00 05 01 00 01"}));
  EXPECT_TRUE(fs::exists(program / "ledeffect.xml"));

  const int fd = ::open(control.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "unplug\n", 7), 7);
  ::close(fd);
  ASSERT_TRUE(p.waitForFinished(15000)) << p.readAllStandardError().toStdString();
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
}

}  // namespace
}  // namespace keyloom
