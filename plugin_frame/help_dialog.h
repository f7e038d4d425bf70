#pragma once

#include <QDialog>

class QPlainTextEdit;

// The modal help dialog of a plug-in class: the help text (at most 2048 characters) in a
// read-only scrolling field (1001) and an OK button.
class HelpDialog : public QDialog {
  Q_OBJECT
 public:
  // The numbers of the controls.
  enum ControlId : int { kIdOk = 1, kIdText = 1001 };

  HelpDialog(const QString& title, const char* help_text, QWidget* parent = nullptr);
  QString Text() const;

 private:
  QPlainTextEdit* text_;
};
