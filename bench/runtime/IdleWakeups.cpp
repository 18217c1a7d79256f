// Thread wake-ups per second of the timer and worker threads of an idle
// keyloom: the SimpleThread started as the main window starts it (idle
// callback PlayNextStep, the two start-up runnables due after 2000 ms), then
// left alone. Read from the kernel's context-switch counters of each thread.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "actions/KeyAssignments.h"
#include "platform/test/RecordingInjector.h"
#include "platform/test/RecordingShell.h"
#include "runtime/SimpleRunable.h"
#include "runtime/SimpleThread.h"

using namespace keyloom;
using namespace std::chrono_literals;

namespace {

long ContextSwitches(int tid) {
  std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
  std::string line;
  long total = 0;
  while (std::getline(status, line)) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
      total += std::stol(line.substr(line.find(':') + 1));
    }
  }
  return total;
}

struct StartupWork {
  int SendStartupEffect(int32_t, int32_t, const uint8_t*, uint32_t) { return 0; }
  int TouchSideLight(int32_t, int32_t, const uint8_t*, uint32_t) { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::stoi(argv[1]) : 10;
  KeyRecordList records;
  MacroLibrary library;
  DeviceConfig config;
  platform::RecordingInjector injector;
  platform::RecordingShell shell;
  SimpleThread thread;
  KeyAssignments assignments({records, library, config, [] { return true; }, &injector, &shell, thread});
  StartupWork work;

  thread.Start(&work);
  assignments.AttachTo(thread);
  thread.Post(std::make_unique<SimpleRunable<StartupWork>>(&work, &StartupWork::SendStartupEffect, 2000, 1));
  thread.Post(std::make_unique<SimpleRunable<StartupWork>>(&work, &StartupWork::TouchSideLight, 2000, 1));
  std::this_thread::sleep_for(2500ms);  // past the start-up runnables

  const int timerTid = thread.TimerThreadId();
  const int workerTid = thread.WorkerThreadId();
  const long timerBefore = ContextSwitches(timerTid);
  const long workerBefore = ContextSwitches(workerTid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const long timerWakeups = ContextSwitches(timerTid) - timerBefore;
  const long workerWakeups = ContextSwitches(workerTid) - workerBefore;

  std::printf("idle for %d s\n", seconds);
  std::printf("timer thread:  %ld wake-ups (%.2f/s)\n", timerWakeups, timerWakeups / double(seconds));
  std::printf("worker thread: %ld wake-ups (%.2f/s)\n", workerWakeups, workerWakeups / double(seconds));
  thread.Stop();
  return 0;
}
