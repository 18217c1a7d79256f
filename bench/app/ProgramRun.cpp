#include "ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

extern char** environ;

namespace keyloom::bench {

namespace fs = std::filesystem;

ProgramCopy::ProgramCopy() {
  std::string pattern = (fs::temp_directory_path() / "keyloom-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return;
  root_ = pattern;
  std::error_code error;
  const fs::path built = KEYLOOM_PROGRAM_DIR;
  fs::create_directories(root_ + "/program", error);
  fs::copy_file(built / "keyloom", root_ + "/program/keyloom", error);
  if (error) return;
  fs::copy(built / "uires", root_ + "/program/uires", fs::copy_options::recursive, error);
  if (error) return;
  fs::copy_file(built / "config.xml", root_ + "/program/config.xml", error);  // optional
  fs::create_directories(RuntimeFolder(), error);
  fs::permissions(RuntimeFolder(), fs::perms::owner_all, error);
  ok_ = !error;
}

ProgramCopy::~ProgramCopy() {
  std::error_code error;
  if (!root_.empty()) fs::remove_all(root_, error);
}

std::string QtPlatform() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform && *platform ? platform : "offscreen";
}

double MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

bool ProgramRun::Start(const ProgramCopy& copy, const std::string& program, const std::vector<std::string>& args) {
  Stop();
  unlink(copy.ReportFile().c_str());
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (name != "XDG_RUNTIME_DIR" && name != "QT_QPA_PLATFORM" && name != "KEYLOOM_VIRTUAL_KEYBOARD" &&
        name != "KEYLOOM_REPORT_SHOWN") {
      env.push_back(entry);
    }
  }
  env.push_back("XDG_RUNTIME_DIR=" + copy.RuntimeFolder());
  env.push_back("QT_QPA_PLATFORM=" + QtPlatform());
  env.push_back("KEYLOOM_VIRTUAL_KEYBOARD=1");
  env.push_back("KEYLOOM_REPORT_SHOWN=" + copy.ReportFile());
  std::vector<char*> envp, argv;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string programCopy = program;
  std::vector<std::string> argsCopy = args;
  argv.push_back(programCopy.data());
  for (auto& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int log = open(copy.LogFile().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  const std::string workDir = copy.RuntimeFolder();
  const pid_t parent = getpid();

  startMs_ = MonotonicMs();
  const pid_t pid = fork();
  if (pid < 0) {
    if (log >= 0) close(log);
    return false;
  }
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    if (chdir(workDir.c_str()) != 0) _exit(127);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (log >= 0) close(log);
  pid_ = pid;
  return true;
}

double ProgramRun::WaitShown(const ProgramCopy& copy, int timeoutMs) {
  const double deadline = MonotonicMs() + timeoutMs;
  while (MonotonicMs() < deadline && Running()) {
    std::ifstream report(copy.ReportFile());
    std::string word;
    double at = 0;
    if (report >> word >> at && word == "shown") return at;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return -1;
}

bool ProgramRun::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

void ProgramRun::Stop() {
  if (!Running()) return;
  kill(pid_, SIGTERM);
  const double deadline = MonotonicMs() + 5000;
  while (MonotonicMs() < deadline && Running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

namespace {

long NamedNumber(const std::string& file, const char* name) {
  std::ifstream in(file);
  std::string line;
  long total = -1;
  const size_t length = std::strlen(name);
  while (std::getline(in, line)) {
    if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':') {
      total = std::max(total, 0L) + std::atol(line.c_str() + length + 1);
    }
  }
  return total;
}

}  // namespace

std::map<int, ThreadCount> ThreadSwitches(pid_t pid) {
  std::map<int, ThreadCount> threads;
  std::error_code error;
  const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& entry : fs::directory_iterator(tasks, error)) {
    const int tid = std::atoi(entry.path().filename().c_str());
    ThreadCount count;
    std::ifstream comm(entry.path() / "comm");
    std::getline(comm, count.name);
    const long voluntary = NamedNumber((entry.path() / "status").string(), "voluntary_ctxt_switches");
    const long involuntary = NamedNumber((entry.path() / "status").string(), "nonvoluntary_ctxt_switches");
    if (voluntary < 0 || involuntary < 0) continue;  // ended meanwhile
    count.switches = voluntary + involuntary;
    threads[tid] = count;
  }
  return threads;
}

Memory ReadMemory(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  Memory memory;
  memory.rssKiB = NamedNumber(proc + "/status", "VmRSS");
  memory.pssKiB = NamedNumber(proc + "/smaps_rollup", "Pss");
  const long clean = NamedNumber(proc + "/smaps_rollup", "Private_Clean");
  const long dirty = NamedNumber(proc + "/smaps_rollup", "Private_Dirty");
  if (clean >= 0 && dirty >= 0) memory.privateKiB = clean + dirty;
  return memory;
}

double Percentile(std::vector<double> values, double percent) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(percent / 100.0 * values.size());
  const size_t index = rank < 1 ? 0 : std::min(values.size() - 1, static_cast<size_t>(rank) - 1);
  return values[index];
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

}  // namespace keyloom::bench
