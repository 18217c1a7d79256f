#include "device/HidPath.h"

#include <regex>
#include <string>

namespace keyloom {
namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// A group that did not take part, or took part empty, is -1; otherwise its
// text read as hexadecimal up to the first character that is not a digit.
int32_t GroupValue(const std::wcsub_match& group) {
  if (!group.matched || group.length() == 0) return -1;
  int32_t value = 0;
  for (wchar_t c : std::wstring(group.first, group.second)) {
    const int digit = HexDigit(c);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

bool ParseHidPath(std::wstring_view path, HidPathIds& ids) {
  static const std::wregex pattern(
      LR"(hid#vid_([\da-zA-Z]{4})&pid_([\da-zA-Z]{4})(&rev_([\da-zA-Z]){4})?(&mi_([\da-zA-Z]){2})?(&col([\da-zA-Z]){2})?)",
      std::regex_constants::ECMAScript | std::regex_constants::icase);
  std::wcmatch match;
  if (!std::regex_search(path.data(), path.data() + path.size(), match, pattern)) return false;
  ids.vid = GroupValue(match[1]);
  ids.pid = GroupValue(match[2]);
  // Group 4 is the release; it plays no part in finding the keyboard.
  ids.mi = GroupValue(match[6]);
  ids.col = GroupValue(match[8]);
  return true;
}

}  // namespace keyloom
