#pragma once

#include <QObject>
#include <QString>

class QApplication;
class QWidget;

// Keeps every window of the program usable where it opens: a dialog that belongs to another
// window is at least as wide as its title (the window manager cuts a longer one short), and no
// window is larger than the screen's free area or placed outside it (a scale factor makes the
// windows' sizes grow with it). Acts once, when a window is shown.
class WindowFit : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // The width a window needs to show title whole in its title bar, with the bar's buttons.
  static int TitleWidth(const QString& title);
  // Fits window as described above.
  static void Fit(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Fits every window app shows from now on.
void InstallWindowFit(QApplication& app);
