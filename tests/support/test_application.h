// The one QApplication of a test program, made on first use under the given program name
// (which is also the owner of the host's settings). Where the test runner chose no platform,
// the windows live on Qt's offscreen platform.
#pragma once

#include <string>

#include <QApplication>

inline QApplication& test_application(const char* name) {
  static std::string program = name;
  static int argc = 1;
  static char* argv[] = {&program[0], nullptr};
  if (QApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  }
  return *static_cast<QApplication*>(QApplication::instance());
}
