#pragma once

#include <string>
#include <vector>

#include <QDialog>

class QListWidget;

// "Plugin Info": the plug-in summary lines, "Save ..." writing them to a text file and "Close".
class PluginInfoDialog : public QDialog {
  Q_OBJECT
 public:
  PluginInfoDialog(const std::vector<std::string>& lines, QWidget* parent = nullptr);

  QListWidget* List() const { return list_; }
  // Writes the lines to path; "FileOpen Error" (title "Error") when it cannot.
  bool SaveTo(const QString& path);

 private:
  void Save();

  std::vector<std::string> lines_;
  QListWidget* list_;
};
