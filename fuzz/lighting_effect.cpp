// ledeffect.xml as LightingEffectSettings reads it: no input crashes, and whatever is read saves
// and reads back to the same bytes.
#include "FuzzSupport.h"
#include "lighting/LightingEffectSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyloom::fuzz::CheckRoundTrip<keyloom::LightingEffectSettings>(data, size, "ledeffect.xml");
  return 0;
}
