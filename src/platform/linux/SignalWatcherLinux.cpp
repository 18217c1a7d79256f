#include "platform/SignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace keyloom::platform {
namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here: one byte wakes the UI thread.
  [[maybe_unused]] ssize_t n = write(g_signalPipe[0], &byte, 1);
}

}  // namespace

struct SignalWatcher::Impl {
  QSocketNotifier* notifier = nullptr;
};

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent), impl_(new Impl) {
  if (g_signalPipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
  impl_->notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
  connect(impl_->notifier, &QSocketNotifier::activated, this, [this] {
    char byte;
    [[maybe_unused]] ssize_t n = read(g_signalPipe[1], &byte, 1);
    emit terminationRequested();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

SignalWatcher::~SignalWatcher() {
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  delete impl_;
}

}  // namespace keyloom::platform
