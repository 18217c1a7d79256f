// HID report descriptors as the Linux backend reads them from sysfs: no
// descriptor crashes or reads past its end.
#include "FuzzSupport.h"
#include "platform/linux/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so AddressSanitizer sees any read past it.
  std::vector<uint8_t> descriptor(data, data + size);
  (void)keyloom::platform::ParseTopLevelCollections(descriptor.data(), descriptor.size());
  return 0;
}
