#include "app/SingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include "platform/InstanceLock.h"

namespace keyloom {
namespace {

QString RuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}

}  // namespace

SingleInstance::SingleInstance(const QString& instanceName, QObject* parent)
    : QObject(parent), name_(instanceName) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::LockPath(const QString& instanceName) {
  return QDir(RuntimeFolder()).filePath(instanceName + ".lock");
}

QString SingleInstance::SocketPath(const QString& instanceName) {
  return QDir(RuntimeFolder()).filePath(instanceName + ".socket");
}

bool SingleInstance::Acquire() {
  lock_ = platform::TryLockInstance(QFile::encodeName(LockPath(name_)).toStdString());
  if (!lock_) return false;
  // Holding the lock, any socket file left there belongs to a crashed instance.
  QLocalServer::removeServer(SocketPath(name_));
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  server_->listen(SocketPath(name_));
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, socket, [socket, name = name_] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine().trimmed();
      const QString answer = request == "raise" ? RaiseMarkedWindows(name) : QStringLiteral("unknown");
      socket->write(answer.toUtf8() + '\n');
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

QString SingleInstance::RaiseMarkedWindows(const QString& instanceName) {
  QStringList done;
  const QByteArray property = instanceName.toUtf8();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->property(property.constData()).toString().isEmpty()) continue;
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

QString SingleInstance::AskRunningInstanceToRaise(const QString& instanceName, int timeoutMs) {
  // The first instance may hold the lock a moment before it listens: retry
  // the connection until the deadline.
  QDeadlineTimer deadline(timeoutMs);
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(SocketPath(instanceName));
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) break;
    if (deadline.hasExpired()) return {};
    QThread::msleep(50);
  }
  socket.write("raise\n");
  socket.flush();
  while (!socket.canReadLine()) {
    if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
      return {};
  }
  return QString::fromUtf8(socket.readLine().trimmed());
}

}  // namespace keyloom
