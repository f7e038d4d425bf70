#pragma once

#include <functional>

#include "host/host_commands.h"

class QWidget;

// The host commands' window side in Qt: message boxes and the "Change Name" dialog owned by
// the main window; title, counters and busy state through the window's own functions.
class QtHostInterface : public HostUserInterface {
 public:
  explicit QtHostInterface(QWidget* window) : window_(window) {}

  void ShowMessage(const char* text, const char* title) override;
  bool AskNewName(const std::string& old_name, const std::string& proposal,
                  std::string& entered) override;
  void ShowImportedFile(const std::string& file_name) override;
  void ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices) override;
  void SetBusy(bool busy) override;

  std::function<void(const std::string&)> on_imported_file;
  std::function<void(std::int32_t, std::int32_t, std::int32_t)> on_counters;
  std::function<void(bool)> on_busy;

 private:
  QWidget* window_;
};
