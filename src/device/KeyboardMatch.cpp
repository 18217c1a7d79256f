#include "device/KeyboardMatch.h"

namespace keyloom {

bool NotifiedPathIsKeyboard(const HidPathIds& parsed, const DeviceConfig& config) {
  if (parsed.vid != 0 && parsed.vid != config.vid) return false;
  if (parsed.pid != 0 && parsed.pid != config.pid) return false;
  if (parsed.mi >= 0 && parsed.mi != config.interface) return false;
  if (parsed.col >= 0 && parsed.col != config.subdevice) return false;
  return true;
}

}  // namespace keyloom
