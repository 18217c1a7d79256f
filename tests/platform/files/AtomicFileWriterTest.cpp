#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
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
