#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/InstanceLock.h"
#include "support/TempDir.h"

namespace keyloom::platform {
namespace {

namespace fs = std::filesystem;
using Status = InstanceLockResult::Status;

TEST(InstanceLock, AMissingFileIsCreatedPrivateAndLocked) {
  test::TempDir dir;
  const InstanceLockResult taken = TryLockInstance(dir.File("x.lock"));
  ASSERT_EQ(taken.status, Status::Acquired);
  EXPECT_NE(taken.lock, nullptr);
  struct stat st {};
  ASSERT_EQ(stat(dir.File("x.lock").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(InstanceLock, HeldByAnotherHolderUntilItLetsGo) {
  test::TempDir dir;
  InstanceLockResult first = TryLockInstance(dir.File("x.lock"));
  ASSERT_EQ(first.status, Status::Acquired);
  const InstanceLockResult second = TryLockInstance(dir.File("x.lock"));
  EXPECT_EQ(second.status, Status::HeldByAnother);
  EXPECT_EQ(second.lock, nullptr);
  first.lock.reset();
  EXPECT_EQ(TryLockInstance(dir.File("x.lock")).status, Status::Acquired);
}

// Whatever stands at the lock's path that is not this user's own lock file
// is a failure to create the lock, never a sign that keyloom runs.
struct BlockedCase {
  const char* name;
  std::function<void(const fs::path& lock)> plant;
  bool needsRoot = false;
};
std::ostream& operator<<(std::ostream& os, const BlockedCase& c) { return os << c.name; }

class BlockedLock : public testing::TestWithParam<BlockedCase> {};

TEST_P(BlockedLock, IsReportedAsNotCreatedWithAReason) {
  if (GetParam().needsRoot && geteuid() != 0) GTEST_SKIP() << "needs root to make another user's file";
  test::TempDir dir;
  const fs::path lock = dir.path() / "x.lock";
  GetParam().plant(lock);
  const InstanceLockResult taken = TryLockInstance(lock.string());
  EXPECT_EQ(taken.status, Status::CouldNotCreate);
  EXPECT_EQ(taken.lock, nullptr);
  EXPECT_FALSE(taken.reason.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, BlockedLock, testing::Values(
    BlockedCase{"AFolder", [](const fs::path& p) { fs::create_directory(p); }},
    BlockedCase{"ALinkToAFileOfOurs", [](const fs::path& p) {
      std::ofstream(p.string() + ".real").put('x');
      fs::create_symlink(p.string() + ".real", p); }},
    BlockedCase{"AFifo", [](const fs::path& p) { mkfifo(p.c_str(), 0600); }},
    BlockedCase{"AFileOfAnotherUser", [](const fs::path& p) {
      std::ofstream(p).put('x');
      fs::permissions(p, fs::perms::all);
      if (chown(p.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "chown"; }, true}),
    [](const testing::TestParamInfo<BlockedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom::platform
