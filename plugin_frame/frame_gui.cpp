#include "plugin_frame/frame_gui.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

bool frame_has_widgets() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

QWidget* frame_owner_window() {
  if (!frame_has_widgets()) return nullptr;
  QWidget* active = QApplication::activeModalWidget();
  if (active == nullptr) active = QApplication::activeWindow();
  if (active != nullptr) return active->window();
  // Right after a file chooser closed the activation may not have come back yet: take the
  // program's visible main window instead.
  const auto windows = QApplication::topLevelWidgets();
  for (QWidget* window : windows) {
    if (!window->isVisible() || window->inherits("ProgressDialog") ||
        window->inherits("QFileDialog") || window->inherits("QMessageBox"))
      continue;
    Qt::WindowType type = window->windowType();
    if (type == Qt::Window || type == Qt::Dialog) return window;
  }
  return nullptr;
}

namespace {

std::string trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string convert_filter(const char* filter) {
  if (filter == nullptr) return std::string();
  // Split at "|": description, patterns, description, patterns, ...; "||" ends the list.
  std::vector<std::string> parts;
  std::string current;
  for (const char* p = filter; *p != '\0'; ++p) {
    if (*p == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += *p;
    }
  }
  if (!current.empty()) parts.push_back(current);
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    std::string patterns = parts[i + 1];
    if (description.empty() && patterns.empty()) break;
    std::size_t open = description.rfind('(');
    if (open != std::string::npos && description.find(')', open) != std::string::npos)
      description = description.substr(0, open);
    description = trim(description);
    std::string converted;
    std::size_t start = 0;
    while (start <= patterns.size()) {
      std::size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string pattern = trim(patterns.substr(start, end - start));
      if (pattern == "*.*") pattern = "*";
      if (!pattern.empty()) {
        if (!converted.empty()) converted += ' ';
        converted += pattern;
      }
      start = end + 1;
    }
    if (!result.empty()) result += ";;";
    result += description + " (" + converted + ")";
  }
  return result;
}

bool choose_file(bool open, const char* filter, const char* ext, const std::string& folder,
                 const std::string& initial_name, std::string& chosen) {
  if (!frame_has_widgets()) return false;
  QString name = QString::fromLocal8Bit(initial_name.c_str());
  QString directory = QString::fromLocal8Bit(folder.c_str());
  QFileInfo initial(name);
  if (directory.isEmpty() && !name.isEmpty() && initial.isAbsolute())
    directory = initial.absolutePath();
  QFileDialog dialog(frame_owner_window(), QString(), directory,
                     QString::fromLocal8Bit(convert_filter(filter).c_str()));
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!open && ext != nullptr && *ext != '\0') dialog.setDefaultSuffix(QString::fromLocal8Bit(ext));
  if (!name.isEmpty()) dialog.selectFile(initial.fileName());
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  QFileInfo picked(files.first());
  chosen = picked.absoluteFilePath().toLocal8Bit().toStdString();
  // The chooser leaves the chosen file's folder current; the runs store it as "path" and
  // a log file name without a folder lands there.
  if (chdir(picked.absolutePath().toLocal8Bit().constData()) != 0) {
    // The folder vanished meanwhile; the run goes on in the current directory.
  }
  return true;
}

void frame_report_problem(const std::string& title, const std::string& text) {
  if (!frame_has_widgets()) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::Ok, frame_owner_window());
  box.exec();
}

bool choose_folder(QWidget* owner, const std::string& title, const std::string& start,
                   std::string& chosen) {
  if (!frame_has_widgets()) return false;
  QFileDialog dialog(owner, QString::fromStdString(title), QFile::decodeName(start.c_str()));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  // While a name is typed the chooser selects every entry that the text has matched on the
  // way ("p", then "parts") and rewrites the name field as the list of them; its answer is
  // then the first. What the user typed last is kept to put that right.
  QLineEdit* name = dialog.findChild<QLineEdit*>("fileNameEdit");
  QString typed;
  if (name != nullptr)
    QObject::connect(name, &QLineEdit::textEdited, &dialog,
                     [&typed](const QString& text) { typed = text; });
  if (dialog.exec() != QDialog::Accepted) return false;
  // A relative name counts from the folder the chooser shows; an absolute one stands.
  auto folder_named = [&dialog](const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('"'))) return QString();
    const QFileInfo info(dialog.directory().filePath(trimmed));
    return info.isDir() ? info.absoluteFilePath() : QString();
  };
  QString folder = name != nullptr ? folder_named(name->text()) : QString();
  if (folder.isEmpty()) folder = folder_named(typed);
  if (folder.isEmpty()) {
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return false;
    folder = files.first();
  }
  chosen = QFile::encodeName(QDir::cleanPath(folder)).toStdString();
  return true;
}
