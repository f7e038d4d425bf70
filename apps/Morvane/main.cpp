// Morvane: the converter host. One instance per user: a second start hands its file to the
// running one and ends.

#include <clocale>
#include <csignal>

#include <QApplication>
#include <QFile>

#include "apps/Morvane/morvane_dialog.h"
#include "host/ui/single_instance.h"
#include "settings/memory.h"

int main(int argc, char* argv[]) {
  install_must_new_handler();
  // Past a file size limit an export's write fails and the plug-in keeps the old file,
  // instead of the signal ending the program with the user's objects.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  // Every number the system writes or reads uses ".", whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Morvane");
  QApplication::setWindowIcon(QIcon(":/morvane/morvane.svg"));

  // The first argument, if any, is a file to import.
  QByteArray file;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) file = AbsoluteFileName(QFile::encodeName(arguments.at(1)));

  SingleInstance instance("MorvaneMutex");
  if (!instance.IsFirst()) {
    instance.HandOver(file);
    return 0;
  }
  int status;
  {
    MorvaneDialog dialog(file, &instance);
    dialog.show();
    status = app.exec();
  }
  return status;
}
