#include "apps/MorvaneOGL/view_options_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kModeLabels[6] = {"&Box", "&Edge", "&Wire", "&Shade", "&Double", "&Point"};

QGroupBox* mode_group(const QString& title, QButtonGroup* group) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  for (int mode = 0; mode < 6; ++mode) {
    auto* radio = new QRadioButton(kModeLabels[mode]);
    group->addButton(radio, mode);
    layout->addWidget(radio);
  }
  return box;
}

// Checks the button of value, or none for a value the dialog does not offer (6, by key).
void check_value(QButtonGroup* group, int value) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == value);
  group->setExclusive(true);
}

}  // namespace

ViewOptionsDialog::ViewOptionsDialog(const ViewModes pairs[4], int view_title, int model_colours,
                                     QWidget* parent)
    : QDialog(parent), view_title_(view_title), model_colours_(model_colours != 0 ? 1 : 0) {
  setWindowTitle("View Options");
  for (int kind = 0; kind < 4; ++kind) pairs_[kind] = pairs[kind];

  views_ = new QListWidget;
  for (int kind = 0; kind < 4; ++kind) views_->addItem(CMyMorvaneOGLView::ViewName(kind));
  modes_ = new QButtonGroup(this);
  fast_modes_ = new QButtonGroup(this);
  QGroupBox* render = mode_group("&Render Mode", modes_);
  QGroupBox* fast = mode_group("&Fast Render Mode", fast_modes_);
  titles_ = new QCheckBox("&View Titles");
  titles_->setChecked(view_title_ != 0);
  model_colours_box_ = new QCheckBox("&Model colours");
  model_colours_box_->setChecked(model_colours_ != 0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText("&OK");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");

  auto* groups = new QHBoxLayout;
  groups->addWidget(views_);
  groups->addWidget(render);
  groups->addWidget(fast);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(titles_);
  layout->addWidget(model_colours_box_);
  layout->addWidget(buttons);

  connect(views_, &QListWidget::currentRowChanged, this, &ViewOptionsDialog::ShowPair);
  connect(modes_, &QButtonGroup::idClicked, this, [this](int mode) { pairs_[shown_].mode = mode; });
  connect(fast_modes_, &QButtonGroup::idClicked, this,
          [this](int mode) { pairs_[shown_].fast = mode; });
  connect(titles_, &QCheckBox::toggled, this, [this](bool on) { view_title_ = on ? 1 : 0; });
  connect(model_colours_box_, &QCheckBox::toggled, this,
          [this](bool on) { model_colours_ = on ? 1 : 0; });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  views_->setCurrentRow(3);  // the User View first
  ShowPair(3);
}

ViewModes ViewOptionsDialog::Pair(int view_kind) const {
  return view_kind >= 0 && view_kind < 4 ? pairs_[view_kind] : ViewModes{0, 0};
}

void ViewOptionsDialog::ShowPair(int view_kind) {
  if (view_kind < 0 || view_kind >= 4) return;
  shown_ = view_kind;
  check_value(modes_, pairs_[view_kind].mode);
  check_value(fast_modes_, pairs_[view_kind].fast);
}
