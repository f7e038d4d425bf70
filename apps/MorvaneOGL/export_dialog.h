#pragma once

#include <QDialog>

class ClassChooser;
class QComboBox;
class QPushButton;

// "Export": the export classes, "&Options", "&Help", "&Export" and "&Close". "&Export" asks
// the program to write the object list with the chosen class, which asks for the file name
// itself.
class ExportDialog : public QDialog {
  Q_OBJECT
 public:
  // names: the export classes, the one at selected chosen.
  ExportDialog(const QStringList& names, int selected, QWidget* parent = nullptr);

  ClassChooser* Chooser() const { return chooser_; }
  QComboBox* ClassList() const;

  // The program must not end while the exporter writes.
  void reject() override;

 signals:
  // "&Export": the dialog stays open until the export returns.
  void ExportRequested();

 private:
  void RequestExport();

  ClassChooser* chooser_;
  QPushButton* close_;
  bool exporting_ = false;
};
