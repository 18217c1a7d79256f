#include "macros/MacroGroup.h"

#include <utility>

namespace keyloom {

MacroStep* MacroGroup::GetStep(int index) {
  return index >= 0 && index < StepCount() ? &steps[index] : nullptr;
}

const MacroStep* MacroGroup::GetStep(int index) const {
  return index >= 0 && index < StepCount() ? &steps[index] : nullptr;
}

void MacroGroup::AddStep(uint32_t code, uint32_t state, uint32_t delay, const std::wstring& stepName) {
  steps.push_back({code, state, delay, stepName});
}

bool MacroGroup::DeleteStep(int index) {
  if (index < 0 || index >= StepCount()) return false;
  steps.erase(steps.begin() + index);
  return true;
}

void MacroGroup::ClearSteps() { steps.clear(); }

bool MacroGroup::MoveStepUp(int index) {
  if (index < 1 || index >= StepCount()) return false;
  std::swap(steps[index], steps[index - 1]);
  return true;
}

bool MacroGroup::MoveStepDown(int index) {
  if (index < 0 || index + 1 >= StepCount()) return false;
  std::swap(steps[index], steps[index + 1]);
  return true;
}

}  // namespace keyloom
