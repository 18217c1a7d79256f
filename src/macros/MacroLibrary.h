#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ModelFile.h"
#include "macros/MacroGroup.h"

namespace keyloom {

// The macro editor's workspace: the macro groups and the editor's persistent
// settings, kept in macro.xml beside the program. Settings are plain fields;
// whoever changes one decides whether to Save.
class MacroLibrary {
 public:
  // The process-wide library; never freed.
  static MacroLibrary& Instance();

  // The defaults, no groups and no path (tests make their own).
  MacroLibrary() = default;

  // Remembers `path` (also when reading fails, so that a later Save creates
  // the file) and reads it. False when the file cannot be read or parsed; the
  // groups and settings then keep their values. An empty path does nothing.
  bool Load(const std::string& path);
  // Writes the whole library to the loaded path; false when nothing was written.
  bool Save();

  int GroupCount() const { return static_cast<int>(groups.size()); }
  // A negative index means the selected group (`group`); null when the
  // resolved index is not a group.
  MacroGroup* GetGroup(int index);
  const MacroGroup* GetGroup(int index) const;
  // Appends an empty group named "Group <n>" (the first free n from the
  // group count up), then saves.
  void AddGroup();
  // Removes the group and saves; false when out of range. `group` is left
  // for the caller to adjust.
  bool DeleteGroup(int index);
  // Sets the name and saves, when the index is valid and the name differs.
  bool RenameGroup(int index, const std::wstring& newName);

  int32_t type = 0;       // editor page: 0 macro, 1 single key, 2 function key, 3 combination
  int32_t repeat = 1;     // times a macro is played
  int32_t delay = 10;     // fixed delay in ms, used when mode is 1
  int32_t mode = 0;       // recording delays: 0 measured, 1 fixed (`delay`), 2 none
  int32_t media = 0;      // selected FunctionKeyAction of DeviceConfig
  int32_t function = 0;   // selected KeyCombination of DeviceConfig
  int32_t skcode = 0;     // single-key target; 0 none
  int32_t group = 0;      // selected group; negative none; not kept in range
  int32_t recording = 0;  // non-zero while the editor records; never saved
  int32_t playmode = 0;   // click-to-stop: 0 off, 1 on
  std::vector<MacroGroup> groups;

  const std::string& Path() const { return file_.path(); }

 private:
  ModelFile file_;
};

}  // namespace keyloom
