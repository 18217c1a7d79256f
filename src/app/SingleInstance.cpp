#include "app/SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>

#include "app/WindowActivationOrder.h"
#include "platform/InstanceLock.h"
#include "platform/LocalPeer.h"
#include "platform/SignalWatcher.h"

namespace keyloom {
namespace {

constexpr int kLongestStem = 40;
// A request or an answer is a short line; anything longer is not keyloom.
constexpr qint64 kLongestLine = 1024;
// A client that connects and says nothing is let go after this long.
constexpr int kRequestTimeoutMs = 5000;

// The words of an answer to "raise"; a client shows these, not what it read.
constexpr const char* kRaiseWords[] = {"restore", "show", "front", "none"};

QString InOwnWords(const QByteArray& answer) {
  QStringList words;
  for (const QByteArray& word : answer.split(' ')) {
    const auto known = std::find_if(std::begin(kRaiseWords), std::end(kRaiseWords),
                                    [&word](const char* own) { return word == own; });
    if (known == std::end(kRaiseWords)) return {};
    words << QLatin1String(*known);
  }
  return words.join(' ');
}

bool PlainName(const QString& name) {
  if (name.isEmpty() || name.size() > kLongestStem || name.front() == '.') return false;
  return std::all_of(name.begin(), name.end(), [](QChar c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
  });
}

}  // namespace

SingleInstance::SingleInstance(const QString& instanceName, const QString& runtimeFolder, QObject* parent)
    : QObject(parent),
      name_(instanceName),
      folder_(runtimeFolder),
      activationOrder_(new WindowActivationOrder(this)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::EntryStem(const QString& instanceName) {
  if (PlainName(instanceName)) return instanceName;
  const QByteArray hash = QCryptographicHash::hash(instanceName.toUtf8(), QCryptographicHash::Sha256);
  return QStringLiteral("keyloom-") + QString::fromLatin1(hash.left(8).toHex());
}

QString SingleInstance::LockPath() const { return QDir(folder_).filePath(EntryStem(name_) + ".lock"); }

QString SingleInstance::SocketPath() const { return QDir(folder_).filePath(EntryStem(name_) + ".socket"); }

SingleInstance::Outcome SingleInstance::Acquire() {
  platform::InstanceLockResult taken = platform::TryLockInstance(QFile::encodeName(LockPath()).toStdString());
  if (taken.status == platform::InstanceLockResult::Status::HeldByAnother) return Outcome::AlreadyRunning;
  if (taken.status != platform::InstanceLockResult::Status::Acquired) {
    error_ = QStringLiteral("cannot create the instance lock %1: %2")
                 .arg(LockPath(), QString::fromStdString(taken.reason));
    return Outcome::Failed;
  }
  // Holding the lock, any socket file left there belongs to a crashed instance.
  QLocalServer::removeServer(SocketPath());
  auto* server = new QLocalServer(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  // Fatal: a keyloom nobody can reach leaves every later start saying it
  // runs, and one started hidden could never be shown.
  if (!server->listen(SocketPath())) {
    error_ = QStringLiteral("cannot listen on %1: %2").arg(SocketPath(), server->errorString());
    delete server;
    return Outcome::Failed;
  }
  lock_ = std::move(taken.lock);
  server_ = server;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return Outcome::Acquired;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!platform::PeerIsThisUser(socket->socketDescriptor())) {
      // Not a word to another user's process.
      socket->abort();
      socket->deleteLater();
      continue;
    }
    QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnRequest(socket); });
  }
}

void SingleInstance::OnRequest(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kLongestLine) socket->abort();
    return;
  }
  const QByteArray request = socket->readLine(kLongestLine + 1).trimmed();
  socket->write(Answer(request) + '\n');
  socket->flush();
  socket->disconnectFromServer();
}

QByteArray SingleInstance::Answer(const QByteArray& request) {
  const QList<QByteArray> words = request.split(' ');
  const QByteArray& verb = words.front();
  if (verb == "raise" && words.size() == 1) return RaiseMarkedWindows().toUtf8();
  return "unknown";
}

QList<QWidget*> SingleInstance::MarkedWindowsBottomToTop() const {
  const QByteArray property = name_.toUtf8();
  QList<QWidget*> marked;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->property(property.constData()).toString().isEmpty()) marked << window;
  }
  return activationOrder_->BottomToTop(marked);
}

QString SingleInstance::RaiseMarkedWindows() {
  QStringList done;
  for (QWidget* window : MarkedWindowsBottomToTop()) {
    if (window->isMinimized()) {
      window->showNormal();
      done << QStringLiteral("restore");
    } else if (!window->isVisible()) {
      window->show();
      done << QStringLiteral("show");
    } else {
      done << QStringLiteral("front");
    }
    window->raise();
    window->activateWindow();
  }
  return done.isEmpty() ? QStringLiteral("none") : done.join(' ');
}

QString SingleInstance::AskRunningInstanceToRaise(const QString& socketPath, int timeoutMs) {
  // The first instance may hold the lock a moment before it listens: retry
  // the connection until the deadline, or until the user gives up.
  QDeadlineTimer deadline(timeoutMs);
  auto remaining = [&deadline] { return static_cast<int>(std::max<qint64>(1, deadline.remainingTime())); };
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(socketPath);
    if (socket.waitForConnected(remaining())) break;
    if (deadline.hasExpired() || platform::TerminationRequested()) return {};
    QThread::msleep(50);
  }
  if (!platform::PeerIsThisUser(socket.socketDescriptor())) return {};
  socket.write("raise\n");
  socket.flush();
  while (!socket.canReadLine()) {
    if (socket.bytesAvailable() > kLongestLine || deadline.hasExpired() || !socket.waitForReadyRead(remaining()))
      return {};
  }
  return InOwnWords(socket.readLine(kLongestLine + 1).trimmed());
}

}  // namespace keyloom
