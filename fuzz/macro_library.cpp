// macro.xml as MacroLibrary reads it: no input crashes, and whatever is read saves
// and reads back to the same bytes.
#include "FuzzSupport.h"
#include "macros/MacroLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyloom::fuzz::CheckRoundTrip<keyloom::MacroLibrary>(data, size, "macro.xml");
  return 0;
}
