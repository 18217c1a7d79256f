#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/DeviceConfig.h"
#include "macros/KeyRecord.h"
#include "macros/MacroLibrary.h"

namespace keyloom {

// The keyboard picture's name for a key id; false when it has no such key.
using PictureKeyLookup = std::function<bool(int32_t id, std::wstring* name)>;

// What the macro editor left in the library, made into the assignment of
// key `keyId` (named `keyName`), by the library's `type`:
//   0 macro: the selected group's steps, its repeat count and click-to-stop;
//   1 single key: the picture's key `skcode` (one key-down step);
//   2 program or media key: config.xml's action `media` (one step with its code);
//   3 key combination: config.xml's combination `function` (presses, then releases).
// None when the group, key, action or combination does not exist (or the
// combination has no keys), or for any other type.
std::optional<KeyRecord> BuildAssignment(int32_t keyId, const std::wstring& keyName, const MacroLibrary& library,
                                         const DeviceConfig& config, const PictureKeyLookup& pictureKeyName);

}  // namespace keyloom
