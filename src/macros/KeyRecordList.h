#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ModelFile.h"
#include "macros/KeyRecord.h"

namespace keyloom {

// The key assignments in order of creation, kept in record.xml beside the
// program. Changed through AddOrReplace it holds one record per key code; a
// file may hold more, and all of them are kept.
class KeyRecordList {
 public:
  // The process-wide list; never freed.
  static KeyRecordList& Instance();

  KeyRecordList() = default;

  // Remembers `path` and reads it. False when the file cannot be read or
  // parsed; the records are then left as they were. A file holding only the
  // XML declaration is an empty list. An empty path does nothing.
  bool Load(const std::string& path);
  // Writes the whole list to the loaded path; false when nothing was written.
  bool Save();

  // Overwrites the first record with the same code, in place; otherwise
  // appends a copy and saves.
  void AddOrReplace(const KeyRecord& record);
  // Removes the first record with `code`; false when there is none. No save.
  bool Remove(int32_t code);

  std::vector<KeyRecord> records;

  const std::string& Path() const { return file_.path(); }

 private:
  ModelFile file_;
};

}  // namespace keyloom
