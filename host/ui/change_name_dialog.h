#pragma once

#include <string>

#include <QDialog>

class QLineEdit;

// "Change Name": asks for a new name for an imported object whose name is taken. "Old:" shows
// the taken name read-only, "New:" starts with the first free proposal.
class ChangeNameDialog : public QDialog {
  Q_OBJECT
 public:
  ChangeNameDialog(const std::string& old_name, const std::string& proposal,
                   QWidget* parent = nullptr);
  std::string NewName() const;

 private:
  QLineEdit* new_name_;
};
