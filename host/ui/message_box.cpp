#include "host/ui/message_box.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget* parent, const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                  parent != nullptr ? parent : QApplication::activeWindow());
  if (title == "Error")
    box.setIcon(QMessageBox::Critical);
  else if (title == "Warning")
    box.setIcon(QMessageBox::Warning);
  else
    box.setIcon(QMessageBox::Information);
  box.exec();
}

void SetControlId(QWidget* widget, int control_id) { widget->setProperty("controlId", control_id); }
