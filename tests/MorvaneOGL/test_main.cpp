// The viewer tests run real OpenGL windows: the program starts its own X server (Xvfb) and
// makes the QApplication on it before the first test; listing the tests needs neither.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QTemporaryDir>

#include "host/ui/window_fit.h"
#include "support/xvfb_server.h"

namespace {

class ViewerEnvironment : public ::testing::Environment {
 public:
  ViewerEnvironment(int argc, char** argv) : argc_(argc), argv_(argv) {}

  void SetUp() override {
    std::string error;
    server_ = new XvfbServer("1280x1024x24");
    if (!server_->start(error)) FAIL() << error;
    // The single-instance lock and socket of a run stay in a folder of the test's own.
    runtime_ = new QTemporaryDir;
    setenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit().constData(), 1);
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    app_ = new QApplication(argc_, argv_);
    InstallWindowFit(*app_);  // as the program does
    std::setlocale(LC_NUMERIC, "C");
  }

 private:
  int argc_;
  char** argv_;
  // The application and the server stay until the process ends: destroying the application
  // unloads Mesa's driver, whose last allocations the leak checker could then no longer
  // attribute, and the server ends with the process. The pointers are volatile because
  // nothing reads them back: an optimised build would drop the stores, and valgrind would
  // then find the three objects unreachable and report them lost.
  static XvfbServer* volatile server_;
  static QTemporaryDir* volatile runtime_;
  static QApplication* volatile app_;
};

XvfbServer* volatile ViewerEnvironment::server_ = nullptr;
QTemporaryDir* volatile ViewerEnvironment::runtime_ = nullptr;
QApplication* volatile ViewerEnvironment::app_ = nullptr;

}  // namespace

// The system's D-Bus library keeps a buffer that Qt's platform connection never frees; the
// leak checker of sanitizer builds is told so. Without the checker nothing calls this.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new ViewerEnvironment(argc, argv));
  return RUN_ALL_TESTS();
}
