#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per program. The first start holds an exclusive lock on
// "<runtime folder>/<mutex name>.lock" for its whole life (the kernel drops it when the process
// dies) and, once its window is up, listens on "<runtime folder>/<mutex name>.sock". A later
// start finds the lock taken, hands its file name over that socket and ends. The runtime folder
// is $XDG_RUNTIME_DIR, or a folder of the user's own, "/tmp/morvane-<uid>" (mode 0700, never a
// link or another user's). Where no lock can be had the program runs alone, without handovers.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // Tries to take the lock; IsFirst() tells whether this process got it or runs alone.
  explicit SingleInstance(const QString& mutex_name, QObject* parent = nullptr);
  ~SingleInstance() override;

  bool IsFirst() const { return lock_fd_ >= 0 || alone_; }
  // True when no lock could be made (no folder of our own, a link in place of the lock): the
  // program runs without handovers.
  bool Alone() const { return alone_; }

  // First instance: starts listening for later starts. False when the socket cannot be made
  // or the instance runs alone.
  bool Listen();

  // Later start: sends file (bytes, may be empty) followed by one NUL byte to the running
  // instance. False when no instance listens; the caller then ends silently all the same.
  bool HandOver(const QByteArray& file) const;

  // The lock and socket paths of a mutex name; empty without a folder of our own.
  static QString LockPath(const QString& mutex_name);
  static QString SocketPath(const QString& mutex_name);

 signals:
  // A later start asked to be replaced by this one: raise the window, and import file when
  // it is not empty (an absolute path, made so by the sender or here).
  void Activated(const QByteArray& file);

 private:
  void ReadConnection();

  QString name_;
  int lock_fd_ = -1;
  bool alone_ = false;
  QLocalServer* server_ = nullptr;
};

// A file name from the command line or a handover, made absolute against this process's
// current directory: the import changes directory before it opens the file.
QByteArray AbsoluteFileName(const QByteArray& file);
