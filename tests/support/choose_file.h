// Picks a file or folder in a file chooser the way a user types it, for tests that answer the
// plug-ins' and hosts' choosers from a timer.
#pragma once

#include <string>

#include <QFileDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// Puts path into chooser's name field and tells whether the chooser now offers exactly that
// choice (or that name with the chooser's default suffix added). selectFile alone is not
// enough: it leaves the name field alone while the field has the focus, which it takes as soon
// as the chooser becomes the active window, so whether a test's answer reached the chooser
// would depend on how fast the window system activated it.
inline bool put_choice(QFileDialog* chooser, const QString& path) {
  chooser->selectFile(path);
  if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
  const QStringList chosen = chooser->selectedFiles();
  const QString suffix = chooser->defaultSuffix();
  return chosen.size() == 1 &&
         (chosen.first() == path || (!suffix.isEmpty() && chosen.first() == path + "." + suffix));
}

// Chooses path and accepts the chooser. When the chooser does not offer path, the test fails
// and the chooser is cancelled, so that a test never waits on a chooser left open.
inline void choose_file(QFileDialog* chooser, const QString& path) {
  if (put_choice(chooser, path)) {
    static_cast<QDialog*>(chooser)->accept();  // public in QDialog
    return;
  }
  ADD_FAILURE() << "the file chooser does not offer " << path.toStdString() << " but "
                << chooser->selectedFiles().join(", ").toStdString();
  chooser->reject();
}

inline void choose_file(QFileDialog* chooser, const std::string& path) {
  choose_file(chooser, QString::fromLocal8Bit(path.c_str()));
}
