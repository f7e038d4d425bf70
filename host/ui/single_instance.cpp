#include "host/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <memory>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include "settings/path.h"

namespace {

// The longest file name a handover accepts; anything longer is no file name of this system.
constexpr qint64 kMaxHandover = 1 << 20;

QString runtime_folder_and_prefix(const QString& mutex_name) {
  QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && runtime.startsWith('/') &&
      QDir(QString::fromLocal8Bit(runtime)).exists())
    return QString::fromLocal8Bit(runtime) + "/" + mutex_name;
  return "/tmp/" + mutex_name + "-" + QString::number(getuid());
}

}  // namespace

QString SingleInstance::LockPath(const QString& mutex_name) {
  return runtime_folder_and_prefix(mutex_name) + ".lock";
}

QString SingleInstance::SocketPath(const QString& mutex_name) {
  return runtime_folder_and_prefix(mutex_name) + ".sock";
}

SingleInstance::SingleInstance(const QString& mutex_name, QObject* parent)
    : QObject(parent), name_(mutex_name) {
  QByteArray path = QFile::encodeName(LockPath(mutex_name));
  int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return;
  }
  lock_fd_ = fd;
}

SingleInstance::~SingleInstance() {
  if (server_ != nullptr) server_->close();
  if (lock_fd_ >= 0) close(lock_fd_);
}

bool SingleInstance::Listen() {
  if (!IsFirst()) return false;
  if (server_ == nullptr) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadConnection);
  }
  // Holding the lock, any socket file left is a dead instance's.
  const QString path = SocketPath(name_);
  QLocalServer::removeServer(path);
  return server_->listen(path);
}

void SingleInstance::ReadConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    auto take = [this, socket, buffer]() {
      buffer->append(socket->readAll());
      int end = buffer->indexOf('\0');
      if (end < 0 && buffer->size() <= kMaxHandover) return;
      if (end >= 0) {
        QByteArray file = buffer->left(end);
        buffer->clear();
        socket->disconnectFromServer();
        emit Activated(file.isEmpty() ? file : AbsoluteFileName(file));
      } else {
        socket->abort();  // not a handover of this program
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, take);
    if (socket->bytesAvailable() > 0) take();
  }
}

bool SingleInstance::HandOver(const QByteArray& file) const {
  QLocalSocket socket;
  socket.connectToServer(SocketPath(name_));
  if (!socket.waitForConnected(2000)) return false;
  QByteArray message = file;
  message.append('\0');
  socket.write(message);
  if (!socket.waitForBytesWritten(2000)) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(2000);
  return true;
}

QByteArray AbsoluteFileName(const QByteArray& file) {
  if (file.isEmpty() || is_absolute_path(file.constData())) return file;
  return QByteArray::fromStdString(current_directory()) + "/" + file;
}
