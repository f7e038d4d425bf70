#pragma once

#include <map>
#include <string>

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The modal options dialog of a plug-in class: a "Common" group (Verbose 1025, Unify 1026 on
// import dialogs, "Swap Mode" radios 1027..1030, "Size Value" 1031, "Log File Name" 1024 and,
// on export dialogs, "Line Delimiter" radios DOS/UNIX/MAC at 1035..1037, or 1038..1040 in the
// second export template) beside a "Specific" group that each class fills. Every numbered
// control carries its number as the dynamic property "controlId".
//
// The dialog edits its own copy of the values. A check box or radio click stores at once; an
// edit's text counts when the edit loses the focus and again when the dialog is accepted (OK
// or Enter), so a size typed right before Enter is kept. Numbers are read with
// ReadNumberField. Cancel discards, and no error box appears for a dialog being cancelled.
class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  // The numbers of the common controls.
  enum ControlId : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdLogFile = 1024,
    kIdVerbose,  // 1025
    kIdUnify,    // 1026
    kIdNoSwap,   // 1027 to 1030
    kIdSize = 1031,
    kIdDos = 1035,        // to 1037
    kIdDosSecond = 1038,  // to 1040
  };

  enum Template {
    ImportTemplate = 0,
    ExportTemplate = 1,        // line delimiter radios 1035..1037
    ExportSecondTemplate = 2,  // line delimiter radios 1038..1040 (wire classes)
  };

  OptionsDialog(Template form, const QString& title, QWidget* parent = nullptr);
  ~OptionsDialog() override;

  // Puts the common values into the controls (size with three decimals).
  void SetCommonOptions(unsigned verbose, unsigned swap, unsigned unify, unsigned ld, double size,
                        const std::string& log_file_name);

  unsigned VerboseMode() const { return verbose_; }
  unsigned SwapMode() const { return swap_; }
  unsigned UnifyMode() const { return unify_; }
  unsigned LdMode() const { return ld_; }
  double SizeValue() const { return size_; }
  const std::string& LogFileName() const { return log_file_name_; }

  // "Specific" group. Each field is a labelled row; its value counts on focus loss and on
  // accept, like the common ones.
  QLineEdit* AddNumberField(int control_id, const QString& label, double value);
  QLineEdit* AddTextField(int control_id, const QString& label, const std::string& text,
                          int max_length);
  // A check box on a row of its own; its state counts at once, like the common ones.
  QCheckBox* AddCheckBox(int control_id, const QString& label, bool checked);
  // A push button at the end of the last row (a new row when there is none).
  QPushButton* AddButton(int control_id, const QString& text);
  QGroupBox* SpecificGroup() const { return specific_; }

  double NumberValue(int control_id) const;
  std::string TextValue(int control_id) const;
  // The state of a check box of the "Specific" group; false for any other number.
  bool CheckValue(int control_id) const;
  // Replaces a text field's value and shows it.
  void SetTextValue(int control_id, const std::string& text);

  Template Form() const { return form_; }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Field {
    QLineEdit* edit;
    bool number;
    double number_value;
    std::string text_value;
    int max_length;
  };
  void TakeField(Field& field);
  QHBoxLayout* NewSpecificRow(const QString& label);

  Template form_;
  unsigned verbose_ = 0, swap_ = 0, unify_ = 0, ld_ = 0;
  double size_ = 1.0;
  std::string log_file_name_;

  QCheckBox* verbose_box_ = nullptr;
  QCheckBox* unify_box_ = nullptr;
  QButtonGroup* swap_group_ = nullptr;
  QButtonGroup* ld_group_ = nullptr;
  QLineEdit* size_edit_ = nullptr;
  QLineEdit* log_edit_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QGroupBox* specific_ = nullptr;
  QVBoxLayout* specific_layout_ = nullptr;
  QHBoxLayout* last_row_ = nullptr;
  std::map<int, Field> fields_;  // specific fields by control number
  std::map<int, bool> checks_;   // specific check boxes by control number
  bool closing_ = false;         // accepted or cancelled: no more reading
  bool reading_ = false;         // a field is being read (its error box may move the focus)
};

// The control with the given controlId inside widget, or null.
QWidget* find_control(QWidget* widget, int control_id);
