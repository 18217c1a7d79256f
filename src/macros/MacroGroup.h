#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "macros/MacroStep.h"

namespace keyloom {

// A named macro: key steps in playing order. Step edits never save; they reach
// macro.xml with the library's next Save.
struct MacroGroup {
  std::wstring name;  // any text, empty allowed, not necessarily unique
  std::vector<MacroStep> steps;

  int StepCount() const { return static_cast<int>(steps.size()); }
  // The step at `index`; null outside 0..count-1.
  MacroStep* GetStep(int index);
  const MacroStep* GetStep(int index) const;

  void AddStep(uint32_t code, uint32_t state, uint32_t delay, const std::wstring& stepName);
  // Removes the step at `index`; false (and no change) when out of range.
  bool DeleteStep(int index);
  void ClearSteps();
  // Exchanges the step with the one before it; valid for 1 <= index < count.
  bool MoveStepUp(int index);
  // Exchanges the step with the one after it; valid for 0 <= index < count-1.
  bool MoveStepDown(int index);

  bool operator==(const MacroGroup&) const = default;
};

}  // namespace keyloom
