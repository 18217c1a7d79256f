#include "platform/linux/ReportDescriptor.h"

#include <algorithm>
#include <map>

namespace keyloom::platform {
namespace {

struct Globals {
  uint32_t usagePage = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint32_t reportId = 0;
};

enum Kind { kInput, kOutput, kFeature };

uint32_t ItemValue(const uint8_t* data, int size) {
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return value;
}

uint16_t ReportBytes(const std::map<uint32_t, uint32_t>& bitsById) {
  uint32_t longest = 0;
  for (const auto& [id, bits] : bitsById) longest = std::max(longest, (bits + 7) / 8);
  // The system counts the report id byte also when the device uses no ids.
  return bitsById.empty() ? 0 : static_cast<uint16_t>(std::min<uint32_t>(longest + 1, 0xFFFF));
}

}  // namespace

std::vector<HidCaps> ParseTopLevelCollections(const uint8_t* descriptor, size_t length) {
  std::vector<HidCaps> collections;
  std::vector<std::map<uint32_t, uint32_t>> bits[3];  // [kind][collection]: report id -> bits
  Globals globals;
  std::vector<Globals> stack;
  uint32_t usage = 0;
  bool haveUsage = false;
  bool usageHasPage = false;  // a four-byte usage carries its page in the upper half
  int depth = 0;

  size_t pos = 0;
  while (pos < length) {
    const uint8_t prefix = descriptor[pos];
    if (prefix == 0xFE) {  // long item: size, tag, data
      if (pos + 1 >= length) break;
      pos += 3 + descriptor[pos + 1];
      continue;
    }
    const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (pos + 1 + size > length) break;
    const uint32_t value = ItemValue(descriptor + pos + 1, size);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    pos += 1 + size;

    if (type == 0) {  // main
      if (tag == 0xA) {  // collection
        if (depth == 0) {
          HidCaps caps;
          caps.usagePage = static_cast<uint16_t>(usageHasPage ? usage >> 16 : globals.usagePage);
          caps.usage = static_cast<uint16_t>(usage);
          collections.push_back(caps);
          for (auto& kind : bits) kind.emplace_back();
        }
        ++depth;
      } else if (tag == 0xC) {  // end collection
        if (depth > 0) --depth;
      } else if ((tag == 0x8 || tag == 0x9 || tag == 0xB) && depth > 0 && !collections.empty()) {
        const Kind kind = tag == 0x8 ? kInput : tag == 0x9 ? kOutput : kFeature;
        bits[kind].back()[globals.reportId] += globals.reportSize * globals.reportCount;
      }
      usage = 0;
      haveUsage = false;
      usageHasPage = false;
    } else if (type == 1) {  // global
      switch (tag) {
        case 0x0: globals.usagePage = value; break;
        case 0x7: globals.reportSize = value; break;
        case 0x8: globals.reportId = value; break;
        case 0x9: globals.reportCount = value; break;
        case 0xA: stack.push_back(globals); break;
        case 0xB:
          if (!stack.empty()) {
            globals = stack.back();
            stack.pop_back();
          }
          break;
        default: break;
      }
    } else if (type == 2 && tag == 0x0 && !haveUsage) {  // first local usage
      usage = value;
      haveUsage = true;
      usageHasPage = size == 4;
    }
  }

  for (size_t i = 0; i < collections.size(); ++i) {
    collections[i].inputReportByteLength = ReportBytes(bits[kInput][i]);
    collections[i].outputReportByteLength = ReportBytes(bits[kOutput][i]);
    collections[i].featureReportByteLength = ReportBytes(bits[kFeature][i]);
  }
  return collections;
}

}  // namespace keyloom::platform
