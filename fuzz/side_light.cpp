// sidemodel.xml as SideLightSettings reads it: no input crashes, and whatever is read saves
// and reads back to the same bytes.
#include "FuzzSupport.h"
#include "lighting/SideLightSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyloom::fuzz::CheckRoundTrip<keyloom::SideLightSettings>(data, size, "sidemodel.xml");
  return 0;
}
