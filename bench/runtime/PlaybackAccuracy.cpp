// Playback timing: a 1,000-step macro with 5 ms delays played by the worker
// thread through the recording injector. Prints p50/p99 of |actual gap -
// delay|, the shortest gap against its delay (no gap may be more than 1 ms
// short), and the total drift (last event minus first, minus the sum of the
// delays). For comparison, the same steps timed the simple way, each delay
// slept from when its key was sent.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "actions/KeyAssignments.h"
#include "macros/KeyboardHook.h"
#include "platform/test/RecordingInjector.h"
#include "platform/test/RecordingShell.h"
#include "platform/test/ScriptedHookSource.h"
#include "runtime/SimpleThread.h"

using namespace keyloom;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSteps = 1000;
constexpr uint32_t kDelayMs = 5;

void Report(const char* label, const std::vector<platform::InjectedEvent>& events) {
  std::vector<double> errors;
  double shortest = 1e9;
  int tooShort = 0;
  int tooLong = 0;
  for (size_t i = 1; i < events.size(); ++i) {
    const double gap = std::chrono::duration<double, std::milli>(events[i].at - events[i - 1].at).count();
    errors.push_back(std::abs(gap - kDelayMs));
    shortest = std::min(shortest, gap - kDelayMs);
    if (gap < kDelayMs - 1.0) ++tooShort;
    if (gap > kDelayMs + 1.0) ++tooLong;
  }
  std::sort(errors.begin(), errors.end());
  // How late each event is against the ideal schedule (first event plus the
  // delays before it).
  std::vector<double> lateness;
  for (size_t i = 0; i < events.size(); ++i) {
    lateness.push_back(std::chrono::duration<double, std::milli>(events[i].at - events.front().at).count() -
                       double(kDelayMs) * i);
  }
  std::sort(lateness.begin(), lateness.end());
  const double total = std::chrono::duration<double, std::milli>(events.back().at - events.front().at).count();
  const double drift = total - double(kDelayMs) * (events.size() - 1);
  std::printf("%-28s steps %zu  |gap-delay| p50 %.3f ms  p99 %.3f ms  max %.3f ms  total drift %+.3f ms\n",
              label, events.size(), errors[errors.size() / 2], errors[errors.size() * 99 / 100],
              errors.back(), drift);
  std::printf("%-28s shortest gap-delay %+.3f ms  gaps more than 1 ms short %d, long %d\n", "", shortest,
              tooShort, tooLong);
  std::printf("%-28s lateness against the schedule p50 %.3f ms  p99 %.3f ms  max %.3f ms\n", "",
              lateness[lateness.size() / 2], lateness[lateness.size() * 99 / 100], lateness.back());
}

std::vector<platform::InjectedEvent> PlayThroughKeyloom() {
  KeyRecordList records;
  MacroLibrary library;
  DeviceConfig config;
  platform::RecordingInjector injector;
  platform::RecordingShell shell;
  SimpleThread thread;
  KeyAssignments assignments({records, library, config, [] { return true; }, &injector, &shell, thread});
  platform::ScriptedHookSource source;
  KeyboardHook hook;
  hook.Install(&source);
  hook.AddListener(&assignments);

  KeyRecord record;
  record.code = 0x74;  // F5
  record.type = 0;
  record.repeat = 1;
  for (int i = 0; i < kSteps; ++i) record.steps.push_back({'A', uint32_t(i % 2), kDelayMs, L"A"});
  records.records.push_back(record);

  assignments.AttachTo(thread);
  thread.Start(nullptr);
  source.Feed("+F5 -F5");
  injector.WaitForCount(kSteps, 60s);
  thread.Stop();
  hook.RemoveListener(&assignments);
  return injector.Events();
}

std::vector<platform::InjectedEvent> PlayRelativeToEachSend() {
  platform::RecordingInjector injector;
  SimpleThread thread;
  std::thread player([&] {
    for (int i = 0; i < kSteps; ++i) {
      injector.KeybdEvent('A', 0x1E, i % 2 ? platform::KEYEVENTF_KEYUP : 0, platform::kKeyloomExtraInfo);
      thread.SleepInterruptible(kDelayMs);
    }
  });
  player.join();
  return injector.Events();
}

}  // namespace

int main() {
  Report("deadline playback (keyloom)", PlayThroughKeyloom());
  Report("sleep after each send", PlayRelativeToEachSend());
  return 0;
}
