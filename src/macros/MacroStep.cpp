#include "macros/MacroStep.h"

#include "config/XmlLookup.h"

namespace keyloom {

std::ostream& operator<<(std::ostream& out, const MacroStep& step) {
  return out << "{code " << step.code << ", state " << step.state << ", delay " << step.delay << ", name \""
             << Narrow(step.name) << "\"}";
}

}  // namespace keyloom
