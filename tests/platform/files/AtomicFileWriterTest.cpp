#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/AtomicFileWriter.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFileWriter, Write_ShouldReplaceTheWholeContent) {
  test::TempDir dir;
  dir.Write("a.xml", "an older and much longer content");
  EXPECT_TRUE(MakeAtomicFileWriter()->Write(dir.File("a.xml"), "new"));
  EXPECT_EQ(dir.Read("a.xml"), "new");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.xml"});
}

TEST(AtomicFileWriter, Write_ShouldCreateAMissingFileForItsOwnerOnly) {
  test::TempDir dir;
  EXPECT_TRUE(MakeAtomicFileWriter()->Write(dir.File("new.xml"), ""));
  EXPECT_TRUE(fs::exists(dir.File("new.xml")));
  EXPECT_EQ(fs::status(dir.File("new.xml")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(AtomicFileWriter, Write_ShouldKeepThePermissionsOfTheReplacedFile) {
  test::TempDir dir;
  const std::string path = dir.Write("a.xml", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(MakeAtomicFileWriter()->Write(path, "new"));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicFileWriter, Write_ThroughALink_ShouldReplaceTheLinkedFileAndKeepTheLink) {
  test::TempDir dir;
  const std::string real = dir.Write("store/a.xml", "old");
  fs::create_symlink(real, dir.File("a.xml"));
  ASSERT_TRUE(MakeAtomicFileWriter()->Write(dir.File("a.xml"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.File("a.xml")));
  EXPECT_EQ(dir.Read("store/a.xml"), "new");
}

TEST(AtomicFileWriter, Write_IntoAMissingFolder_ShouldFail) {
  test::TempDir dir;
  EXPECT_FALSE(MakeAtomicFileWriter()->Write(dir.File("no/such/a.xml"), "x"));
  EXPECT_FALSE(MakeAtomicFileWriter()->Write("", "x"));
}

// Where a failing write stops, against a 10-byte content.
struct FaultCase {
  const char* name;
  size_t failAfterBytes;
};
std::ostream& operator<<(std::ostream& out, const FaultCase& c) { return out << c.name; }

class AtomicFileWriterFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(AtomicFileWriterFault, ShouldLeaveTheOldFileAndNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.Write("a.xml", "old content");
  EXPECT_FALSE(MakeAtomicFileWriter({GetParam().failAfterBytes})->Write(path, "0123456789"));
  EXPECT_EQ(dir.Read("a.xml"), "old content");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.xml"});
}

INSTANTIATE_TEST_SUITE_P(Faults, AtomicFileWriterFault,
                         ::testing::Values(FaultCase{"BeforeTheFirstByte", 0}, FaultCase{"Midway", 5},
                                           FaultCase{"BeforeTheLastByte", 9}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicFileWriter, FaultAtTheFullLength_ShouldNotFailTheWrite) {
  test::TempDir dir;
  EXPECT_TRUE(MakeAtomicFileWriter({10})->Write(dir.File("a.xml"), "0123456789"));
  EXPECT_EQ(dir.Read("a.xml"), "0123456789");
}

// What a data file's name may lead to besides a regular file. None of it is
// ever replaced: not even as root may a save turn a device into a file.
struct ForeignCase {
  const char* name;
  std::function<std::string(const test::TempDir&)> make;  // the thing the name leads to
  bool (*stillThere)(const std::string& thing);
};
std::ostream& operator<<(std::ostream& out, const ForeignCase& c) { return out << c.name; }

class AtomicFileWriterForeign : public ::testing::TestWithParam<std::tuple<ForeignCase, bool>> {};

TEST_P(AtomicFileWriterForeign, Write_ShouldRefuseAnythingButARegularFile) {
  const auto& [place, throughLink] = GetParam();
  test::TempDir dir;
  const std::string thing = place.make(dir);
  const std::string path = throughLink ? dir.File("a.xml") : thing;
  if (throughLink) fs::create_symlink(thing, path);

  EXPECT_FALSE(MakeAtomicFileWriter()->Write(path, "<xml/>"));
  EXPECT_EQ(LastFileStatus().fault, FileFault::NotRegular);
  EXPECT_TRUE(place.stillThere(thing));
  if (throughLink) {
    EXPECT_TRUE(fs::is_symlink(path));
  }
  for (const std::string& name : Names(dir.path())) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Places, AtomicFileWriterForeign,
    ::testing::Combine(
        ::testing::Values(ForeignCase{"Folder",
                                      [](const test::TempDir& dir) {
                                        fs::create_directory(dir.File("thing"));
                                        return dir.File("thing");
                                      },
                                      [](const std::string& t) { return fs::is_directory(t); }},
                          ForeignCase{"Pipe",
                                      [](const test::TempDir& dir) {
                                        ::mkfifo(dir.File("thing").c_str(), 0600);
                                        return dir.File("thing");
                                      },
                                      [](const std::string& t) { return fs::is_fifo(t); }}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "ThroughALink" : "");
    });

// A device node of its own (the null device's numbers): should the writer
// ever follow links to devices again, a test run as root must not turn the
// system's /dev/null into a file.
TEST(AtomicFileWriter, Write_ThroughALinkToADevice_ShouldLeaveTheDevice) {
  test::TempDir dir;
  const std::string device = dir.File("null");
  if (::mknod(device.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) != 0) GTEST_SKIP() << "making a device node needs root";
  fs::create_symlink(device, dir.File("a.xml"));
  EXPECT_FALSE(MakeAtomicFileWriter()->Write(dir.File("a.xml"), "<xml/>"));
  EXPECT_TRUE(fs::is_character_file(device));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.xml", "null"}));
}

TEST(AtomicFileWriter, CreateNew_ShouldNeverReplaceAnExistingFile) {
  test::TempDir dir;
  const std::string taken = dir.Write("a.bad", "older backup");
  EXPECT_FALSE(MakeAtomicFileWriter()->CreateNew(taken, "new"));
  EXPECT_EQ(LastFileStatus().error, EEXIST);
  EXPECT_EQ(dir.Read("a.bad"), "older backup");

  ASSERT_TRUE(MakeAtomicFileWriter()->CreateNew(dir.File("b.bad"), "new"));
  EXPECT_EQ(dir.Read("b.bad"), "new");
  EXPECT_EQ(fs::status(dir.File("b.bad")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.bad", "b.bad"}));
  EXPECT_FALSE(MakeAtomicFileWriter({.failAfterBytes = 1})->CreateNew(dir.File("c.bad"), "new"));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.bad", "b.bad"}));
}

// Stale temporaries: only the writer's own names, only from before this
// process, only for the file being loaded.
TEST(AtomicFileWriter, RemoveStaleTemporaries_ShouldRemoveOnlyOldOnesOfItsOwnPattern) {
  test::TempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  const auto future = fs::file_time_type::clock::now() + std::chrono::hours(1);
  for (const char* name : {".a.xml.tmp-Ab3dE9", ".a.xml.tmp-zzzzzz", ".a.xml.tmp-toolong7", ".b.xml.tmp-Ab3dE9",
                           "a.xml.tmp-Ab3dE9", ".a.xml.tmp-fresh1"}) {
    dir.Write(name, "half a save");
    fs::last_write_time(dir.File(name), std::string(name) == ".a.xml.tmp-fresh1" ? future : old);
  }
  dir.Write("a.xml", "<a/>");
  EXPECT_EQ(RemoveStaleTemporaries(dir.File("a.xml")), 2);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{".a.xml.tmp-fresh1", ".a.xml.tmp-toolong7",
                                                         ".b.xml.tmp-Ab3dE9", "a.xml", "a.xml.tmp-Ab3dE9"}));
}

class RecordingWriter : public IAtomicFileWriter {
 public:
  bool Write(const std::string& path, std::string_view) override {
    paths.push_back(path);
    return true;
  }
  std::vector<std::string> paths;
};

TEST(AtomicFileWriter, ScopedWriter_ShouldStandInUntilItGoes) {
  IAtomicFileWriter* system = &AtomicFileWriter();
  RecordingWriter recorder;
  {
    ScopedAtomicFileWriter scope(recorder);
    EXPECT_TRUE(AtomicFileWriter().Write("/nowhere/a.xml", "x"));
  }
  EXPECT_EQ(recorder.paths, std::vector<std::string>{"/nowhere/a.xml"});
  EXPECT_EQ(&AtomicFileWriter(), system);
}

}  // namespace
}  // namespace keyloom::platform
