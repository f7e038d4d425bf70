#pragma once

#include <QDialog>

// "MorvaneOGL Info": the program's name, icon and build number.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};
