#pragma once

namespace keyloom {

// The boundaries between start-up's steps, where a termination signal that
// came during a step ends start-up: a step, a save within it included, is
// always finished, and no later step begins.
//
// For tests only, two environment variables follow and interrupt start-up
// at known moments:
//   KEYLOOM_TEST_STEPS=<file>   each step's name is appended to the file,
//                               one line each, as the step begins;
//   KEYLOOM_TEST_PAUSE=<step>   start-up stops at the beginning of that step
//                               (after its line) until a termination signal
//                               arrives, at most 30 s, and then does the
//                               step, so the signal lands inside it.
class StartupSteps {
 public:
  StartupSteps();

  // Begins the step `name`; false when a termination signal has asked
  // start-up to end instead.
  bool Begin(const char* name) const;

 private:
  const char* stepsFile_;
  const char* pauseAt_;
};

}  // namespace keyloom
