#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// "Progress" while the scene is rebuilt: a text line, a bar from 0 to 100 and the percentage
// (" 0 %" at first), and Cancel. Modal to the program without a loop of its own: each step is
// painted before the work it announces starts, and Cancel (or Escape) is seen at the next
// step.
class SceneProgressDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SceneProgressDialog(QWidget* parent = nullptr);

  // Shows text (when not empty) and percent, and lets the dialog paint.
  void Step(const QString& text, int percent);

  QString Text() const;
  int Percent() const;
  QString PercentText() const;
  // True once Cancel, Escape or the close box asked to stop the build.
  bool Cancelled() const { return cancelled_; }
  QPushButton* CancelButton() const { return cancel_; }
  // Hides the dialog at the end of the rebuild.
  void Finish();

 public slots:
  // Escape and the close box ask to stop, as Cancel does; the rebuild ends the dialog.
  void reject() override { cancelled_ = true; }

 private:
  QLabel* text_;
  QProgressBar* bar_;
  QLabel* percent_;
  QPushButton* cancel_;
  bool cancelled_ = false;
};
