#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "config/SaveFailureLog.h"

namespace keyloom {
namespace {

TEST(SaveFailureLog, EachFileIsReportedOnce_AndALateListenerHearsOfEarlierFailures) {
  SaveFailureLog log;
  log.Report("/p/macro.xml", platform::FileStatus::FromErrno(EROFS));
  log.Report("/p/macro.xml", platform::FileStatus::FromErrno(ENOSPC));  // the same file again
  std::vector<std::string> heard;
  log.SetListener([&heard](const SaveFailure& f) { heard.push_back(f.path + " " + platform::Describe(f.status)); });
  EXPECT_EQ(heard, std::vector<std::string>{"/p/macro.xml the folder is read-only"});

  // The lighting files fail on their writer's thread.
  std::thread([&log] { log.Report("/p/ledeffect.xml", platform::FileStatus::FromErrno(ENOSPC)); }).join();
  EXPECT_EQ(heard, (std::vector<std::string>{"/p/macro.xml the folder is read-only",
                                             "/p/ledeffect.xml the disk is full"}));
  log.SetListener(nullptr);
  log.Report("/p/record.xml", platform::FileStatus::FromErrno(EIO));
  EXPECT_EQ(heard.size(), 2u);
  EXPECT_EQ(log.Reported().size(), 3u);
}

}  // namespace
}  // namespace keyloom
