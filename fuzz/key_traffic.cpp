// The key-traffic notation tests are written in: no text crashes, and what
// a text parses to, formatted and parsed again, is the same traffic.
#include <string_view>

#include "FuzzSupport.h"
#include "platform/test/KeyTraffic.h"

using namespace keyloom::platform;

namespace {

bool Same(const KeyTrafficItem& a, const KeyTrafficItem& b) {
  return a.waitMs == b.waitMs && a.message == b.message && a.event.vkCode == b.event.vkCode &&
         a.event.scanCode == b.event.scanCode && a.event.flags == b.event.flags &&
         a.event.dwExtraInfo == b.event.dwExtraInfo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const KeyTrafficParse parsed = ParseKeyTraffic(text);
  if (!parsed.ok()) {
    if (!parsed.items.empty()) keyloom::fuzz::Fail("a failed parse kept items", std::string(text), "");
    return 0;
  }
  std::string formatted;
  for (const KeyTrafficItem& item : parsed.items) {
    if (!formatted.empty()) formatted += ' ';
    formatted += FormatKeyTrafficItem(item);
  }
  const KeyTrafficParse again = ParseKeyTraffic(formatted);
  if (!again.ok()) keyloom::fuzz::Fail("the formatted traffic does not parse", std::string(text), formatted);
  if (again.items.size() != parsed.items.size() ||
      !std::equal(again.items.begin(), again.items.end(), parsed.items.begin(), Same)) {
    keyloom::fuzz::Fail("the formatted traffic parses differently", std::string(text), formatted);
  }
  return 0;
}
