#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keyloom {

// A host action a key can be given: a program or document to open.
struct FunctionKeyAction {
  std::wstring name;
  std::wstring path;
  std::wstring argm;
  uint32_t code = 0;
};

// A key combination: pairs of (key code, a number that travels with the key).
struct KeyCombination {
  std::wstring name;
  std::vector<std::pair<int32_t, int32_t>> steps;
};

// config.xml: how to find the keyboard and what its keys may be given.
// Read once at start-up, never written.
class DeviceConfig {
 public:
  static DeviceConfig& Instance();

  // Reads the file at `path`. A missing or malformed file leaves every field
  // as it was; a missing element leaves its fields as they were.
  void Load(const std::string& path);

  bool chinese = false;
  int32_t vid = 0;
  int32_t pid = 0;        // 0: any product
  int32_t interface = 0;  // -1: any interface
  int32_t subdevice = 0;  // -1: any collection
  std::vector<FunctionKeyAction> functionKeys;
  std::vector<KeyCombination> combinations;
};

// Parses a combination code such as "17:0,67:0". Blanks are removed, empty
// items are skipped, a missing second part is 0, and an item made of colons
// only (it has no first part) is skipped.
std::vector<std::pair<int32_t, int32_t>> ParseCombinationCode(std::string_view code);

}  // namespace keyloom
