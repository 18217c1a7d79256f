#include "macros/StepXml.h"

#include "config/CNumber.h"

namespace keyloom {
namespace {

// Attribute names are ASCII; compare them without the C locale's tolower,
// which costs more than the parse itself in a library of 100,000 steps.
bool SameNameNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
    if (x != *b) return false;  // `b` is lower-case
    if (*a == '\0') return true;
  }
}

// Reads one step in a single pass over the node's attributes; the first
// attribute of each name counts, missing ones are 0 or empty.
MacroStep ReadStep(const pugi::xml_node& node) {
  MacroStep step;
  bool seenCode = false, seenState = false, seenDelay = false, seenName = false;
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    const char* name = a.name();
    if (!seenCode && SameNameNoCase(name, "code")) {
      step.code = CULong32(a.value(), 10);
      seenCode = true;
    } else if (!seenState && SameNameNoCase(name, "state")) {
      step.state = CULong32(a.value(), 10);
      seenState = true;
    } else if (!seenDelay && SameNameNoCase(name, "delay")) {
      step.delay = CULong32(a.value(), 10);
      seenDelay = true;
    } else if (!seenName && SameNameNoCase(name, "name")) {
      step.name = pugi::as_wide(a.value());
      seenName = true;
    }
  }
  return step;
}

}  // namespace

std::vector<MacroStep> ReadSteps(const pugi::xml_node& parent) {
  std::vector<MacroStep> steps;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    steps.push_back(ReadStep(child));
  }
  return steps;
}

void WriteSteps(pugi::xml_node parent, const std::vector<MacroStep>& steps) {
  for (const MacroStep& step : steps) {
    pugi::xml_node item = parent.append_child("item");
    item.append_attribute("code").set_value(step.code);
    item.append_attribute("state").set_value(step.state);
    item.append_attribute("delay").set_value(step.delay);
    item.append_attribute("name").set_value(pugi::as_utf8(step.name.c_str()).c_str());
  }
}

}  // namespace keyloom
