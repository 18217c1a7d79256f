#include "macros/StepXml.h"

#include "config/ModelFile.h"
#include "config/XmlLookup.h"

namespace keyloom {

std::vector<MacroStep> ReadSteps(const pugi::xml_node& parent) {
  std::vector<MacroStep> steps;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    steps.push_back({AttributeNumber(child, "code"), AttributeNumber(child, "state"), AttributeNumber(child, "delay"),
                     Widen(AttributeText(child, "name"))});
  }
  return steps;
}

void WriteSteps(pugi::xml_node parent, const std::vector<MacroStep>& steps) {
  for (const MacroStep& step : steps) {
    pugi::xml_node item = parent.append_child("item");
    item.append_attribute("code").set_value(step.code);
    item.append_attribute("state").set_value(step.state);
    item.append_attribute("delay").set_value(step.delay);
    item.append_attribute("name").set_value(Narrow(step.name).c_str());
  }
}

}  // namespace keyloom
