#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace keyloom {

namespace platform {
class IInstanceLock;
}

// One keyloom per user. The first instance holds an exclusive lock file
// named by the instance name and listens on a local socket of that name. A
// later start finds the lock, asks the first over the socket to raise every
// top-level window that carries the instance-name property (restore it when
// minimised, show it when hidden, bring it to the front), and ends.
//
// The socket speaks one line each way: the request "raise", and the answer
// listing what was done to each marked window in turn ("restore", "show" or
// "front"), or "none" when no window carries the property.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(const QString& instanceName, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock and starts listening. False when another instance holds it.
  bool Acquire();

  // Raises the marked windows of this process; returns the answer line.
  static QString RaiseMarkedWindows(const QString& instanceName);

  // Asks the running instance to raise its windows; returns its answer, or
  // an empty text when it could not be reached within `timeoutMs`.
  static QString AskRunningInstanceToRaise(const QString& instanceName, int timeoutMs = 3000);

  // Where the lock file and the socket live: the user's runtime folder.
  static QString LockPath(const QString& instanceName);
  static QString SocketPath(const QString& instanceName);

 private:
  void OnNewConnection();

  QString name_;
  std::unique_ptr<platform::IInstanceLock> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace keyloom
