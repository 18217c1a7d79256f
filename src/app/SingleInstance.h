#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <cstddef>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace keyloom {

namespace platform {
class IInstanceLock;
}

class WindowActivationOrder;

// One keyloom per user. The first instance holds an exclusive lock file in
// the user's private runtime folder (platform::FindRuntimeFolder) and
// listens on a local socket beside it, both named after the instance name.
// A later start finds the lock, asks the first over the socket to raise
// every top-level window that carries the instance-name property (restore
// it when minimised, show it when hidden, bring it to the front), and ends.
//
// The socket speaks lines: a request is one line, a verb and its arguments
// separated by blanks, and gets one answer line, after which the server
// hangs up. Requests come only from processes of the same user, and a
// client talks only to a server of its own user. Verbs:
//   "raise"  answered with what was done to each marked window, bottom of
//            the stack first ("restore", "show" or "front"), or "none"
//            when no window carries the property;
//   any other verb is answered "unknown", so a client can tell an older
//   keyloom from one that failed.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    Acquired,        // this is the one instance; the socket listens
    AlreadyRunning,  // another keyloom holds the lock
    Failed,          // neither: the lock or the socket could not be made
  };

  // The longest name of an entry this class puts in the runtime folder.
  static constexpr size_t kLongestEntryName = 40 + 7;  // name stem + ".socket"

  // `runtimeFolder`: where the lock and the socket live.
  SingleInstance(const QString& instanceName, const QString& runtimeFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock and starts listening. Failed leaves nothing held, and
  // Error() says why in one line.
  Outcome Acquire();
  const QString& Error() const { return error_; }

  QString LockPath() const;
  QString SocketPath() const;

  // Raises the marked windows of this process from the bottom of their stack
  // to its top, so that they keep their order; returns the answer line.
  QString RaiseMarkedWindows();
  QList<QWidget*> MarkedWindowsBottomToTop() const;

  // Asks the instance listening at `socketPath` to raise its windows. Returns
  // its answer in this program's own fixed words, never the peer's bytes:
  // empty when it could not be reached within `timeoutMs`, runs as another
  // user, or answered anything but a keyloom answer to "raise".
  static QString AskRunningInstanceToRaise(const QString& socketPath, int timeoutMs = 3000);

  // The stem of the lock's and the socket's names: the instance name when it
  // is short and made of letters, digits, '.', '_' and '-' (not starting with
  // '.'), else "keyloom-" and a hash of it, so that neither a long name nor
  // one with a '/' can lead the entries elsewhere or past a socket address.
  static QString EntryStem(const QString& instanceName);

 private:
  void OnNewConnection();
  void OnRequest(QLocalSocket* socket);
  QByteArray Answer(const QByteArray& request);

  QString name_;
  QString folder_;
  QString error_;
  std::unique_ptr<platform::IInstanceLock> lock_;
  QLocalServer* server_ = nullptr;
  WindowActivationOrder* activationOrder_ = nullptr;
};

}  // namespace keyloom
