#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/ModelFile.h"
#include "lighting/EffectEntry.h"

namespace keyloom {

// The 22 main-backlight effects with their stored settings and the current
// effect; kept in ledeffect.xml beside the program and saved after every change.
class LightingEffectSettings {
 public:
  static constexpr int kEntryCount = 22;
  static constexpr int32_t kDefaultCurrent = 20;

  // The process-wide model; never freed.
  static LightingEffectSettings& Instance();

  // Starts with the factory defaults and no path (tests make their own).
  LightingEffectSettings();

  // Remembers `path` and reads it. A missing or malformed file puts the
  // factory defaults in place and saves them; the result is false then. An
  // empty path does nothing and yields false.
  bool Load(const std::string& path);
  // Writes the whole model to the loaded path; false when nothing was written.
  bool Save();

  // The entry at `index` (-1: the current one); null outside 0..21.
  EffectEntry* GetEntry(int index);
  const EffectEntry* GetEntry(int index) const;
  int32_t GetCurrent() const { return current_; }
  // Stores `index` as the current effect and saves; the result is Save's.
  bool SetCurrent(int32_t index);
  // Every entry to 0x01000105, current effect 20, then saves.
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
  std::array<EffectEntry, kEntryCount> entries_{};
  int32_t current_ = kDefaultCurrent;
};

}  // namespace keyloom
