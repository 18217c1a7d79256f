// record.xml as KeyRecordList reads it: no input crashes, and whatever is read saves
// and reads back to the same bytes.
#include "FuzzSupport.h"
#include "macros/KeyRecordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyloom::fuzz::CheckRoundTrip<keyloom::KeyRecordList>(data, size, "record.xml");
  return 0;
}
