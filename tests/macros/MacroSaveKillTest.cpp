// A process killed in the middle of saving a large macro library leaves
// macro.xml with its old or its new content, byte for byte, and nothing
// behind that the next start does not clear: the user's macros survive any
// crash.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "macros/MacroLibrary.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

// Several megabytes, so a save takes long enough to be caught in the middle.
std::string LargeMacroLibrary() {
  std::string text = "<?xml version=\"1.0\"?>\n<config type=\"0\" repeat=\"1\" mode=\"0\" delay=\"10\" />\n<macro>\n";
  for (int group = 0; group < 300; ++group) {
    text += "\t<group name=\"Group " + std::to_string(group) + "\">\n";
    for (int step = 0; step < 200; ++step) text += "\t\t<item code=\"65\" state=\"0\" delay=\"120\" name=\"A\" />\n";
    text += "\t</group>\n";
  }
  return text + "</macro>\n";
}

// Renaming the first group saves the library, as the editor does.
std::string SavedWithFirstGroupNamed(const std::string& path, const std::wstring& name) {
  MacroLibrary library;
  library.Load(path);
  library.RenameGroup(0, name);
  test::TempDir read;
  fs::copy_file(path, read.path() / "copy");
  return read.Read("copy");
}

// Starts the saving program on `path`; returns its pid once it has loaded
// the library and is about to save, or -1.
pid_t StartSaving(const std::string& path) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(ready[1], STDOUT_FILENO);
    ::close(ready[0]);
    ::close(ready[1]);
    ::execl(MACRO_SAVE_LOOP, MACRO_SAVE_LOOP, path.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ready[1]);
  char byte = 0;
  const bool loaded = child > 0 && ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  if (!loaded && child > 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  return loaded ? child : -1;
}

// Entries of `folder` other than macro.xml.
std::set<std::string> Leftovers(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() != "macro.xml") names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(MacroSaveKill, KilledWhileSavingALargeLibrary_LeavesTheOldOrNewFile_AndTheNextStartClearsEveryTemporary) {
  test::TempDir dir;
  const std::string path = dir.Write("macro.xml", LargeMacroLibrary());
  ASSERT_GT(fs::file_size(path), 2u << 20);
  const std::string named_b = SavedWithFirstGroupNamed(path, L"B");
  const std::string named_a = SavedWithFirstGroupNamed(path, L"A");
  ASSERT_NE(named_a, named_b);

  constexpr int kKills = 40;
  std::mt19937 random(20261211);
  std::set<std::string> seen;
  std::set<std::string> earlier;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = StartSaving(path);
    ASSERT_GT(child, 0) << "the saving program never loaded the library";
    // Whatever an earlier kill left is gone once a new start has loaded.
    for (const std::string& name : Leftovers(dir.path())) {
      EXPECT_EQ(earlier.count(name), 0u) << name << " outlived a start after kill " << kill - 1;
    }
    // Anywhere within the first few saves, so kills land at every stage of one.
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 150000)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "kill " << kill;

    const std::string now = dir.Read("macro.xml");
    ASSERT_TRUE(now == named_a || now == named_b) << "kill " << kill << ": a torn file of " << now.size() << " bytes";
    seen.insert(now == named_a ? "A" : "B");
    // At most the one temporary name a save holds for an instant before its
    // rename; nameless otherwise.
    earlier = Leftovers(dir.path());
    EXPECT_LE(earlier.size(), 1u) << "after kill " << kill;
  }
  ASSERT_EQ(std::system((std::string(MACRO_SAVE_LOOP) + " '" + path + "' --load-only").c_str()), 0);
  EXPECT_TRUE(Leftovers(dir.path()).empty()) << "a start clears every temporary of killed saves";
  EXPECT_EQ(seen.size(), 2u) << "the kills should catch the file in both states";
}

}  // namespace
}  // namespace keyloom
