#pragma once

#include <QDialog>

class CMyMorvaneOGLApp;
class MeshImporter;
class ObjectList;
class QComboBox;
class QLabel;
class QPushButton;

// "Import": the import classes, "&Options", "&Help", "&Import" and the counts of what the
// last import read. Several imports in one dialog keep only the last one; "&OK" hands its
// importer and objects to the program, "&Cancel" deletes the importer and with it its meshes.
class ImportDialog : public QDialog {
  Q_OBJECT
 public:
  ImportDialog(CMyMorvaneOGLApp& app, QWidget* parent = nullptr);
  ~ImportDialog() override;

  QComboBox* ClassList() const { return classes_; }
  // The text of the "Mesh", "Face" or "Vertex" count.
  QString Count(const QString& label) const;
  MeshImporter* Importer() const { return importer_; }

  // "&Import": replaces the dialog's importer with a new one of the selected class and runs
  // its import.
  void RunImport();

  void done(int result) override;

 private:
  void DropImporter();
  void ShowCounts(long meshes, long faces, long vertices);

  CMyMorvaneOGLApp& app_;
  MeshImporter* importer_ = nullptr;
  bool importing_ = false;  // the importer runs; the dialog stays
  ObjectList* objects_ = nullptr;
  QComboBox* classes_;
  QLabel* meshes_;
  QLabel* faces_;
  QLabel* vertices_;
  QPushButton* ok_;
};
