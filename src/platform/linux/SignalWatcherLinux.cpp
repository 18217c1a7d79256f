#include "platform/SignalWatcher.h"

#include <QSocketNotifier>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

namespace keyloom::platform {
namespace {

// [0] is written by the handler, [1] read by the watcher and the waiter.
int g_signalPipe[2] = {-1, -1};
volatile sig_atomic_t g_requested = 0;

void OnSignal(int) {
  // Only async-signal-safe calls here: a flag for start-up's step
  // boundaries and one byte that wakes the UI thread.
  const int savedErrno = errno;
  g_requested = 1;
  const char byte = 1;
  // Non-blocking: with the pipe full there are wake-ups enough already.
  [[maybe_unused]] ssize_t n = write(g_signalPipe[0], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void CatchTerminationSignals() {
  static const bool caught = [] {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
      g_signalPipe[0] = g_signalPipe[1] = -1;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Restarted: a save under way when the signal comes goes on to its end.
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
    return true;
  }();
  (void)caught;
}

bool TerminationRequested() { return g_requested != 0; }

bool WaitForTermination(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!g_requested && g_signalPipe[1] >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    // Looks without reading: the byte stays for the watcher.
    pollfd fd{g_signalPipe[1], POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left)) < 0 && errno != EINTR) break;
  }
  return g_requested != 0;
}

struct SignalWatcher::Impl {
  QSocketNotifier* notifier = nullptr;
};

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent), impl_(new Impl) {
  CatchTerminationSignals();
  if (g_signalPipe[1] < 0) return;
  impl_->notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
  connect(impl_->notifier, &QSocketNotifier::activated, this, [this] {
    // Several signals since the last wake-up are one request.
    char bytes[64];
    while (read(g_signalPipe[1], bytes, sizeof bytes) > 0) {
    }
    emit terminationRequested();
  });
}

// The signals stay caught: one during the shutdown that follows must not cut
// it short.
SignalWatcher::~SignalWatcher() { delete impl_; }

}  // namespace keyloom::platform
