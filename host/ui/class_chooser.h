#pragma once

#include <functional>
#include <vector>

#include <QStringList>
#include <QWidget>

class HostCommands;
class PluginManager;
class QComboBox;
class QPushButton;

// The import or the export group of both hosts: the list of classes with a run button
// ("&Import", "&Export"), an options and a help button. It runs nothing itself: the choice in
// the list and the buttons become signals for the window's commands.
class ClassChooser : public QWidget {
  Q_OBJECT
 public:
  // How the parts stand: the list above its run, options and help buttons, or the options,
  // help and run buttons above the list.
  enum class Layout { ListAbove, ButtonsAbove };
  struct Texts {
    const char* run;
    const char* options;
    const char* help;
  };

  ClassChooser(const Texts& texts, Layout layout, QWidget* parent = nullptr);

  // Shows names with the one at selected chosen; without names the list shows "(none)".
  void SetClasses(const QStringList& names, int selected);

  QComboBox* List() const { return list_; }
  QPushButton* RunButton() const { return run_; }
  QPushButton* OptionsButton() const { return options_; }
  QPushButton* HelpButton() const { return help_; }

 signals:
  // The user chose the class at position of the list.
  void Chosen(int position);
  void RunClicked();
  void OptionsClicked();
  void HelpClicked();

 private:
  QComboBox* list_;
  QPushButton* run_;
  QPushButton* options_;
  QPushButton* help_;
};

// The class names of the plug-in manager's classes at the positions of index, in that order.
QStringList ClassNames(const PluginManager& plugins, const std::vector<int>& index);

// Which class group of the host commands a chooser serves.
enum class ClassGroup { Import, Export };

// Wires chooser to commands (which must outlive it): the chosen class becomes the group's
// selection, and the options and help buttons open the selected class's, while available()
// says the group's plug-ins are usable.
void ConnectClassCommands(ClassChooser* chooser, HostCommands* commands, ClassGroup group,
                          std::function<bool()> available);
