#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "platform/DataFileReader.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

namespace fs = std::filesystem;

// What stands at the data file's name, made in a fresh folder.
struct PlaceCase {
  const char* name;
  std::function<void(const test::TempDir&, const std::string& path)> make;
  FileFault expected;
};
std::ostream& operator<<(std::ostream& out, const PlaceCase& c) { return out << c.name; }

class ReadDataFilePlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(ReadDataFilePlace, OnlyARegularFileOfASaneSizeIsRead) {
  test::TempDir dir;
  const std::string path = dir.File("macro.xml");
  GetParam().make(dir, path);
  std::string bytes = "stale";
  const FileStatus status = ReadDataFile(path, bytes);
  EXPECT_EQ(status.fault, GetParam().expected);
  if (status.ok()) {
    EXPECT_EQ(bytes, "<macro/>");
  } else {
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(LastFileStatus().fault, GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Places, ReadDataFilePlace,
    ::testing::Values(
        PlaceCase{"RegularFile", [](auto& dir, auto&) { dir.Write("macro.xml", "<macro/>"); }, FileFault::None},
        PlaceCase{"LinkToARegularFile",
                  [](auto& dir, auto& path) { fs::create_symlink(dir.Write("store/m.xml", "<macro/>"), path); },
                  FileFault::None},
        PlaceCase{"Missing", [](auto&, auto&) {}, FileFault::Missing},
        // A folder once made the reader size its buffer from lseek's answer.
        PlaceCase{"Folder", [](auto&, auto& path) { fs::create_directory(path); }, FileFault::NotRegular},
        // A pipe with no writer once blocked start-up for ever.
        PlaceCase{"Pipe", [](auto&, auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, FileFault::NotRegular},
        PlaceCase{"LinkToADevice", [](auto&, auto& path) { fs::create_symlink("/dev/zero", path); },
                  FileFault::NotRegular},
        // Sparse: takes no disk, but reading it whole would take a terabyte.
        PlaceCase{"HugeSparseFile",
                  [](auto& dir, auto& path) {
                    dir.Write("macro.xml", "<macro/>");
                    ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 40), 0);
                  },
                  FileFault::TooLarge},
        PlaceCase{"JustOverTheLimit",
                  [](auto& dir, auto& path) {
                    dir.Write("macro.xml", "<macro/>");
                    ASSERT_EQ(::truncate(path.c_str(), kDataFileSizeLimit + 1), 0);
                  },
                  FileFault::TooLarge}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDataFile, AFileAtTheLimitIsReadWhole) {
  test::TempDir dir;
  const std::string path = dir.Write("a.xml", "0123456789");
  std::string bytes;
  EXPECT_TRUE(ReadDataFile(path, bytes, 10).ok());
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_EQ(ReadDataFile(path, bytes, 9).fault, FileFault::TooLarge);
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace keyloom::platform
