#pragma once

#include <QDialog>

#include "host/host_commands.h"

class ClassChooser;
class QComboBox;
class QLabel;
class QPushButton;

// "Import": the import classes, "&Options", "&Help", "&Import" and the counts of what the
// last import read. The program runs the imports and is told what each read; "&OK" asks it to
// take the last one, while "&Cancel" leaves it to be dropped.
class ImportDialog : public QDialog {
  Q_OBJECT
 public:
  // names: the import classes, the one at selected chosen.
  ImportDialog(const QStringList& names, int selected, QWidget* parent = nullptr);

  ClassChooser* Chooser() const { return chooser_; }
  QComboBox* ClassList() const;
  // The text of the "Mesh", "Face" or "Vertex" count.
  QString Count(const QString& label) const;
  // What the import asked for read: the counts, and "&OK" takes the focus.
  void ShowRead(const MeshTotals& totals);

  void done(int result) override;

 signals:
  // "&Import": the counts are back to 0 and the dialog stays open until the import returns.
  void ImportRequested();
  // "&OK", before the dialog closes: the last import is to be taken.
  void TakeRequested();

 private:
  void RequestImport();
  void ShowCounts(long meshes, long faces, long vertices);

  ClassChooser* chooser_;
  bool importing_ = false;  // the import runs; the dialog stays
  QLabel* meshes_;
  QLabel* faces_;
  QLabel* vertices_;
  QPushButton* ok_;
};
