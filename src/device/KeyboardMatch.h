#pragma once

#include "config/DeviceConfig.h"
#include "device/HidPath.h"

namespace keyloom {

// Whether a device-change notification's path names the configured
// keyboard. The wildcards sit on the path's side here: a part the path does
// not carry matches any configured value, while a configured interface or
// collection of -1 never equals a number the path does carry. (Discovery
// puts the wildcards on the configured side.)
bool NotifiedPathIsKeyboard(const HidPathIds& parsed, const DeviceConfig& config);

}  // namespace keyloom
