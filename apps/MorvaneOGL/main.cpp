// MorvaneOGL: the converter host with an OpenGL viewer. One instance per user: a second start
// hands its file to the running one and ends.

#include "apps/MorvaneOGL/morvane_ogl_app.h"
#include "host/host_settings.h"
#include "host/ui/gui_program.h"

int main(int argc, char* argv[]) {
  // The four views draw the same display lists.
  return RunGuiProgram(
      argc, argv, {"MorvaneOGL", ":/morvaneogl/morvaneogl.svg", "MorvaneOGLMutex", true},
      [](const QByteArray& file, SingleInstance* instance) {
        auto viewer = std::make_unique<CMyMorvaneOGLApp>(new HostSettings(HostProgram::Viewer));
        viewer->Start(file, instance);
        return std::unique_ptr<QObject>(std::move(viewer));
      });
}
