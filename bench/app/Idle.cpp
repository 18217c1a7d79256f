// Idle wake-ups of the whole keyloom process: every thread's voluntary and
// non-voluntary context switches over a quiet period, once with the main
// window shown and once started with -hid. Measuring starts after the
// program has settled (its two start-up tasks run 2000 ms after start).
//
// bench_idle [seconds]   (default 10; QT_QPA_PLATFORM picks the platform,
//                         offscreen when unset)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"

using namespace keyloom::bench;

namespace {

constexpr int kShownTimeoutMs = 15000;
constexpr int kSettleMs = 3500;

// Measures one start; prints one line; returns the total wake-ups, or -1.
long MeasureIdle(const ProgramCopy& copy, const char* mode, const std::vector<std::string>& args, int seconds) {
  ProgramRun run;
  if (!run.Start(copy, copy.Keyloom(), args)) return -1;
  if (args.empty() && run.WaitShown(copy, kShownTimeoutMs) < 0) {
    std::fprintf(stderr, "bench_idle: keyloom did not report its window shown\n");
    return -1;
  }
  const double settleUntil = run.StartMs() + kSettleMs;
  while (MonotonicMs() < settleUntil) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!run.Running()) {
    std::fprintf(stderr, "bench_idle: keyloom ended during start-up\n");
    return -1;
  }
  const auto before = ThreadSwitches(run.Pid());
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto after = ThreadSwitches(run.Pid());
  if (!run.Running()) {
    std::fprintf(stderr, "bench_idle: keyloom ended while measured\n");
    return -1;
  }

  long total = 0;
  std::string perThread;
  for (const auto& [tid, now] : after) {
    const auto then = before.find(tid);
    // A thread started meanwhile counts from zero.
    const long wakeups = now.switches - (then == before.end() ? 0 : then->second.switches);
    total += wakeups;
    char item[160];
    std::snprintf(item, sizeof item, "%s%s[%d]%s %ld", perThread.empty() ? "" : ", ", now.name.c_str(), tid,
                  then == before.end() ? " (new)" : "", wakeups);
    perThread += item;
  }
  for (const auto& [tid, then] : before) {
    if (!after.count(tid)) perThread += ", " + then.name + "[" + std::to_string(tid) + "] (ended)";
  }
  std::printf("idle %-6s %ld wake-ups in %d s = %.2f/s over %zu threads (target 0: %s); per thread: %s\n", mode,
              total, seconds, total / double(seconds), after.size(), total == 0 ? "met" : "NOT met",
              perThread.c_str());
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  ProgramCopy copy;
  if (!copy.Ok()) {
    std::fprintf(stderr, "bench_idle: cannot copy the program folder %s\n", KEYLOOM_PROGRAM_DIR);
    return 1;
  }
  std::printf("platform %s, load average %s\n", QtPlatform().c_str(), LoadAverage().c_str());
  const long shown = MeasureIdle(copy, "shown", {}, seconds);
  const long hidden = MeasureIdle(copy, "hidden", {"-hid"}, seconds);
  return shown < 0 || hidden < 0 ? 1 : 0;
}
