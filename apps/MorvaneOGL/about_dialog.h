#ifndef MORVANE_APPS_MORVANEOGL_ABOUT_DIALOG_H
#define MORVANE_APPS_MORVANEOGL_ABOUT_DIALOG_H

#include <QDialog>

// "MorvaneOGL Info": the program's name, icon and build number.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

#endif
