#include "host/ui/gui_program.h"

#include <clocale>
#include <csignal>

#include <QApplication>
#include <QFile>
#include <QIcon>

#include "host/ui/single_instance.h"
#include "host/ui/window_fit.h"
#include "settings/memory.h"

int RunGuiProgram(int argc, char* argv[], const GuiProgram& program,
                  const OpenProgramWindow& open) {
  install_must_new_handler();
  // Past a file size limit an export's write fails and the plug-in keeps the old file,
  // instead of the signal ending the program with the user's objects.
  std::signal(SIGXFSZ, SIG_IGN);
  // Views that draw the same display lists need every context to share one list name space.
  if (program.shares_opengl_contexts) QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // Every number the system writes or reads uses ".", whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(program.name);
  QApplication::setWindowIcon(QIcon(program.icon));
  InstallWindowFit(app);

  // The first argument, if any, is a file to import.
  QByteArray file;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) file = AbsoluteFileName(QFile::encodeName(arguments.at(1)));

  SingleInstance instance(program.instance_key);
  if (!instance.IsFirst()) {
    instance.HandOver(file);
    return 0;
  }
  int status;
  {
    std::unique_ptr<QObject> window = open(file, &instance);
    status = app.exec();
  }
  return status;
}
