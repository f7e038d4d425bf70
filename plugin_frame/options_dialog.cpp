#include "plugin_frame/options_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "plugin_frame/read_number_field.h"

namespace {

// The log file name keeps at most this many characters.
constexpr int kLogFileText = 258;
// How many average letters a text field of the "Specific" group shows.
constexpr int kTextFieldLetters = 48;

QString shown_number(double value) {
  char text[64];
  return QString::fromLatin1(format_3f(value, text));
}

}  // namespace

QWidget* find_control(QWidget* widget, int control_id) {
  if (widget == nullptr) return nullptr;
  const auto children = widget->findChildren<QWidget*>();
  for (QWidget* child : children) {
    QVariant id = child->property("controlId");
    if (id.isValid() && id.toInt() == control_id) return child;
  }
  return nullptr;
}

OptionsDialog::OptionsDialog(Template form, const QString& title, QWidget* parent)
    : QDialog(parent), form_(form) {
  setWindowTitle(title);
  auto* top = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  top->addLayout(groups);

  auto* common = new QGroupBox(QStringLiteral("Common"), this);
  auto* common_layout = new QVBoxLayout(common);
  groups->addWidget(common, 0, Qt::AlignTop);

  verbose_box_ = new QCheckBox(QStringLiteral("Verbose"), common);
  verbose_box_->setProperty("controlId", kIdVerbose);
  common_layout->addWidget(verbose_box_);
  connect(verbose_box_, &QCheckBox::toggled, this,
          [this](bool checked) { verbose_ = checked ? 1 : 0; });

  if (form_ == ImportTemplate) {
    unify_box_ = new QCheckBox(QStringLiteral("Unify"), common);
    unify_box_->setProperty("controlId", kIdUnify);
    common_layout->addWidget(unify_box_);
    connect(unify_box_, &QCheckBox::toggled, this,
            [this](bool checked) { unify_ = checked ? 1 : 0; });
  }

  auto* swap_box = new QGroupBox(QStringLiteral("Swap Mode"), common);
  auto* swap_layout = new QVBoxLayout(swap_box);
  swap_group_ = new QButtonGroup(this);
  const char* swap_names[] = {"No Swap", "X <-> Y", "X <-> Z", "Y <-> Z"};
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(swap_names[i]), swap_box);
    radio->setProperty("controlId", kIdNoSwap + i);
    swap_group_->addButton(radio, i);
    swap_layout->addWidget(radio);
  }
  connect(swap_group_, &QButtonGroup::idClicked, this,
          [this](int id) { swap_ = static_cast<unsigned>(id); });
  common_layout->addWidget(swap_box);

  auto* size_box = new QGroupBox(QStringLiteral("Size Value"), common);
  auto* size_layout = new QVBoxLayout(size_box);
  size_edit_ = new QLineEdit(size_box);
  size_edit_->setProperty("controlId", kIdSize);
  size_edit_->installEventFilter(this);
  size_layout->addWidget(size_edit_);
  common_layout->addWidget(size_box);

  auto* log_box = new QGroupBox(QStringLiteral("Log File Name"), common);
  auto* log_layout = new QVBoxLayout(log_box);
  log_edit_ = new QLineEdit(log_box);
  log_edit_->setProperty("controlId", kIdLogFile);
  log_edit_->setMaxLength(kLogFileText);
  log_edit_->installEventFilter(this);
  log_layout->addWidget(log_edit_);
  common_layout->addWidget(log_box);

  if (form_ != ImportTemplate) {
    int first = form_ == ExportSecondTemplate ? kIdDosSecond : kIdDos;
    auto* ld_box = new QGroupBox(QStringLiteral("Line Delimiter"), common);
    auto* ld_layout = new QHBoxLayout(ld_box);
    ld_group_ = new QButtonGroup(this);
    const char* ld_names[] = {"DOS", "UNIX", "MAC"};
    for (int i = 0; i < 3; ++i) {
      auto* radio = new QRadioButton(QString::fromLatin1(ld_names[i]), ld_box);
      radio->setProperty("controlId", first + i);
      ld_group_->addButton(radio, i);
      ld_layout->addWidget(radio);
    }
    connect(ld_group_, &QButtonGroup::idClicked, this,
            [this](int id) { ld_ = static_cast<unsigned>(id); });
    common_layout->addWidget(ld_box);
  }

  specific_ = new QGroupBox(QStringLiteral("Specific"), this);
  specific_layout_ = new QVBoxLayout(specific_);
  groups->addWidget(specific_, 0, Qt::AlignTop);
  specific_->hide();  // shown once a class adds a control

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  ok_button_ = new QPushButton(QStringLiteral("OK"), this);
  ok_button_->setProperty("controlId", kIdOk);
  ok_button_->setDefault(true);
  cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button_->setProperty("controlId", kIdCancel);
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  top->addLayout(buttons);
  connect(ok_button_, &QPushButton::clicked, this, &OptionsDialog::accept);
  connect(cancel_button_, &QPushButton::clicked, this, &OptionsDialog::reject);

  SetCommonOptions(0, 0, 0, 0, 1.0, std::string());
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::SetCommonOptions(unsigned verbose, unsigned swap, unsigned unify, unsigned ld,
                                     double size, const std::string& log_file_name) {
  verbose_ = verbose;
  swap_ = swap;
  unify_ = unify;
  ld_ = ld;
  size_ = size;
  log_file_name_ = log_file_name.substr(0, kLogFileText);

  // The check boxes show exactly 1 as checked, as the stored modes are used.
  {
    QSignalBlocker block(verbose_box_);
    verbose_box_->setChecked(verbose == 1);
  }
  if (unify_box_ != nullptr) {
    QSignalBlocker block(unify_box_);
    unify_box_->setChecked(unify == 1);
  }
  // A stored mode without a radio button selects none, and stays as stored until a click.
  swap_group_->setExclusive(false);
  for (QAbstractButton* b : swap_group_->buttons())
    b->setChecked(swap_group_->id(b) == static_cast<int>(swap));
  swap_group_->setExclusive(true);
  if (ld_group_ != nullptr) {
    ld_group_->setExclusive(false);
    for (QAbstractButton* b : ld_group_->buttons())
      b->setChecked(ld_group_->id(b) == static_cast<int>(ld));
    ld_group_->setExclusive(true);
  }
  size_edit_->setText(shown_number(size));
  log_edit_->setText(QString::fromUtf8(log_file_name_.c_str()));
}

QHBoxLayout* OptionsDialog::NewSpecificRow(const QString& label) {
  specific_->show();
  auto* row = new QHBoxLayout;
  if (!label.isEmpty()) {
    auto* caption = new QLabel(label, specific_);
    row->addWidget(caption);
    caption->show();
  }
  specific_layout_->addLayout(row);
  last_row_ = row;
  return row;
}

QLineEdit* OptionsDialog::AddNumberField(int control_id, const QString& label, double value) {
  QHBoxLayout* row = NewSpecificRow(label);
  auto* edit = new QLineEdit(specific_);
  edit->setProperty("controlId", control_id);
  edit->setText(shown_number(value));
  edit->installEventFilter(this);
  row->addWidget(edit);
  edit->show();  // also when a class adds it to a dialog already shown
  fields_[control_id] = Field{edit, true, value, std::string(), 0};
  return edit;
}

QLineEdit* OptionsDialog::AddTextField(int control_id, const QString& label,
                                       const std::string& text, int max_length) {
  QHBoxLayout* row = NewSpecificRow(label);
  auto* edit = new QLineEdit(specific_);
  edit->setProperty("controlId", control_id);
  if (max_length > 0) edit->setMaxLength(max_length);
  std::string kept = max_length > 0 ? text.substr(0, static_cast<std::size_t>(max_length)) : text;
  edit->setText(QString::fromUtf8(kept.c_str()));
  // Room for a folder or two: a text such as a search path is read whole, not 15 letters of it.
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kTextFieldLetters);
  edit->installEventFilter(this);
  row->addWidget(edit);
  edit->show();
  fields_[control_id] = Field{edit, false, 0.0, kept, max_length};
  return edit;
}

QCheckBox* OptionsDialog::AddCheckBox(int control_id, const QString& label, bool checked) {
  QHBoxLayout* row = NewSpecificRow(QString());
  auto* box = new QCheckBox(label, specific_);
  box->setProperty("controlId", control_id);
  box->setChecked(checked);
  checks_[control_id] = checked;
  connect(box, &QCheckBox::toggled, this,
          [this, control_id](bool on) { checks_[control_id] = on; });
  row->addWidget(box);
  box->show();
  return box;
}

bool OptionsDialog::CheckValue(int control_id) const {
  auto it = checks_.find(control_id);
  return it != checks_.end() && it->second;
}

QPushButton* OptionsDialog::AddButton(int control_id, const QString& text) {
  QHBoxLayout* row = last_row_ != nullptr ? last_row_ : NewSpecificRow(QString());
  auto* button = new QPushButton(text, specific_);
  button->setProperty("controlId", control_id);
  button->setAutoDefault(false);
  row->addWidget(button);
  button->show();
  return button;
}

double OptionsDialog::NumberValue(int control_id) const {
  auto it = fields_.find(control_id);
  return it != fields_.end() ? it->second.number_value : 0.0;
}

std::string OptionsDialog::TextValue(int control_id) const {
  auto it = fields_.find(control_id);
  return it != fields_.end() ? it->second.text_value : std::string();
}

void OptionsDialog::SetTextValue(int control_id, const std::string& text) {
  auto it = fields_.find(control_id);
  if (it == fields_.end() || it->second.number) return;
  Field& field = it->second;
  field.text_value =
      field.max_length > 0 ? text.substr(0, static_cast<std::size_t>(field.max_length)) : text;
  field.edit->setText(QString::fromUtf8(field.text_value.c_str()));
}

// Takes one specific edit's text into the dialog's copy.
void OptionsDialog::TakeField(Field& field) {
  if (field.number) {
    field.number_value = read_number_field(field.edit, field.number_value, nullptr);
  } else {
    field.text_value = field.edit->text().toUtf8().toStdString();
    if (field.max_length > 0 &&
        field.text_value.size() > static_cast<std::size_t>(field.max_length))
      field.text_value.resize(static_cast<std::size_t>(field.max_length));
  }
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusOut || closing_ || reading_ || !isVisible())
    return QDialog::eventFilter(watched, event);
  auto* focus = static_cast<QFocusEvent*>(event);
  // A context menu or another window taking the focus does not end the edit; the Cancel
  // button taking it means the values are about to be discarded anyway.
  if (focus->reason() == Qt::PopupFocusReason || focus->reason() == Qt::ActiveWindowFocusReason ||
      QApplication::focusWidget() == cancel_button_)
    return QDialog::eventFilter(watched, event);
  reading_ = true;
  if (watched == size_edit_) {
    size_ = read_number_field(size_edit_, size_, nullptr);
  } else if (watched == log_edit_) {
    log_file_name_ = log_edit_->text().left(kLogFileText).toUtf8().toStdString();
  } else {
    for (auto& entry : fields_)
      if (entry.second.edit == watched) TakeField(entry.second);
  }
  reading_ = false;
  return QDialog::eventFilter(watched, event);
}

void OptionsDialog::accept() {
  if (reading_) return;
  // The edit that has the focus has not lost it: take every edit's text now, so that a
  // value typed right before Enter counts. A rejected number keeps the dialog open with the
  // old value shown.
  reading_ = true;
  bool valid = true;
  bool ok = true;
  size_ = read_number_field(size_edit_, size_, &ok);
  valid = valid && ok;
  log_file_name_ = log_edit_->text().left(kLogFileText).toUtf8().toStdString();
  for (auto& entry : fields_) {
    Field& field = entry.second;
    if (field.number) {
      field.number_value = read_number_field(field.edit, field.number_value, &ok);
      valid = valid && ok;
    } else {
      TakeField(field);
    }
  }
  reading_ = false;
  if (!valid) return;
  closing_ = true;
  QDialog::accept();
}

void OptionsDialog::reject() {
  closing_ = true;
  QDialog::reject();
}
