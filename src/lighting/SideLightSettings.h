#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/ModelFile.h"
#include "lighting/SideModeEntry.h"

namespace keyloom {

// The 12 side-light modes with their levels and the current mode; kept in
// sidemodel.xml beside the program and saved after every change.
class SideLightSettings {
 public:
  static constexpr int kEntryCount = 12;

  // The process-wide model; never freed.
  static SideLightSettings& Instance();

  // Starts with the factory defaults and no path (tests make their own).
  SideLightSettings();

  // Remembers `path` and reads it. A missing or malformed file resets the
  // defaults and saves them; the result is false then. An empty path does
  // nothing and yields false.
  bool Load(const std::string& path);
  // Writes the whole model to the loaded path; false when nothing was written.
  bool Save();

  // The entry at `index` (-1: the current one); null outside 0..11.
  SideModeEntry* GetEntry(int index);
  const SideModeEntry* GetEntry(int index) const;
  int32_t GetCurrent() const { return current_; }
  // Stores `index` as the current mode and saves; the result is Save's.
  bool SetCurrent(int32_t index);
  // Levels 4 for modes 0..2 and 7 for the rest, byte 1's flag set and its
  // bits 1..3 cleared (other reserved bits kept), current mode 0; then saves.
  bool ResetDefaults();

  const std::string& Path() const { return file_.path(); }
  // Where saves are written (null: at once, through the process's atomic
  // writer); the program hands the lighting files to a background writer so
  // that dragging a slider never waits on the disk.
  void SetFileWriter(platform::IAtomicFileWriter* writer) { file_.SetWriter(writer); }

 private:
  void ApplyDefaults();
  void ReadDocument(const pugi::xml_document& doc);

  ModelFile file_;
  std::array<SideModeEntry, kEntryCount> entries_{};
  int32_t current_ = 0;
};

}  // namespace keyloom
