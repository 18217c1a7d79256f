#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#ifndef KEYLOOM_INSTALL_DATA_RELATIVE
#define KEYLOOM_INSTALL_DATA_RELATIVE "../share/keyloom"
#endif

#include "platform/ExecutableFolder.h"

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr const char* kConfigFile = "config.xml";
constexpr const char* kResourceFolder = "uires";

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::path(path), ec);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(path), ec);
}

// The account's home folder when HOME is not set (a service, say).
std::string AccountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir) {
    return {};
  }
  return found->pw_dir;
}

FileLocationFacts GatherFacts() {
  FileLocationFacts facts;
  facts.executableFolder = ProgramFolder();
  facts.executableFolderWritable = ::access(facts.executableFolder.c_str(), W_OK) == 0;
  facts.executableFolderHasConfig = IsFile(facts.executableFolder + "/" + kConfigFile);
  facts.executableFolderHasResources = IsDirectory(facts.executableFolder + "/" + kResourceFolder);
  facts.installDataFolder =
      (fs::path(facts.executableFolder) / KEYLOOM_INSTALL_DATA_RELATIVE).lexically_normal().string();
  facts.installDataFolder = WithoutTrailingSlashes(facts.installDataFolder);
  facts.installDataFolderHasResources = IsDirectory(facts.installDataFolder + "/" + kResourceFolder);
  if (const char* value = std::getenv("XDG_CONFIG_HOME")) facts.xdgConfigHome = value;
  const char* home = std::getenv("HOME");
  facts.home = home && *home ? home : AccountHome();
  return facts;
}

// Creates a folder and its missing parents for the owner alone; folders
// that already exist keep their permissions.
bool MakeFolderForOwner(const fs::path& folder, std::error_code& ec) {
  if (fs::is_directory(folder, ec)) return true;
  const fs::path parent = folder.parent_path();
  if (!parent.empty() && parent != folder && !MakeFolderForOwner(parent, ec)) return false;
  if (!fs::create_directory(folder, ec)) {
    // Made meanwhile by another start: as good.
    return fs::is_directory(folder, ec);
  }
  fs::permissions(folder, fs::perms::owner_all, ec);
  return !ec;
}

// Gives the user's folder its first config.xml. The copy is made under
// another name and then linked into place, which fails when a config.xml
// exists: an edited one is never replaced, even by a second start racing
// this one, and nobody ever sees a half-copied file.
void CopySampleConfig(const std::string& sample, const std::string& target) {
  std::error_code ec;
  if (fs::exists(fs::path(target), ec) || !IsFile(sample)) return;
  const fs::path partial = target + ".new-" + std::to_string(QCoreApplication::applicationPid());
  if (!fs::copy_file(sample, partial, fs::copy_options::overwrite_existing, ec)) {
    std::fprintf(stderr, "keyloom: cannot copy %s to %s (%s)\n", sample.c_str(), target.c_str(), ec.message().c_str());
    fs::remove(partial, ec);
    return;
  }
  fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, ec);
  fs::create_hard_link(partial, target, ec);
  std::error_code ignored;
  if (ec && ec != std::errc::file_exists && !fs::exists(fs::path(target), ignored)) {
    // A file system without hard links: the small race with another start
    // is the lesser evil than no configuration.
    fs::rename(partial, target, ec);
  }
  fs::remove(partial, ec);
}

}  // namespace

FileLocations DecideFileLocations(const FileLocationFacts& facts) {
  FileLocations locations;
  if (facts.executableFolderWritable && facts.executableFolderHasConfig) {
    locations.portable = true;
    locations.resourceFolder = facts.executableFolder;
    locations.userFolder = facts.executableFolder;
    return locations;
  }
  // A folder unpacked somewhere read-only still carries its resources
  // beside the executable; an install keeps them in its data folder.
  locations.resourceFolder = facts.installDataFolderHasResources || !facts.executableFolderHasResources
                                 ? facts.installDataFolder
                                 : facts.executableFolder;
  // Only an absolute XDG_CONFIG_HOME counts; an empty or relative one is
  // treated as unset, as the base-directory rules ask.
  std::string configHome;
  if (facts.xdgConfigHome && !facts.xdgConfigHome->empty() && facts.xdgConfigHome->front() == '/') {
    configHome = *facts.xdgConfigHome;
  } else if (!facts.home.empty() && facts.home.front() == '/') {
    configHome = WithoutTrailingSlashes(facts.home);
    if (configHome != "/") configHome += '/';
    configHome += ".config";
  }
  if (!configHome.empty()) {
    configHome = WithoutTrailingSlashes(configHome);
    locations.userFolder = configHome == "/" ? "/keyloom" : configHome + "/keyloom";
  }
  return locations;
}

const FileLocations& CurrentFileLocations() {
  static const FileLocations locations = DecideFileLocations(GatherFacts());
  return locations;
}

std::string ProgramFolder() {
  // The system's own bytes: a detour through QString would garble a folder
  // name that is not valid UTF-8, and every file would be looked for elsewhere.
  std::string folder = platform::ExecutableFolder();
  if (folder.empty()) folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  return folder;
}

std::string ResourceFolder() { return CurrentFileLocations().resourceFolder; }

std::string UserFolder() { return CurrentFileLocations().userFolder; }

std::string DataFilePath(const std::string& fileName) {
  const std::string& folder = CurrentFileLocations().userFolder;
  return folder.empty() ? std::string() : folder + "/" + fileName;
}

bool PrepareUserFolder(const FileLocations& locations) {
  if (locations.portable) return true;
  if (locations.userFolder.empty()) {
    std::fprintf(stderr, "keyloom: no home folder (HOME is not set); settings are not kept\n");
    return false;
  }
  std::error_code ec;
  if (!MakeFolderForOwner(fs::path(locations.userFolder), ec)) {
    std::fprintf(stderr, "keyloom: cannot create %s (%s); settings are not kept\n", locations.userFolder.c_str(),
                 ec.message().c_str());
    return false;
  }
  CopySampleConfig(locations.resourceFolder + "/" + kConfigFile, locations.userFolder + "/" + kConfigFile);
  return true;
}

}  // namespace keyloom
