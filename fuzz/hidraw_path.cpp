// A hidraw node's sysfs path and the device paths made from it. Input: one
// byte of collection count, the sysfs path, a newline, the device node.
// No input crashes; a path made for a node gives that node and its
// collection back.
#include <string_view>

#include "FuzzSupport.h"
#include "platform/linux/HidrawPaths.h"

using namespace keyloom::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int collections = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t newline = rest.find('\n');
  const std::string syspath(rest.substr(0, newline));
  const std::string devnode(newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1));

  // Paths from elsewhere (the enumeration, a notification) are read too.
  const std::wstring raw(rest.begin(), rest.end());
  (void)DevnodeFromPath(raw);
  (void)CollectionFromPath(raw);

  HidrawIdentity identity;
  if (!IdentityFromSysPath(syspath, identity)) return 0;
  if (identity.vid < 0 || identity.vid > 0xFFFF || identity.pid < 0 || identity.pid > 0xFFFF) {
    keyloom::fuzz::Fail("vendor or product outside 16 bits", syspath, "");
  }
  const std::vector<std::wstring> paths = HidrawPaths(identity, collections, devnode);
  const bool nodeKept = !devnode.empty() && devnode[0] == '/' && devnode.find('#') == std::string::npos;
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string node = DevnodeFromPath(paths[i]);
    if (nodeKept && node != devnode) keyloom::fuzz::Fail("the node did not come back", devnode, node);
    const int expected = collections > 1 ? static_cast<int>(i) + 1 : 0;
    // A node with a '#' of its own (no real one has) moves the split.
    if (nodeKept && CollectionFromPath(paths[i]) != expected) {
      keyloom::fuzz::Fail("the collection did not come back", syspath, std::to_string(expected));
    }
  }
  return 0;
}
