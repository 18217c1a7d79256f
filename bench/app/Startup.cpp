// Start-up time and resident memory of keyloom beside an empty Qt window.
// Start-up is from just before the fork to the first window's first exposed
// and drawn frame (KEYLOOM_REPORT_SHOWN); the two programs take turns, so
// the machine's other load falls on both alike. Memory is read once each
// program has been shown and has settled (past keyloom's start-up tasks,
// due 2000 ms after start).
//
// bench_startup [runs]   (default 15; QT_QPA_PLATFORM picks the platform,
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
constexpr int kMemoryRuns = 3;

struct Subject {
  const char* name;
  std::string program;
  std::vector<double> startupMs;
  std::vector<double> rssKiB, pssKiB, privateKiB;
};

// One start: the time to shown in ms, or a negative value when it was not.
double StartOnce(const ProgramCopy& copy, const Subject& subject, ProgramRun& run) {
  if (!run.Start(copy, subject.program, {})) return -1;
  const double shown = run.WaitShown(copy, kShownTimeoutMs);
  return shown < 0 ? -1 : shown - run.StartMs();
}

void PrintLog(const ProgramCopy& copy) {
  if (std::FILE* log = std::fopen(copy.LogFile().c_str(), "r")) {
    char line[512];
    while (std::fgets(line, sizeof line, log)) std::fprintf(stderr, "  | %s", line);
    std::fclose(log);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  ProgramCopy copy;
  if (!copy.Ok()) {
    std::fprintf(stderr, "bench_startup: cannot copy the program folder %s\n", KEYLOOM_PROGRAM_DIR);
    return 1;
  }
  Subject keyloom{"keyloom", copy.Keyloom(), {}, {}, {}, {}};
  Subject empty{"empty window", BENCH_EMPTY_WINDOW, {}, {}, {}, {}};
  Subject* subjects[] = {&keyloom, &empty};
  ProgramRun run;

  // A first start of each, not counted: it fills the page cache and lets
  // keyloom write its default data files, as on any start but the very first.
  for (Subject* s : subjects) {
    if (StartOnce(copy, *s, run) < 0) {
      std::fprintf(stderr, "bench_startup: %s did not report its window shown within %d ms\n", s->name,
                   kShownTimeoutMs);
      PrintLog(copy);
      return 1;
    }
    run.Stop();
  }

  for (int i = 0; i < runs; ++i) {
    for (Subject* s : subjects) {
      const double ms = StartOnce(copy, *s, run);
      if (ms < 0) {
        std::fprintf(stderr, "bench_startup: %s did not report its window shown\n", s->name);
        PrintLog(copy);
        return 1;
      }
      s->startupMs.push_back(ms);
      run.Stop();
    }
  }

  for (int i = 0; i < kMemoryRuns; ++i) {
    for (Subject* s : subjects) {
      if (StartOnce(copy, *s, run) < 0) return 1;
      std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
      const Memory memory = ReadMemory(run.Pid());
      s->rssKiB.push_back(memory.rssKiB);
      s->pssKiB.push_back(memory.pssKiB);
      s->privateKiB.push_back(memory.privateKiB);
      run.Stop();
    }
  }

  const double keyloomMedian = Percentile(keyloom.startupMs, 50);
  const double emptyMedian = Percentile(empty.startupMs, 50);
  std::printf("platform %s, %d runs each, load average %s\n", QtPlatform().c_str(), runs, LoadAverage().c_str());
  for (const Subject* s : subjects) {
    std::printf("startup %-12s median %6.1f ms (p10 %6.1f, p90 %6.1f, min %6.1f, max %6.1f)\n", s->name,
                Percentile(s->startupMs, 50), Percentile(s->startupMs, 10), Percentile(s->startupMs, 90),
                Percentile(s->startupMs, 0), Percentile(s->startupMs, 100));
  }
  const double ratio = emptyMedian > 0 ? keyloomMedian / emptyMedian : 0;
  std::printf("startup ratio keyloom / empty window %.2f (target <= 1.5: %s)\n", ratio,
              ratio <= 1.5 ? "met" : "NOT met");
  for (const Subject* s : subjects) {
    std::printf("memory  %-12s VmRSS %5.1f MiB, Pss %5.1f MiB, private %5.1f MiB (median of %d, %d ms after shown)\n",
                s->name, Percentile(s->rssKiB, 50) / 1024, Percentile(s->pssKiB, 50) / 1024,
                Percentile(s->privateKiB, 50) / 1024, kMemoryRuns, kSettleMs);
  }
  const double keyloomRssMiB = Percentile(keyloom.rssKiB, 50) / 1024;
  std::printf("memory  keyloom VmRSS %.1f MiB (target <= 40 MiB: %s)\n", keyloomRssMiB,
              keyloomRssMiB <= 40 ? "met" : "NOT met");
  return 0;
}
