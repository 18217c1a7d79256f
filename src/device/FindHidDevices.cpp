#include "device/FindHidDevices.h"

#include <cstdio>

#include "device/HidPath.h"
#include "device/Trace.h"

namespace keyloom {
namespace {

// -1 passes anything, 0 or more must be equal, below -1 passes nothing.
bool PartMatches(int32_t wanted, int32_t parsed) {
  if (wanted >= 0) return parsed == wanted;
  return wanted == -1;
}

bool ProductListed(int32_t pid, const int32_t* pids, int32_t pidCount) {
  for (int32_t i = 0; i < pidCount; ++i) {
    if (pids[i] == pid) return true;
  }
  return false;
}

void Probe(platform::HidPlatform& platform, HidDeviceInfo& info) {
  const platform::HidHandle handle = platform.Open(info.path, platform::kHidReadWriteShared);
  Trace("open dev: %08x\n", static_cast<unsigned>(handle));
  if (handle == platform::kInvalidHidHandle || handle == platform::kNullHidHandle) return;
  platform::HidAttributes attributes;
  if (platform.GetAttributes(handle, attributes)) info.versionNumber = attributes.versionNumber;
  platform::HidCaps caps;
  if (platform.GetCaps(handle, caps)) {
    info.usagePage = caps.usagePage;
    info.usage = caps.usage;
  }
  platform.Close(handle);
}

}  // namespace

std::string FormatGuid(const platform::HidGuid& guid) {
  char tail[17];
  for (int i = 0; i < 8; ++i) std::snprintf(tail + 2 * i, 3, "%02x", guid.data4[i]);
  char text[64];
  std::snprintf(text, sizeof text, "%04x-%02x-%02x-%s", guid.data1, guid.data2, guid.data3, tail);
  return text;
}

std::vector<HidDeviceInfo> FindHidDevices(platform::HidPlatform& platform, int32_t vid, const int32_t* pids,
                                          int32_t pidCount, int32_t interface, int32_t collection) {
  std::vector<HidDeviceInfo> result;
  const bool anyProduct = pids == nullptr || pidCount <= 0;
  if (anyProduct && vid <= 0) return result;

  platform::HidInterfaceList list;
  if (!platform.ListInterfaces(list)) return result;
  Trace("got classs: guid={%s}\n", FormatGuid(list.interfaceClass).c_str());

  int index = 0;
  for (const platform::HidInterfaceEntry& entry : list.interfaces) {
    Trace("enum interface: guid={%s} index=%d\n", FormatGuid(entry.interfaceClass).c_str(), index++);
    if (entry.fetch == platform::HidPathFetch::NoSize) continue;
    if (entry.fetch == platform::HidPathFetch::Failed) {
      Trace("获取接口信息失败\n");
      continue;
    }
    HidPathIds ids;
    if (!ParseHidPath(entry.path, ids)) continue;
    if (!anyProduct && !ProductListed(ids.pid, pids, pidCount)) continue;
    if (vid > 0 && ids.vid != vid) continue;
    if (!PartMatches(interface, ids.mi)) continue;
    if (!PartMatches(collection, ids.col)) continue;

    HidDeviceInfo& info = result.emplace_back();
    info.path = entry.path;
    info.interfaceClass = entry.interfaceClass;
    info.interfaceFlags = entry.interfaceFlags;
    info.vid = ids.vid;
    info.pid = ids.pid;
    Probe(platform, info);
  }
  return result;
}

}  // namespace keyloom
