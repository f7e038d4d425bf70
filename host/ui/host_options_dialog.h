#pragma once

#include <QDialog>

class HostSettings;
class QButtonGroup;
class QCheckBox;
class QLineEdit;

// The host options dialog, "<program> Configuration": the plug-in path (changed only through
// "..." and the folder browser "Choose Plugin Directory"), "Clear at &Import" and the "Name
// Check" radios. A click takes effect in the dialog at once; closing by either button copies
// the three values back into the host settings. The viewer's variant writes the name check
// straight into the settings when a radio is clicked and warns that a changed plug-in path
// needs a restart.
class HostOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  HostOptionsDialog(HostSettings& settings, bool viewer, QWidget* parent = nullptr);

  QLineEdit* PathField() const { return path_; }
  // Replaces the path as a folder chosen in the browser does: the folder followed by "/".
  void ChooseFolder(const QString& folder);

  void done(int result) override;

 private:
  void Browse();

  HostSettings& settings_;
  bool viewer_;
  QString path_text_;
  QLineEdit* path_;
  QCheckBox* clear_;
  QButtonGroup* name_check_;
};
