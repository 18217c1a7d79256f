#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "macros/MacroGroup.h"

namespace keyloom {
namespace {

// Step codes of a group, for short expectations.
std::vector<uint32_t> Codes(const MacroGroup& g) {
  std::vector<uint32_t> codes;
  for (const MacroStep& s : g.steps) codes.push_back(s.code);
  return codes;
}

MacroGroup ThreeSteps() {
  MacroGroup g;
  g.AddStep(1, 0, 10, L"a");
  g.AddStep(2, 1, 20, L"b");
  g.AddStep(3, 0, 30, L"");
  return g;
}

TEST(MacroGroup, AddStep_ShouldAppendWithAllFields) {
  const MacroGroup g = ThreeSteps();
  ASSERT_EQ(g.StepCount(), 3);
  EXPECT_EQ(*g.GetStep(1), (MacroStep{2, 1, 20, L"b"}));
  EXPECT_EQ(g.GetStep(3), nullptr);
  EXPECT_EQ(g.GetStep(-1), nullptr);
}

TEST(MacroGroup, ClearSteps_ShouldLeaveNoSteps) {
  MacroGroup g = ThreeSteps();
  g.ClearSteps();
  EXPECT_EQ(g.StepCount(), 0);
}

enum class Op { Up, Down, Delete };

// One step edit and what it leaves.
struct StepEditCase {
  const char* name;
  Op op;
  int index;
  bool result;
  std::vector<uint32_t> codes;
};
std::ostream& operator<<(std::ostream& out, const StepEditCase& c) { return out << c.name; }

class StepEditing : public ::testing::TestWithParam<StepEditCase> {};

TEST_P(StepEditing, ShouldChangeOnlyValidPositions) {
  MacroGroup g = ThreeSteps();
  const StepEditCase& c = GetParam();
  const bool result = c.op == Op::Up ? g.MoveStepUp(c.index) : c.op == Op::Down ? g.MoveStepDown(c.index) : g.DeleteStep(c.index);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(Codes(g), c.codes);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, StepEditing,
    ::testing::Values(StepEditCase{"MoveUpOfFirst_Fails", Op::Up, 0, false, {1, 2, 3}},
                      StepEditCase{"MoveUpOfLast_Swaps", Op::Up, 2, true, {1, 3, 2}},
                      StepEditCase{"MoveUpPastEnd_Fails", Op::Up, 3, false, {1, 2, 3}},
                      StepEditCase{"MoveDownOfLast_Fails", Op::Down, 2, false, {1, 2, 3}},
                      StepEditCase{"MoveDownOfFirst_Swaps", Op::Down, 0, true, {2, 1, 3}},
                      StepEditCase{"MoveDownOfNegative_Fails", Op::Down, -1, false, {1, 2, 3}},
                      StepEditCase{"DeleteMiddle_Removes", Op::Delete, 1, true, {1, 3}},
                      StepEditCase{"DeletePastEnd_Fails", Op::Delete, 3, false, {1, 2, 3}},
                      StepEditCase{"DeleteNegative_Fails", Op::Delete, -1, false, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom
