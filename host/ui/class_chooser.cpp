#include "host/ui/class_chooser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/host_commands.h"
#include "host/plugin_manager.h"

namespace {

QPushButton* button(const char* text) {
  auto* made = new QPushButton(text);
  // Return in the window belongs to its default button, never to a class command.
  made->setAutoDefault(false);
  return made;
}

}  // namespace

ClassChooser::ClassChooser(const Texts& texts, Layout layout, QWidget* parent) : QWidget(parent) {
  // The parts are added in the order they stand, which is also the order Tab visits them.
  if (layout == Layout::ListAbove) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    list_ = new QComboBox;
    grid->addWidget(list_, 0, 0, 1, 3);
    grid->addWidget(run_ = button(texts.run), 1, 0);
    grid->addWidget(options_ = button(texts.options), 1, 1);
    grid->addWidget(help_ = button(texts.help), 1, 2);
  } else {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    row->addWidget(options_ = button(texts.options));
    row->addWidget(help_ = button(texts.help));
    row->addWidget(run_ = button(texts.run));
    list_ = new QComboBox;
    column->addWidget(list_);
  }
  list_->addItem("(none)");

  connect(list_, qOverload<int>(&QComboBox::activated), this, &ClassChooser::Chosen);
  connect(run_, &QPushButton::clicked, this, &ClassChooser::RunClicked);
  connect(options_, &QPushButton::clicked, this, &ClassChooser::OptionsClicked);
  connect(help_, &QPushButton::clicked, this, &ClassChooser::HelpClicked);
}

void ClassChooser::SetClasses(const QStringList& names, int selected) {
  list_->clear();
  if (names.isEmpty()) {
    list_->addItem("(none)");
    return;
  }
  list_->addItems(names);
  list_->setCurrentIndex(selected);
}

QStringList ClassNames(const PluginManager& plugins, const std::vector<int>& index) {
  QStringList names;
  for (int position : index) names << QString::fromUtf8(plugins.ClassAt(position)->ClassName());
  return names;
}

void ConnectClassCommands(ClassChooser* chooser, HostCommands* commands, ClassGroup group,
                          std::function<bool()> available) {
  const bool import = group == ClassGroup::Import;
  QObject::connect(chooser, &ClassChooser::Chosen, chooser, [commands, import](int position) {
    if (import)
      commands->SelectImport(position);
    else
      commands->SelectExport(position);
  });
  // A button runs the group's command of the selected class while the plug-ins are usable.
  auto run = [commands, available](void (HostCommands::*command)()) {
    return [commands, available, command]() {
      if (available()) (commands->*command)();
    };
  };
  QObject::connect(chooser, &ClassChooser::OptionsClicked, chooser,
                   run(import ? &HostCommands::ImportOptions : &HostCommands::ExportOptions));
  QObject::connect(chooser, &ClassChooser::HelpClicked, chooser,
                   run(import ? &HostCommands::ImportHelp : &HostCommands::ExportHelp));
}
