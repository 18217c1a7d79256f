#pragma once

#include <cstdint>

#include "device/HidDevice.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "protocol/CommandPacer.h"

namespace keyloom {

// The keyboard's commands as the main window sends them. A failed transfer
// is silent; the results only tell tests and callers that care whether the
// report went out.

// Sends effect `index` (-1: the current one) with its stored settings, at
// least 100 ms after the previous lighting command. An index that names no
// entry sends nothing and leaves the pacer alone; otherwise the pacer waits
// and moves on also when the device is closed.
bool SendLightingEffect(HidDevice& device, const LightingEffectSettings& effects, CommandPacer& pacer,
                        int32_t index);

// The same for side-light mode `index` (-1: the current one) and its level.
bool SendSideLightMode(HidDevice& device, const SideLightSettings& sideLight, CommandPacer& pacer, int32_t index);

// Asks an open keyboard for its firmware version and stores major × 256 +
// minor in `firmwareVersion`. Closed device or failed transfer: false, and
// `firmwareVersion` keeps its value.
bool QueryFirmwareVersion(HidDevice& device, int32_t& firmwareVersion);

// Tells the keyboard to restore its factory settings (an output report with
// the 3000 ms write time-out).
bool SendRestoreFactory(HidDevice& device);

// The lighting report sent once by the worker thread shortly after start-up:
// effect `first` (-1: the current one), the entry's bytes in their own order,
// without pacing. The other three values are not used.
bool SendStartupEffect(HidDevice& device, const LightingEffectSettings& effects, int32_t first, int32_t second,
                       int32_t third, int32_t fourth);

}  // namespace keyloom
