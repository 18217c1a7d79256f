#include "app/StartupSteps.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/SignalWatcher.h"

namespace keyloom {
namespace {

constexpr int kTestPauseMs = 30000;

const char* NonEmptyVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

StartupSteps::StartupSteps()
    : stepsFile_(NonEmptyVariable("KEYLOOM_TEST_STEPS")), pauseAt_(NonEmptyVariable("KEYLOOM_TEST_PAUSE")) {}

bool StartupSteps::Begin(const char* name) const {
  if (platform::TerminationRequested()) return false;
  if (stepsFile_ != nullptr) {
    if (std::FILE* out = std::fopen(stepsFile_, "a")) {
      std::fprintf(out, "%s\n", name);
      std::fclose(out);
    }
  }
  if (pauseAt_ != nullptr && std::strcmp(pauseAt_, name) == 0) platform::WaitForTermination(kTestPauseMs);
  return true;
}

}  // namespace keyloom
