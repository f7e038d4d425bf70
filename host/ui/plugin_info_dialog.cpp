#include "host/ui/plugin_info_dialog.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/plugin_summary.h"
#include "host/ui/message_box.h"

PluginInfoDialog::PluginInfoDialog(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent), lines_(lines) {
  setWindowTitle("Plugin Info");
  list_ = new QListWidget;
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  for (const std::string& line : lines_) {
    // The list shows tabs at the usual stops of eight characters.
    QString text = QString::fromUtf8(line.c_str());
    QString shown;
    for (QChar c : text) {
      if (c == '\t')
        shown += QString(8 - shown.size() % 8, ' ');
      else
        shown += c;
    }
    list_->addItem(shown);
  }
  auto* save = new QPushButton("Save ...");
  auto* close = new QPushButton("Close");
  connect(save, &QPushButton::clicked, this, &PluginInfoDialog::Save);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(save);
  row->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(row);
  resize(520, 420);
}

void PluginInfoDialog::Save() {
  QFileDialog chooser(this, "Save", QString(), "Plugin Summary (*.txt);;All Files (*)");
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setDefaultSuffix("txt");
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
  SaveTo(chooser.selectedFiles().first());
}

bool PluginInfoDialog::SaveTo(const QString& path) {
  if (SavePluginSummary(path.toLocal8Bit().toStdString(), lines_)) return true;
  ShowMessageBox(this, "FileOpen Error", "Error");
  return false;
}
