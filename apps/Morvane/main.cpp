// Morvane: the converter host. One instance per user: a second start hands its file to the
// running one and ends.

#include "apps/Morvane/morvane_dialog.h"
#include "host/ui/gui_program.h"

int main(int argc, char* argv[]) {
  return RunGuiProgram(argc, argv, {"Morvane", ":/morvane/morvane.svg", "MorvaneMutex", false},
                       [](const QByteArray& file, SingleInstance* instance) {
                         auto dialog = std::make_unique<MorvaneDialog>(file, instance);
                         dialog->show();
                         return std::unique_ptr<QObject>(std::move(dialog));
                       });
}
