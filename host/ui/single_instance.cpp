#include "host/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include "settings/path.h"

namespace {

// The longest file name a handover accepts; anything longer is no file name of this system.
constexpr qint64 kMaxHandover = 1 << 20;

// A folder other users cannot have planted: a real folder owned by this user.
bool owned_folder(const struct stat& info) {
  return S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

// The folder of the lock and the socket: $XDG_RUNTIME_DIR when it is this user's, otherwise
// "morvane-<uid>" in the temporary folder ($TMPDIR or /tmp), made with mode 0700 and used
// only when it is a real folder (not a link) owned by this user, so that no other user can
// hold our lock or take the names we hand over. Empty when neither can be had.
QString runtime_folder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  struct stat info;
  if (runtime.startsWith('/') && stat(runtime.constData(), &info) == 0 && owned_folder(info))
    return QString::fromLocal8Bit(runtime);
  QByteArray base = qgetenv("TMPDIR");
  if (!base.startsWith('/')) base = "/tmp";
  const QByteArray folder = base + "/morvane-" + QByteArray::number(getuid());
  if (mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return QString();
  const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return QString();  // a link, or no folder
  bool ours = fstat(fd, &info) == 0 && owned_folder(info);
  // Ours but open to others (made by hand): closed to them before it is used.
  if (ours && (info.st_mode & 077) != 0) ours = fchmod(fd, 0700) == 0;
  close(fd);
  return ours ? QString::fromLocal8Bit(folder) : QString();
}

QString instance_file(const QString& mutex_name, const char* suffix) {
  const QString folder = runtime_folder();
  return folder.isEmpty() ? folder : folder + "/" + mutex_name + suffix;
}

}  // namespace

QString SingleInstance::LockPath(const QString& mutex_name) {
  return instance_file(mutex_name, ".lock");
}

QString SingleInstance::SocketPath(const QString& mutex_name) {
  return instance_file(mutex_name, ".sock");
}

SingleInstance::SingleInstance(const QString& mutex_name, QObject* parent)
    : QObject(parent), name_(mutex_name) {
  // Without a lock of our own the program runs by itself: better than never starting.
  const QString lock = LockPath(mutex_name);
  alone_ = true;
  if (lock.isEmpty()) return;
  // A link in place of the lock is not followed.
  int fd =
      open(QFile::encodeName(lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    alone_ = errno != EWOULDBLOCK;  // taken: another instance runs
    close(fd);
    return;
  }
  alone_ = false;
  lock_fd_ = fd;
}

SingleInstance::~SingleInstance() {
  if (server_ != nullptr) server_->close();
  if (lock_fd_ >= 0) close(lock_fd_);
}

bool SingleInstance::Listen() {
  if (lock_fd_ < 0) return false;
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
  const QString path = SocketPath(name_);
  if (path.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(path);
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
