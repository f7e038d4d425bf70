#include "host/ui/qt_host_interface.h"

#include <QString>

#include "host/ui/change_name_dialog.h"
#include "host/ui/message_box.h"

void QtHostInterface::ShowMessage(const char* text, const char* title) {
  ShowMessageBox(window_, QString::fromUtf8(text), QString::fromUtf8(title));
}

bool QtHostInterface::AskNewName(const std::string& old_name, const std::string& proposal,
                                 std::string& entered) {
  ChangeNameDialog dialog(old_name, proposal, window_);
  if (dialog.exec() != QDialog::Accepted) return false;
  entered = dialog.NewName();
  return true;
}

void QtHostInterface::ShowImportedFile(const std::string& file_name) {
  if (on_imported_file) on_imported_file(file_name);
}

void QtHostInterface::ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices) {
  if (on_counters) on_counters(meshes, faces, vertices);
}

void QtHostInterface::SetBusy(bool busy) {
  if (on_busy) on_busy(busy);
}
