#pragma once

#include <pugixml.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileStatus.h"

namespace keyloom::platform {
class IAtomicFileWriter;
}

namespace keyloom {

// The data file of one model: where it was loaded from, how it is read, and
// how it is written back so that no save can lose the user's data.
//
// Saves go through the platform's atomic writer (old or new file, never a
// torn one). A file that existed but could not be read or parsed, or that
// the parser could read only part of, is copied to "<name>.bad-<UTC time>"
// before the first save of the run replaces it, so a damaged file can still
// be mended by hand; one copy per damaged content, and no backup is ever
// replaced. Only regular files of a sane size are read: anything else in a
// data file's place is left alone for the run, and saves to it fail. Every
// failed save is reported to SaveFailures().
class ModelFile {
 public:
  // Whether a document without any element (a file holding only the XML
  // declaration) is a valid, empty file rather than a malformed one.
  enum class EmptyDocument { Malformed, Valid };

  // Remembers `path` and parses it into `doc` (UTF-8, default options, which
  // keep neither the declaration nor comments). False when the file is
  // missing, unreadable or malformed; `doc` is then empty. A file damaged
  // after a readable start gives that start (true; the file is kept aside).
  bool Load(const std::string& path, pugi::xml_document& doc, EmptyDocument empty = EmptyDocument::Malformed);

  // Writes `doc` to the remembered path: UTF-8, XML declaration, one element
  // per line, one tab per level. False when nothing was written (no path, the
  // write failed, or a damaged file could not be kept aside first).
  bool Save(const pugi::xml_document& doc);

  const std::string& path() const { return path_; }

  // True while a damaged file waits to be kept aside by the next save.
  bool backup_pending() const { return backupPending_; }
  // Saves go through `writer` from now on (null: the process's atomic
  // writer); a damaged file is still kept aside through the latter first.
  void SetWriter(platform::IAtomicFileWriter* writer) { writer_ = writer; }

 private:
  bool KeepDamagedFile();

  std::string path_;
  bool backupPending_ = false;
  size_t lastSize_ = 0;
  // Why the file is never read nor replaced this run (a folder or a pipe in
  // its place, a huge file); ok for an ordinary file.
  platform::FileStatus leftAlone_;
  platform::IAtomicFileWriter* writer_ = nullptr;
};

// A number attribute of a model file, found without regard to case and read
// as the C library's unsigned-long conversion reads it (a sign is accepted,
// "-1" gives 0xFFFFFFFF, values past 2^32-1 saturate); `missing` when the
// node has no such attribute. Signed fields take the 32 bits as they are.
uint32_t AttributeNumber(const pugi::xml_node& node, std::string_view name, uint32_t missing = 0);

// "20261210-151033" for `when` in UTC, as damaged files' copies are named
// ("<name>.bad-<stamp>"): sorts by time and is safe in every file system's names.
std::string BackupStamp(std::chrono::system_clock::time_point when);

// The text `Save` writes for `doc`; `expectedSize` is reserved up front.
std::string SerializeModelDocument(const pugi::xml_document& doc, size_t expectedSize = 0);

}  // namespace keyloom
