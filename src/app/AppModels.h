#pragma once

namespace keyloom {

// The process-wide models. Each slot is reached through its model's own
// Instance(), which creates it empty on first use; none is ever freed.
//   DeviceConfig::Instance()            config.xml (read only)
//   LightingEffectSettings::Instance()  ledeffect.xml
//   MacroLibrary::Instance()            macro.xml
//   KeyRecordList::Instance()           record.xml
//   SideLightSettings::Instance()       sidemodel.xml
//   KeyboardHook::Instance()            the global keyboard hook and its listeners
namespace AppModels {

// Loads the data files from the program folder, each into its slot, in this
// order: macro.xml, record.xml, sidemodel.xml, ledeffect.xml. A missing or
// unreadable file leaves its model as its loader leaves it.
void LoadDataFiles();

}  // namespace AppModels
}  // namespace keyloom
