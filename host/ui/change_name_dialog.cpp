#include "host/ui/change_name_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

ChangeNameDialog::ChangeNameDialog(const std::string& old_name, const std::string& proposal,
                                   QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Change Name");
  auto* form = new QFormLayout;
  auto* old_edit = new QLineEdit(QString::fromStdString(old_name));
  old_edit->setReadOnly(true);
  old_edit->setObjectName("old");
  // The old name is there to read (and copy); the keys go to the new one.
  old_edit->setFocusPolicy(Qt::ClickFocus);
  new_name_ = new QLineEdit(QString::fromStdString(proposal));
  new_name_->setObjectName("new");
  new_name_->selectAll();
  form->addRow("Old:", old_edit);
  form->addRow("New:", new_name_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(360);
  new_name_->setFocus();
}

std::string ChangeNameDialog::NewName() const { return new_name_->text().toStdString(); }
