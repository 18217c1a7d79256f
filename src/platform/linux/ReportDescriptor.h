#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/HidPlatform.h"

namespace keyloom::platform {

// Reads a HID report descriptor and returns one capability record per
// top-level collection, in descriptor order: the collection's usage page and
// usage, and for input, output and feature the length of its longest report
// in bytes, counting the report id byte (0 when the collection has no such
// report). A truncated descriptor yields what was read up to its end.
std::vector<HidCaps> ParseTopLevelCollections(const uint8_t* descriptor, size_t length);

}  // namespace keyloom::platform
