#pragma once

#include <QObject>

namespace keyloom::platform {

// From this call until the process ends, the termination signals of the
// system (on Linux SIGTERM at logout, SIGINT for Ctrl+C, SIGHUP when the
// terminal goes) no longer end the process: they only ask it to end, and
// the program does so at a moment of its choosing. Safe to call again.
// Call it first thing, before any thread starts, so every thread inherits it.
void CatchTerminationSignals();

// True once a termination signal has arrived since CatchTerminationSignals.
bool TerminationRequested();

// Waits up to `timeoutMs` for a termination signal (returning at once when
// one has already arrived) and says whether one did. Blocks the caller: for
// the start-up pause that tests use, never for the UI thread's event loop.
bool WaitForTermination(int timeoutMs);

// Turns the termination signals into a Qt signal on the thread that made
// the watcher, so the program can end through its ordinary orderly
// shutdown. A signal that came before the watcher existed is reported too,
// once the event loop runs.
class SignalWatcher : public QObject {
  Q_OBJECT
 public:
  explicit SignalWatcher(QObject* parent = nullptr);
  ~SignalWatcher() override;

 signals:
  void terminationRequested();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace keyloom::platform
