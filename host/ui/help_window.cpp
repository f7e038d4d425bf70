#include "host/ui/help_window.h"

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

void ShowHelpWindow(QWidget* parent, const QString& title, const QString& resource) {
  static QPointer<QDialog> window;
  if (window.isNull()) {
    window = new QDialog(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    auto* browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(resource));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(560, 480);
  }
  window->show();
  window->raise();
  window->activateWindow();
}
