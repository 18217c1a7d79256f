#pragma once

#include <pugixml.hpp>
#include <vector>

#include "macros/MacroStep.h"

namespace keyloom {

// The "item" children that macro.xml and record.xml both use for steps.

// Every child node of `parent`, whatever its name, becomes a step, in order.
std::vector<MacroStep> ReadSteps(const pugi::xml_node& parent);
// Appends one "item" per step: "code", "state", "delay" unsigned, then "name".
void WriteSteps(pugi::xml_node parent, const std::vector<MacroStep>& steps);

}  // namespace keyloom
