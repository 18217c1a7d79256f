#include "platform/linux/LinuxShell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/TempDir.h"

namespace keyloom::platform::linux_input {
namespace {

using namespace std::chrono_literals;

TEST(LinuxShellTest, ExecutablePath_RunsItWithSplitArguments) {
  EXPECT_EQ(LinuxShell::LaunchCommand("/bin/sh", "-c \"exit 0\""),
            (std::vector<std::string>{"/bin/sh", "-c", "exit 0"}));
}

TEST(LinuxShellTest, ProgramNameOnPath_RunsIt) {
  EXPECT_EQ(LinuxShell::LaunchCommand("sh", ""), (std::vector<std::string>{"sh"}));
}

TEST(LinuxShellTest, DocumentFolderOrUrl_OpensWithDesktopHandler) {
  keyloom::test::TempDir dir;
  const std::string document = dir.path().string() + "/notes.txt";
  std::ofstream(document) << "x";
  EXPECT_EQ(LinuxShell::LaunchCommand(document, "-ignored"),
            (std::vector<std::string>{"xdg-open", document}));
  EXPECT_EQ(LinuxShell::LaunchCommand(dir.path().string(), ""),
            (std::vector<std::string>{"xdg-open", dir.path().string()}));
  EXPECT_EQ(LinuxShell::LaunchCommand("https://example.invalid/", ""),
            (std::vector<std::string>{"xdg-open", "https://example.invalid/"}));
}

TEST(LinuxShellTest, EmptyPath_LaunchesNothing) {
  EXPECT_TRUE(LinuxShell::LaunchCommand("", "").empty());
  LinuxShell shell;
  EXPECT_FALSE(shell.Open(L"", L""));
}

TEST(LinuxShellTest, Open_StartsProgramDetached_WithItsArguments) {
  keyloom::test::TempDir dir;
  const std::string marker = dir.path().string() + "/started";
  LinuxShell shell;
  const std::wstring command = L"-c \"echo $0 > " +
                               std::wstring(marker.begin(), marker.end()) + L"\" \"two words\"";
  ASSERT_TRUE(shell.Open(L"/bin/sh", command));
  std::string content;
  for (int i = 0; i < 500 && content.empty(); ++i) {
    std::this_thread::sleep_for(10ms);
    std::ifstream in(marker);
    std::getline(in, content);
  }
  EXPECT_EQ(content, "two words");
}

TEST(LinuxShellTest, Open_ReportsProgramThatCannotStart) {
  keyloom::test::TempDir dir;
  LinuxShell shell;
  EXPECT_FALSE(SpawnDetached({dir.path().string() + "/missing-program"}));
  EXPECT_FALSE(SpawnDetached({}));
  EXPECT_EQ(RunAndWait({dir.path().string() + "/missing-program"}), -1);
  EXPECT_EQ(RunAndWait({"/bin/sh", "-c", "exit 3"}), 3);
}

}  // namespace
}  // namespace keyloom::platform::linux_input
