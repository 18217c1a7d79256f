#pragma once

#include <QObject>

namespace keyloom::platform {

// Turns the termination signals of the system (on Linux SIGTERM at logout,
// SIGINT for Ctrl+C in a terminal) into a Qt signal on the UI thread, so the
// program can end through its ordinary orderly shutdown.
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
