#include "platform/linux/HidrawPaths.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <sstream>
#include <string_view>
#include <system_error>

namespace keyloom::platform {
namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The whole of `text` as an unsigned number; false for anything else (empty,
// a sign, other characters, out of range). Sysfs names come from devices and
// drivers, so nothing here may throw.
template <typename Unsigned>
bool ParseWhole(std::string_view text, int base, Unsigned& value) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value, base);
  return error == std::errc() && at == end && !text.empty();
}

// "0003:1A2B:3C4D.0005": bus, vendor, product, instance, all hexadecimal.
bool ParseHidComponent(const std::string& part, HidrawIdentity& identity) {
  if (part.size() != 19 || part[4] != ':' || part[9] != ':' || part[14] != '.') return false;
  for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 7u, 8u, 10u, 11u, 12u, 13u, 15u, 16u, 17u, 18u}) {
    if (!IsHex(part[i])) return false;
  }
  uint16_t vid = 0, pid = 0;
  if (!ParseWhole(std::string_view(part).substr(5, 4), 16, vid) ||
      !ParseWhole(std::string_view(part).substr(10, 4), 16, pid)) {
    return false;
  }
  identity.vid = vid;
  identity.pid = pid;
  return true;
}

// "1-2.4:1.1": a USB interface, "<bus>-<ports>:<configuration>.<interface>"
// with decimal numbers.
bool ParseUsbInterface(const std::string& part, int32_t& interface) {
  const size_t dash = part.find('-');
  const size_t colon = part.find(':');
  if (dash == std::string::npos || colon == std::string::npos || dash > colon) return false;
  const size_t dot = part.find('.', colon);
  if (dot == std::string::npos || dot + 1 >= part.size()) return false;
  for (size_t i = 0; i < part.size(); ++i) {
    const char c = part[i];
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == ':')) return false;
  }
  // "1-2:1.." or "1-2:1.99999999999" look like one but name no interface
  // (bInterfaceNumber is one byte).
  uint8_t number = 0;
  if (!ParseWhole(std::string_view(part).substr(dot + 1), 10, number)) return false;
  interface = number;
  return true;
}

}  // namespace

bool IdentityFromSysPath(const std::string& syspath, HidrawIdentity& identity) {
  HidrawIdentity found;
  bool hid = false;
  int32_t lastInterface = -1;
  std::stringstream parts(syspath);
  std::string part;
  while (std::getline(parts, part, '/')) {
    int32_t interface;
    if (ParseUsbInterface(part, interface)) lastInterface = interface;
    if (ParseHidComponent(part, found)) {
      hid = true;
      found.mi = lastInterface;
    }
  }
  if (!hid) return false;
  identity = found;
  return true;
}

std::vector<std::wstring> HidrawPaths(const HidrawIdentity& identity, int collectionCount,
                                      const std::string& devnode) {
  wchar_t head[64];
  std::swprintf(head, 64, L"hid#vid_%04x&pid_%04x", identity.vid & 0xFFFF, identity.pid & 0xFFFF);
  std::wstring base = head;
  if (identity.mi >= 0) {
    std::swprintf(head, 64, L"&mi_%02x", identity.mi & 0xFF);
    base += head;
  }
  const std::wstring tail = L"#" + std::wstring(devnode.begin(), devnode.end());
  std::vector<std::wstring> paths;
  if (collectionCount <= 1) {
    paths.push_back(base + tail);
    return paths;
  }
  for (int col = 1; col <= collectionCount; ++col) {
    std::swprintf(head, 64, L"&col%02x", col & 0xFF);
    paths.push_back(base + head + tail);
  }
  return paths;
}

std::string DevnodeFromPath(const std::wstring& path) {
  const size_t hash = path.rfind(L'#');
  if (hash == std::wstring::npos || hash + 1 >= path.size() || path[hash + 1] != L'/') return {};
  std::string node;
  for (size_t i = hash + 1; i < path.size(); ++i) {
    if (path[i] > 0x7F) return {};
    node += static_cast<char>(path[i]);
  }
  return node;
}

int CollectionFromPath(const std::wstring& path) {
  const size_t hash = path.rfind(L'#');
  const std::wstring ids = path.substr(0, hash == std::wstring::npos ? path.size() : hash);
  std::wstring lower;
  for (wchar_t c : ids) lower += static_cast<wchar_t>(std::towlower(c));
  const size_t at = lower.find(L"&col");
  if (at == std::wstring::npos || at + 6 > lower.size()) return 0;
  const std::wstring digits = lower.substr(at + 4, 2);
  if (!std::iswxdigit(digits[0]) || !std::iswxdigit(digits[1])) return 0;
  return static_cast<int>(std::wcstol(digits.c_str(), nullptr, 16));
}

}  // namespace keyloom::platform
