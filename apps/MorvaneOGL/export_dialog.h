#pragma once

#include <QDialog>

class CMyMorvaneOGLApp;
class QComboBox;
class QPushButton;

// "Export": the export classes, "&Options", "&Help", "&Export" and "&Close". "&Export" writes
// the object list with the selected class, which asks for the file name itself.
class ExportDialog : public QDialog {
  Q_OBJECT
 public:
  ExportDialog(CMyMorvaneOGLApp& app, QWidget* parent = nullptr);

  QComboBox* ClassList() const { return classes_; }

  void RunExport();

  // The program must not end while the exporter writes.
  void reject() override;

 private:
  CMyMorvaneOGLApp& app_;
  QComboBox* classes_;
  QPushButton* close_;
};
