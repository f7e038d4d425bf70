#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// "Progress" while the scene is rebuilt: a text line, a bar from 0 to 100 and the percentage
// (" 0 %" at first). Modeless; each step is painted before the work it announces starts.
class SceneProgressDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SceneProgressDialog(QWidget* parent = nullptr);

  // Shows text (when not empty) and percent, and lets the dialog paint.
  void Step(const QString& text, int percent);

  QString Text() const;
  int Percent() const;
  QString PercentText() const;

 private:
  QLabel* text_;
  QProgressBar* bar_;
  QLabel* percent_;
};
