#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QObject>

class SingleInstance;

// How a window program of the host differs from the other at start-up.
struct GuiProgram {
  const char* name;          // the application name
  const char* icon;          // the window icon's resource
  const char* instance_key;  // the name under which the running instance is found
  bool shares_opengl_contexts;
};

// Opens the program's window for file (absolute; empty when none was named) and starts
// listening for later starts through instance. The object returned owns the window until the
// event loop ends.
using OpenProgramWindow =
    std::function<std::unique_ptr<QObject>(const QByteArray& file, SingleInstance* instance)>;

// The whole run of a window program: the process settings, the application object, the file
// named by the first argument, and one instance per user (a later start hands its file to the
// running one and ends with 0). Returns the exit status of the event loop.
int RunGuiProgram(int argc, char* argv[], const GuiProgram& program, const OpenProgramWindow& open);
