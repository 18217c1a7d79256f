#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/ExecutableFolder.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

struct FolderNameCase {
  const char* name;
  std::string folder;  // inside a temporary folder
  bool aliased;        // whether Qt must be given an alias
};

class TextSafeFolder : public testing::TestWithParam<FolderNameCase> {};

// A folder whose name Qt's Unicode file names could not carry is reached
// through an alias; any other keeps its own name, so paths in messages stay
// readable.
TEST_P(TextSafeFolder, NamesTheSameFolder_AliasedOnlyWhenNotUtf8) {
  test::TempDir dir;
  const std::string folder = dir.path().string() + "/" + GetParam().folder;
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const std::string safe = TextSafeFolderPath(folder);
  EXPECT_EQ(safe != folder, GetParam().aliased) << safe;
  struct stat original {}, reached {};
  ASSERT_EQ(::stat(folder.c_str(), &original), 0);
  ASSERT_EQ(::stat(safe.c_str(), &reached), 0) << safe;
  EXPECT_EQ(reached.st_ino, original.st_ino);
  EXPECT_EQ(reached.st_dev, original.st_dev);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TextSafeFolder,
    testing::Values(FolderNameCase{"Plain", "keyloom", false}, FolderNameCase{"Chinese", "键盘", false},
                    FolderNameCase{"InvalidBytes", "keyloom-\xff\xfe", true},
                    FolderNameCase{"CutShortSequence", "\xe9\x94", true},
                    FolderNameCase{"OverlongSlash", "a\xc0\xaf" "b", true},
                    FolderNameCase{"Surrogate", "\xed\xa0\x80", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextSafeFolder, AMissingFolderThatNeedsAnAliasGivesNothing) {
  EXPECT_EQ(TextSafeFolderPath("/nonexistent-\xff"), "");
}

}  // namespace
}  // namespace keyloom::platform
