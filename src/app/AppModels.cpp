#include "app/AppModels.h"

#include "app/ProgramFolder.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"

namespace keyloom::AppModels {

void LoadDataFiles() {
  MacroLibrary::Instance().Load(DataFilePath("macro.xml"));
  KeyRecordList::Instance().Load(DataFilePath("record.xml"));
  SideLightSettings::Instance().Load(DataFilePath("sidemodel.xml"));
  LightingEffectSettings::Instance().Load(DataFilePath("ledeffect.xml"));
}

}  // namespace keyloom::AppModels
