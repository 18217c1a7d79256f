#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace keyloom {

// The 70 widget names the layouts use, with their numeric identifiers.
// Registered with the toolkit before any layout loads.
const std::vector<std::pair<QString, int>>& NamedWidgetTable();

}  // namespace keyloom
