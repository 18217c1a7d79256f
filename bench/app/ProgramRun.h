#pragma once
// What the whole-program benchmarks share: a private copy of the program
// folder, starting a program from it with a bounded life, and reading what
// the kernel knows about the running process.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace keyloom::bench {

// A temporary folder holding a copy of keyloom's program folder
// ("program/"), a private runtime folder (mode 0700) and the report file.
// Removed with everything in it on destruction.
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  bool Ok() const { return ok_; }
  std::string Keyloom() const { return root_ + "/program/keyloom"; }
  std::string RuntimeFolder() const { return root_ + "/runtime"; }
  std::string ReportFile() const { return root_ + "/shown"; }
  std::string LogFile() const { return root_ + "/log"; }

 private:
  std::string root_;
  bool ok_ = false;
};

// The Qt platform the programs run on: $QT_QPA_PLATFORM, else offscreen.
std::string QtPlatform();

// Milliseconds of CLOCK_MONOTONIC.
double MonotonicMs();

// One started program. The child dies with the benchmark (PR_SET_PDEATHSIG)
// and is ended on destruction at the latest.
class ProgramRun {
 public:
  ProgramRun() = default;
  ~ProgramRun() { Stop(); }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Starts program with args, in the copy's runtime folder, on QtPlatform(),
  // with the virtual keyboard and the shown report. Returns false when the
  // program could not be started. startMs is the monotonic time just before
  // the fork.
  bool Start(const ProgramCopy& copy, const std::string& program, const std::vector<std::string>& args);
  // Waits until the program reports its first window shown; returns the
  // monotonic time it reported, or a negative value after timeoutMs or when
  // the program ended.
  double WaitShown(const ProgramCopy& copy, int timeoutMs);
  bool Running();
  // SIGTERM, then SIGKILL after 5 s; always reaps the child.
  void Stop();

  pid_t Pid() const { return pid_; }
  double StartMs() const { return startMs_; }

 private:
  pid_t pid_ = -1;
  double startMs_ = 0;
};

// The context switches (voluntary + non-voluntary) of each thread of a
// process, by thread id, with the thread's name.
struct ThreadCount {
  std::string name;
  long switches = 0;
};
std::map<int, ThreadCount> ThreadSwitches(pid_t pid);

// Resident memory in KiB: VmRSS from status, Pss and private (unshared)
// pages from smaps_rollup; -1 when unreadable.
struct Memory {
  long rssKiB = -1;
  long pssKiB = -1;
  long privateKiB = -1;
};
Memory ReadMemory(pid_t pid);

// Nearest-rank percentile (0..100) of values; 0 for none.
double Percentile(std::vector<double> values, double percent);

// The machine's load averages as "0.95 1.37 1.03".
std::string LoadAverage();

}  // namespace keyloom::bench
