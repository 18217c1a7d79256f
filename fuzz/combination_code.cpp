// config.xml's combination codes ("17:0,67:0"): no input crashes, and the
// steps read, written back as "key:number,...", read as the same steps.
#include <string_view>

#include "FuzzSupport.h"
#include "config/DeviceConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  const auto steps = keyloom::ParseCombinationCode(code);
  std::string written;
  for (const auto& [key, number] : steps) {
    if (!written.empty()) written += ',';
    written += std::to_string(key) + ':' + std::to_string(number);
  }
  if (keyloom::ParseCombinationCode(written) != steps) {
    keyloom::fuzz::Fail("the steps read differently once written back", std::string(code), written);
  }
  return 0;
}
