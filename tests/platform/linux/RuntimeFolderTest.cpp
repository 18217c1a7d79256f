#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/RuntimeFolder.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

namespace fs = std::filesystem;

constexpr size_t kEntry = 47;
constexpr uid_t kOtherUser = 65534;

// The folder keyloom falls back to inside a temporary folder.
fs::path FallbackIn(const fs::path& tmp) { return tmp / ("keyloom-" + std::to_string(geteuid())); }

void MakeFolder(const fs::path& path, fs::perms mode) {
  fs::create_directories(path);
  fs::permissions(path, mode);
}

// A test folder with a private "xdg" folder and a "tmp" folder, each set up
// by the case; `xdg` is what XDG_RUNTIME_DIR says ("" for unset).
struct FolderCase {
  const char* name;
  std::function<std::string(const fs::path& root)> setUp;  // returns XDG_RUNTIME_DIR
  enum { Xdg, Fallback, Refused } expected;
  bool needsRoot = false;
};
std::ostream& operator<<(std::ostream& os, const FolderCase& c) { return os << c.name; }

class RuntimeFolderChoice : public testing::TestWithParam<FolderCase> {};

TEST_P(RuntimeFolderChoice, OnlyAPrivateFolderOfThisUserIsEverUsed) {
  const FolderCase& c = GetParam();
  if (c.needsRoot && geteuid() != 0) GTEST_SKIP() << "needs root to make another user's folder";
  test::TempDir root;
  fs::create_directories(root.path() / "tmp");
  const std::string xdg = c.setUp(root.path());
  const std::string tmp = (root.path() / "tmp").string();
  const RuntimeFolder found = FindRuntimeFolder(xdg.empty() ? nullptr : xdg.c_str(), tmp.c_str(), kEntry);
  switch (c.expected) {
    case FolderCase::Xdg:
      EXPECT_EQ(found.path, xdg);
      break;
    case FolderCase::Fallback: {
      EXPECT_EQ(found.path, FallbackIn(root.path() / "tmp").string()) << found.error;
      struct stat st {};
      ASSERT_EQ(lstat(found.path.c_str(), &st), 0);
      EXPECT_TRUE(S_ISDIR(st.st_mode));
      EXPECT_EQ(st.st_uid, geteuid());
      EXPECT_EQ(st.st_mode & 0777, 0700u);
      break;
    }
    case FolderCase::Refused:
      EXPECT_FALSE(found.ok()) << found.path;
      EXPECT_NE(found.error.find(FallbackIn(root.path() / "tmp").string()), std::string::npos) << found.error;
      EXPECT_EQ(found.error.find('\n'), std::string::npos);
      break;
  }
}

std::string PrivateXdg(const fs::path& root) {
  MakeFolder(root / "xdg", fs::perms::owner_all);
  return (root / "xdg").string();
}

INSTANTIATE_TEST_SUITE_P(Table, RuntimeFolderChoice, testing::Values(
    FolderCase{"PrivateXdgRuntimeDir", PrivateXdg, FolderCase::Xdg},
    FolderCase{"XdgUnset", [](const fs::path&) { return std::string(); }, FolderCase::Fallback},
    FolderCase{"XdgOpenToGroup", [](const fs::path& r) {
      MakeFolder(r / "xdg", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
      return (r / "xdg").string(); }, FolderCase::Fallback},
    FolderCase{"XdgALink", [](const fs::path& r) {
      fs::create_directory_symlink(PrivateXdg(r), r / "link");
      return (r / "link").string(); }, FolderCase::Fallback},
    FolderCase{"XdgRelative", [](const fs::path&) { return std::string("xdg"); }, FolderCase::Fallback},
    FolderCase{"XdgAFile", [](const fs::path& r) {
      const fs::path f = r / "file"; FILE* out = fopen(f.c_str(), "w"); fclose(out);
      return f.string(); }, FolderCase::Fallback},
    FolderCase{"XdgTooLongForASocket", [](const fs::path& r) {
      const fs::path deep = r / std::string(80, 'x');
      MakeFolder(deep, fs::perms::owner_all);
      return deep.string(); }, FolderCase::Fallback},
    FolderCase{"FallbackAlreadyThereAndPrivate", [](const fs::path& r) {
      MakeFolder(FallbackIn(r / "tmp"), fs::perms::owner_all);
      return std::string(); }, FolderCase::Fallback},
    FolderCase{"FallbackPlantedAsALink", [](const fs::path& r) {
      fs::create_directory_symlink(PrivateXdg(r), FallbackIn(r / "tmp"));
      return std::string(); }, FolderCase::Refused},
    FolderCase{"FallbackOpenToEveryone", [](const fs::path& r) {
      MakeFolder(FallbackIn(r / "tmp"), fs::perms::all);
      return std::string(); }, FolderCase::Refused},
    FolderCase{"FallbackPlantedAsAFile", [](const fs::path& r) {
      FILE* out = fopen(FallbackIn(r / "tmp").c_str(), "w"); fclose(out);
      return std::string(); }, FolderCase::Refused},
    FolderCase{"FallbackOfAnotherUser", [](const fs::path& r) {
      MakeFolder(FallbackIn(r / "tmp"), fs::perms::owner_all);
      if (chown(FallbackIn(r / "tmp").c_str(), kOtherUser, kOtherUser) != 0) ADD_FAILURE() << "chown";
      return std::string(); }, FolderCase::Refused, true}),
    [](const testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

TEST(RuntimeFolder, AFallbackTooLongForASocketIsRefused) {
  test::TempDir root;
  const fs::path tmp = root.path() / std::string(90, 't');
  fs::create_directories(tmp);
  const RuntimeFolder found = FindRuntimeFolder(nullptr, tmp.c_str(), kEntry);
  EXPECT_FALSE(found.ok());
  EXPECT_NE(found.error.find("too long"), std::string::npos) << found.error;
  EXPECT_FALSE(fs::exists(FallbackIn(tmp)));
}

}  // namespace
}  // namespace keyloom::platform
