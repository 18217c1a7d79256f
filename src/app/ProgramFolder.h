#pragma once

#include <optional>
#include <string>

namespace keyloom {

// Where keyloom's files are. Every file keyloom reads or writes is found
// through the functions below; the decision itself is the pure
// DecideFileLocations, so every case can be tried without real folders.
// Paths are the system's bytes, never re-encoded.
//
// Portable: the executable's folder is writable and holds a config.xml;
// everything stays in it (a build's bin/, a copied program folder).
// Installed: anything else. The read-only resources come from the install's
// data folder (or, failing that, from beside the executable), and the
// user's files live in $XDG_CONFIG_HOME/keyloom; nothing is written into
// the install.

// What the decision depends on, gathered from the system by
// CurrentFileLocations.
struct FileLocationFacts {
  std::string executableFolder;
  bool executableFolderWritable = false;
  bool executableFolderHasConfig = false;
  bool executableFolderHasResources = false;  // holds uires/
  // The install's data folder (<bin>/../share/keyloom), and whether it holds uires/.
  std::string installDataFolder;
  bool installDataFolderHasResources = false;
  std::optional<std::string> xdgConfigHome;  // unset: nullopt
  std::string home;                          // $HOME, or the account's home folder
};

struct FileLocations {
  bool portable = false;
  // Holds uires/ and the sample config.xml; only ever read.
  std::string resourceFolder;
  // Holds config.xml and the four data files; the working directory.
  // Empty when no folder could be found (no home folder at all): then
  // nothing is read or written.
  std::string userFolder;
};

FileLocations DecideFileLocations(const FileLocationFacts& facts);

// The decision for this process, made once (after the Qt application exists).
const FileLocations& CurrentFileLocations();

// The folder of the executable, in the system's bytes (not necessarily
// UTF-8: pass it to the system as it is).
std::string ProgramFolder();

// The folder that holds uires/ and the sample config.xml.
std::string ResourceFolder();

// The folder that holds the user's files (config.xml and the data files).
std::string UserFolder();

// Full path of a file in the user's folder (config.xml, macro.xml,
// record.xml, sidemodel.xml, ledeffect.xml); empty when there is no user
// folder.
std::string DataFilePath(const std::string& fileName);

// Installed mode: creates the user's folder (and missing parents) for the
// owner only, and gives it the sample config.xml when it has none; an
// existing config.xml is never replaced. Nothing happens in portable mode.
// False, with one line on standard error, when the folder cannot be made.
bool PrepareUserFolder(const FileLocations& locations);

}  // namespace keyloom
