#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QObject>

class QTimer;

// Files handed over by later starts wait here until the program is free for them: no modal
// dialog open (an import behind it would change the meshes the dialog shows) and no command
// running. They are then imported one by one, in the order they came.
class HandoverQueue : public QObject {
  Q_OBJECT
 public:
  using BusyTest = std::function<bool()>;
  using ImportFile = std::function<void(const QByteArray& file)>;

  HandoverQueue(BusyTest busy, ImportFile import, QObject* parent = nullptr);

  // Imports file at once when the program is free and no earlier file waits; holds it
  // otherwise.
  void Add(const QByteArray& file);
  // Files still held.
  int Waiting() const { return static_cast<int>(files_.size()); }

 private:
  bool Free() const;
  void ImportWaiting();

  BusyTest busy_;
  ImportFile import_;
  QList<QByteArray> files_;
  QTimer* retry_;
  bool importing_ = false;
};
