// The built program against what users and crashes do to its data files:
// things other than files in their place, a program folder whose name is
// not UTF-8, and the program killed in the middle of its saves.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProgramCopy.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The built program in a folder of its own (named as the test likes), run
// with the virtual keyboard and a private runtime folder.
class DataFilesProcess : public ::testing::Test {
 protected:
  void MakeProgramFolder(const std::string& name) {
    program = folder.path() / name;
    fs::create_directories(program);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    test::CopyProgramFolder(program);
  }
  ~DataFilesProcess() override { Kill(); }

  void Start() {
    fs::remove(log);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QFile::decodeName(runtime.c_str()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD", "1");
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD_LOG", QFile::decodeName(log.c_str()));
    env.insert("KEYLOOM_VIRTUAL_KEYBOARD_CONTROL", QFile::decodeName(control.c_str()));
    p.setProcessEnvironment(env);
    // QProcess takes the program and its folder as text: the program is
    // started by a relative name from its own folder, whose name need not be
    // text at all.
    const fs::path here = fs::current_path();
    fs::current_path(program);
    p.start(QStringLiteral("./keyloom"), {});
    fs::current_path(here);
    ASSERT_TRUE(p.waitForStarted(15000));
  }
  void Kill() {
    if (p.state() == QProcess::NotRunning) return;
    p.kill();
    p.waitForFinished(5000);
  }

  // The keyboard's report lines (without times) once `count` have come.
  std::vector<std::string> WaitForReports(size_t count) {
    QDeadlineTimer deadline(15000);
    std::vector<std::string> lines;
    do {
      lines.clear();
      std::ifstream in(log);
      for (std::string line; std::getline(in, line);) {
        line = line.substr(line.find(' ') + 1);
        if (line.rfind("key ", 0) != 0) lines.push_back(line);
      }
      if (lines.size() >= count) break;
      QThread::msleep(50);
    } while (!deadline.hasExpired() && p.state() == QProcess::Running);
    return lines;
  }

  std::string Unplug() {
    const int fd = ::open(control.c_str(), O_WRONLY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
      EXPECT_EQ(::write(fd, "unplug\n", 7), 7);
      ::close(fd);
    }
    EXPECT_TRUE(p.waitForFinished(15000));
    return p.readAllStandardError().toStdString();
  }

  test::TempDir folder;
  fs::path program;
  const fs::path runtime = folder.path() / "runtime";
  const fs::path log = runtime / "keyboard.log";
  const fs::path control = runtime / "keyboard.ctl";
  QProcess p;
};

// Effect 3 stored, so the start-up report shows the file was read.
constexpr const char* kEffectThree = "<?xml version=\"1.0\"?>\n<effect sel=\"3\" />\n";

TEST_F(DataFilesProcess, ProgramFolderNamedWithBytesThatAreNotUtf8_FindsItsFilesThere) {
  MakeProgramFolder("keyloom-\xff\xfe");
  WriteAll(program / "ledeffect.xml", kEffectThree);
  Start();
  const std::vector<std::string> reports = WaitForReports(3);
  ASSERT_GE(reports.size(), 3u) << p.readAllStandardError().toStdString();
  EXPECT_EQ(reports[2].rfind("set-feature 07 ff ff 03", 0), 0u) << reports[2];
  EXPECT_TRUE(fs::exists(program / "sidemodel.xml")) << "written at start-up where it belongs";
  Unplug();
}

// Folders and a pipe where data files belong: the program starts on its
// defaults, says so, and touches none of them.
TEST_F(DataFilesProcess, ThingsOtherThanFilesInPlaceOfDataFiles_AreLeftAloneAndStartUpGoesOn) {
  MakeProgramFolder("program");
  fs::create_directory(program / "ledeffect.xml");
  fs::create_directory(program / "record.xml");
  ASSERT_EQ(::mkfifo((program / "macro.xml").c_str(), 0600), 0);
  Start();
  const std::vector<std::string> reports = WaitForReports(3);
  ASSERT_GE(reports.size(), 3u) << p.readAllStandardError().toStdString();
  EXPECT_EQ(reports[2], "set-feature 07 ff ff 14 05 01 00 00") << "the default effect";
  const std::string errors = Unplug();
  EXPECT_TRUE(fs::is_directory(program / "ledeffect.xml"));
  EXPECT_TRUE(fs::is_directory(program / "record.xml"));
  EXPECT_TRUE(fs::is_fifo(program / "macro.xml"));
  for (const char* name : {"ledeffect.xml is not a regular file; left alone", "macro.xml is not a regular file",
                           "record.xml is not a regular file", "could not save"}) {
    EXPECT_NE(errors.find(name), std::string::npos) << name << " in:\n" << errors;
  }
  // Once each: a later save of the same file says nothing more.
  const auto count = [&errors](const std::string& what) {
    size_t n = 0;
    for (size_t at = errors.find(what); at != std::string::npos; at = errors.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("left alone"), 3u) << errors;
  EXPECT_EQ(count("could not save"), 1u) << errors;
}

// A macro library of several megabytes.
std::string LargeMacroLibrary() {
  std::string text = "<?xml version=\"1.0\"?>\n<config type=\"0\" repeat=\"1\" mode=\"0\" delay=\"10\" />\n<macro>\n";
  for (int group = 0; group < 400; ++group) {
    text += "\t<group name=\"Group " + std::to_string(group) + "\">\n";
    for (int step = 0; step < 200; ++step) text += "\t\t<item code=\"65\" state=\"0\" delay=\"120\" name=\"A\" />\n";
    text += "\t</group>\n";
  }
  return text + "</macro>\n";
}

// Damaged lighting files are kept aside and replaced at every start: the
// saves this loop kills. A large damaged one makes the copy take a while.
std::string LargeDamagedEffects() {
  std::string text = "<effect sel=\"3\">\n";
  for (int i = 0; i < 60000; ++i) text += "\t<item speed=\"1\" brightness=\"5\" deriction=\"0\" selection=\"1\" />\n";
  return text;  // never closed
}

// Killed at moments spread over its start-up saves, the program leaves every
// data file whole (old or new content, byte for byte), every backup whole,
// and no temporary file.
TEST_F(DataFilesProcess, KilledDuringSaves_LeavesEveryFileOldOrNewAndNoTemporaryFile) {
  MakeProgramFolder("program");
  const std::string macros = LargeMacroLibrary();
  const std::string effects = LargeDamagedEffects();
  const std::string sides = "<effect sel=\"1\"><item brightness=\"2\" />";
  const std::string records = "<?xml version=\"1.0\"?>\n<record code=\"112\" type=\"1\" name=\"F1\" group=\"B\" />\n";
  ASSERT_GT(macros.size(), 3u << 20);
  const auto reset = [&] {
    for (const auto& entry : fs::directory_iterator(program))
      if (entry.path().filename().string().find(".bad-") != std::string::npos) fs::remove(entry.path());
    WriteAll(program / "macro.xml", macros);
    WriteAll(program / "record.xml", records);
    WriteAll(program / "ledeffect.xml", effects);
    WriteAll(program / "sidemodel.xml", sides);
  };

  // One whole start first: the new contents, and how long the saves take.
  reset();
  const auto started = std::chrono::steady_clock::now();
  Start();
  ASSERT_GE(WaitForReports(3).size(), 3u) << p.readAllStandardError().toStdString();
  const auto saved = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  Kill();
  const std::string newEffects = ReadAll(program / "ledeffect.xml");
  const std::string newSides = ReadAll(program / "sidemodel.xml");
  ASSERT_NE(newEffects, effects);
  ASSERT_NE(newSides, sides);

  constexpr int kKills = 40;
  std::set<std::string> seen;  // which states the kills caught
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    reset();
    Start();
    QThread::msleep(static_cast<unsigned long>(saved.count() * kill / kKills));
    Kill();

    EXPECT_EQ(ReadAll(program / "macro.xml"), macros);
    EXPECT_EQ(ReadAll(program / "record.xml"), records);
    const std::string nowEffects = ReadAll(program / "ledeffect.xml");
    const std::string nowSides = ReadAll(program / "sidemodel.xml");
    EXPECT_TRUE(nowEffects == effects || nowEffects == newEffects) << nowEffects.size() << " bytes";
    EXPECT_TRUE(nowSides == sides || nowSides == newSides) << nowSides;
    seen.insert(std::string(nowEffects == effects ? "old" : "new") + (nowSides == sides ? "/old" : "/new"));
    for (const auto& entry : fs::directory_iterator(program)) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
      if (name.starts_with("ledeffect.xml.bad-")) {
        EXPECT_EQ(ReadAll(entry.path()), effects) << name;
      }
      if (name.starts_with("sidemodel.xml.bad-")) {
        EXPECT_EQ(ReadAll(entry.path()), sides) << name;
      }
    }
  }
  EXPECT_GE(seen.size(), 2u) << "the kills fell both before and after the saves";
}

}  // namespace
}  // namespace keyloom
