// Where keyloom keeps its files: the decision from the facts, and the user's
// folder made ready at start-up.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/ProgramFolder.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

struct LocationCase {
  const char* name;
  bool writable;
  bool hasConfig;
  bool besideHasResources;  // uires/ beside the executable
  bool installHasResources;  // uires/ in <bin>/../share/keyloom
  std::optional<std::string> xdgConfigHome;
  std::string home;
  bool portable;
  const char* resourceFolder;
  const char* userFolder;
};
std::ostream& operator<<(std::ostream& os, const LocationCase& c) { return os << c.name; }

class DecideFileLocationsTable : public testing::TestWithParam<LocationCase> {};

TEST_P(DecideFileLocationsTable, PicksTheFoldersFromTheFacts) {
  const LocationCase& c = GetParam();
  FileLocationFacts facts;
  facts.executableFolder = "/opt/kl/bin";
  facts.executableFolderWritable = c.writable;
  facts.executableFolderHasConfig = c.hasConfig;
  facts.executableFolderHasResources = c.besideHasResources;
  facts.installDataFolder = "/opt/kl/share/keyloom";
  facts.installDataFolderHasResources = c.installHasResources;
  facts.xdgConfigHome = c.xdgConfigHome;
  facts.home = c.home;
  const FileLocations locations = DecideFileLocations(facts);
  EXPECT_EQ(locations.portable, c.portable);
  EXPECT_EQ(locations.resourceFolder, c.resourceFolder);
  EXPECT_EQ(locations.userFolder, c.userFolder);
}

const std::optional<std::string> kUnset;
constexpr const char* kBin = "/opt/kl/bin";
constexpr const char* kShare = "/opt/kl/share/keyloom";

INSTANTIATE_TEST_SUITE_P(Table, DecideFileLocationsTable, testing::Values(
    // A build's bin/ or a copied program folder: everything stays there,
    // whatever the environment says.
    LocationCase{"WritableWithConfigIsPortable", true, true, true, false, "/x/conf", "/home/u",
                 true, kBin, kBin},
    LocationCase{"PortableEvenWithAnInstallBesideIt", true, true, true, true, kUnset, "/home/u",
                 true, kBin, kBin},
    // Installed: read-only, or no config.xml beside the executable.
    LocationCase{"ReadOnlyFolderIsInstalled", false, true, false, true, kUnset, "/home/u",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"FolderWithoutConfigIsInstalled", true, false, false, true, kUnset, "/home/u",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"XdgConfigHomeSetIsUsed", false, false, false, true, "/x/conf", "/home/u",
                 false, kShare, "/x/conf/keyloom"},
    LocationCase{"XdgConfigHomeEmptyCountsAsUnset", false, false, false, true, "", "/home/u",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"XdgConfigHomeRelativeIsIgnored", false, false, false, true, "conf", "/home/u",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"TrailingSlashesAreDropped", false, false, false, true, "/x/conf//", "/home/u/",
                 false, kShare, "/x/conf/keyloom"},
    LocationCase{"HomeTrailingSlash", false, false, false, true, kUnset, "/home/u/",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"RootAsHome", false, false, false, true, kUnset, "/",
                 false, kShare, "/.config/keyloom"},
    // No home at all: no user folder, so nothing is read or written.
    LocationCase{"NoHomeAndNoXdgGivesNoUserFolder", false, false, false, true, kUnset, "",
                 false, kShare, ""},
    LocationCase{"RelativeHomeGivesNoUserFolder", false, false, false, true, kUnset, "home/u",
                 false, kShare, ""},
    // A program folder unpacked read-only keeps its resources beside the
    // executable; an install's data folder wins when both have them.
    LocationCase{"ReadOnlyCopyUsesResourcesBesideTheExecutable", false, true, true, false, kUnset, "/home/u",
                 false, kBin, "/home/u/.config/keyloom"},
    LocationCase{"InstallDataWinsOverResourcesBeside", false, false, true, true, kUnset, "/home/u",
                 false, kShare, "/home/u/.config/keyloom"},
    LocationCase{"NoResourcesAnywhereStillNamesTheInstall", false, false, false, false, kUnset, "/home/u",
                 false, kShare, "/home/u/.config/keyloom"}),
    [](const testing::TestParamInfo<LocationCase>& info) { return std::string(info.param.name); });

TEST(DecideFileLocations, PortableNeedsBothAWritableFolderAndAConfig) {
  // The two facts are not interchangeable: each alone leaves keyloom installed.
  for (const auto& [writable, hasConfig] : {std::pair{true, false}, std::pair{false, true}, std::pair{false, false}}) {
    FileLocationFacts facts;
    facts.executableFolder = kBin;
    facts.executableFolderWritable = writable;
    facts.executableFolderHasConfig = hasConfig;
    facts.installDataFolder = kShare;
    facts.home = "/home/u";
    EXPECT_FALSE(DecideFileLocations(facts).portable) << writable << hasConfig;
  }
}

// The user's folder of an installed keyloom, made ready on real folders.
class PrepareUserFolderTest : public testing::Test {
 protected:
  PrepareUserFolderTest() {
    fs::create_directories(share_);
    sample_ = folder_.Write("share/config.xml", "<local language=\"en\"/>\n");
    locations_.portable = false;
    locations_.resourceFolder = share_.string();
    locations_.userFolder = (folder_.path() / "home/.config/keyloom").string();
  }
  static fs::perms Mode(const fs::path& p) { return fs::status(p).permissions() & fs::perms::mask; }

  test::TempDir folder_;
  fs::path share_ = folder_.path() / "share";
  std::string sample_;
  FileLocations locations_;
};

TEST_F(PrepareUserFolderTest, MakesTheFolderAndItsMissingParentsForTheOwnerOnlyAndCopiesTheSample) {
  fs::create_directories(folder_.path() / "home");
  fs::permissions(folder_.path() / "home", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  ASSERT_TRUE(PrepareUserFolder(locations_));
  EXPECT_EQ(Mode(locations_.userFolder), fs::perms::owner_all);
  EXPECT_EQ(Mode(folder_.path() / "home/.config"), fs::perms::owner_all);
  // A folder that was there keeps its own permissions.
  EXPECT_EQ(Mode(folder_.path() / "home"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_EQ(folder_.Read("home/.config/keyloom/config.xml"), "<local language=\"en\"/>\n");
  // Only the configuration: no leftover partial copy beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(locations_.userFolder), fs::directory_iterator()), 1);
}

TEST_F(PrepareUserFolderTest, NeverReplacesAnExistingConfig) {
  folder_.Write("home/.config/keyloom/config.xml", "<local language=\"cn\"/>\n");
  ASSERT_TRUE(PrepareUserFolder(locations_));
  ASSERT_TRUE(PrepareUserFolder(locations_));
  EXPECT_EQ(folder_.Read("home/.config/keyloom/config.xml"), "<local language=\"cn\"/>\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(locations_.userFolder), fs::directory_iterator()), 1);
}

TEST_F(PrepareUserFolderTest, WithoutASampleTheFolderStaysEmpty) {
  fs::remove(sample_);
  ASSERT_TRUE(PrepareUserFolder(locations_));
  EXPECT_TRUE(fs::is_directory(locations_.userFolder));
  EXPECT_TRUE(fs::is_empty(locations_.userFolder));
}

TEST_F(PrepareUserFolderTest, AFolderThatCannotBeMadeIsAnErrorNotACrash) {
  folder_.Write("home", "a file where a folder should be");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(PrepareUserFolder(locations_));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot create"), std::string::npos);
  locations_.userFolder.clear();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(PrepareUserFolder(locations_));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no home folder"), std::string::npos);
}

TEST_F(PrepareUserFolderTest, PortableTouchesNothing) {
  locations_.portable = true;
  locations_.userFolder = share_.string();
  ASSERT_TRUE(PrepareUserFolder(locations_));
  EXPECT_FALSE(fs::exists(folder_.path() / "home"));
  EXPECT_EQ(std::distance(fs::directory_iterator(share_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace keyloom
