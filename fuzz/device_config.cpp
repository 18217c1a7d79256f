// config.xml as DeviceConfig reads it: no input crashes, and every action
// read has the name that made it count.
#include "FuzzSupport.h"
#include "config/DeviceConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyloom::fuzz::ClearScratch();
  const std::string path = keyloom::fuzz::WriteScratch("config.xml", data, size);
  keyloom::DeviceConfig config;
  config.Load(path);
  for (const keyloom::FunctionKeyAction& action : config.functionKeys) {
    if (action.name.empty()) keyloom::fuzz::Fail("a function key without a name was kept", path, "");
  }
  return 0;
}
