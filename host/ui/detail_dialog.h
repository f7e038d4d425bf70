#pragma once

#include <QDialog>

class Mesh3d;
class QLineEdit;

// "Morvane Detailed Statistics" of one mesh: its name (editable, up to 1022 characters), type,
// face and vertex counts, bounding box (three decimals) and the colour the mesh carries (a
// swatch "Swatch" and "#RRGGBB finish", or "-" without one). OK renames the mesh to the name
// shown, without any check for equal names; the viewer's "&Cancel" leaves it unchanged.
class DetailDialog : public QDialog {
  Q_OBJECT
 public:
  DetailDialog(Mesh3d& mesh, bool with_cancel, QWidget* parent = nullptr);

  QLineEdit* NameField() const { return name_; }
  // The text of the read-only field with that label ("Min X", "Faces", ...).
  QString Field(const QString& label) const;

 public slots:
  void accept() override;

 private:
  Mesh3d& mesh_;
  QLineEdit* name_;
};
