#include "apps/MorvaneOGL/light_setup_dialog.h"

#include <cstdio>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "meshlib/light3d.h"
#include "meshlib/object_list.h"
#include "settings/c_numeric.h"

namespace {

const int kLightKind = 2;

double limit(double number, double low, double high) {
  return number < low ? low : (number > high ? high : number);
}

}  // namespace

LightSetupDialog::LightSetupDialog(ObjectList& lights, QWidget* parent)
    : QDialog(parent), lights_(lights) {
  setWindowTitle("Light");
  lights_box_ = new QComboBox;
  for (int32_t i = 0; i < lights_.count(); ++i) {
    auto* object = static_cast<Obj3d*>(lights_.get(i));
    lights_box_->addItem(QString::fromLocal8Bit(object->name() != nullptr ? object->name() : ""));
  }
  enabled_ = new QCheckBox;  // the light on or off; it has no label
  spot_ = new QCheckBox("SpotLight");

  // Colours run 0 ... 1 in thousandths, the fall-off 0 ... 128 in whole steps, the radius
  // 0 ... 90 degrees in tenths.
  const struct {
    const char* label;
    int maximum;
    double scale;
    int decimals;
    double high;
  } kRows[6] = {{"Red", 1000, 1000.0, 3, 1.0},   {"Green", 1000, 1000.0, 3, 1.0},
                {"Blue", 1000, 1000.0, 3, 1.0},  {"All", 1000, 1000.0, 3, 1.0},
                {"FallOff", 128, 1.0, 0, 128.0}, {"Radius", 900, 10.0, 1, 90.0}};
  auto* grid = new QGridLayout;
  for (int v = 0; v < 6; ++v) {
    Row& row = rows_[v];
    row.bar = new QScrollBar(Qt::Horizontal);
    row.bar->setRange(0, kRows[v].maximum);
    row.bar->setSingleStep(1);
    row.bar->setPageStep(std::max(1, kRows[v].maximum / 10));
    row.bar->setMinimumWidth(200);
    row.field = new QLineEdit;
    row.field->setMaximumWidth(90);
    row.scale = kRows[v].scale;
    row.decimals = kRows[v].decimals;
    row.low = 0.0;
    row.high = kRows[v].high;
    const int grid_row = v < 4 ? v : v + 1;  // the spot box sits between the two parts
    grid->addWidget(new QLabel(kRows[v].label), grid_row, 0);
    grid->addWidget(row.bar, grid_row, 1);
    grid->addWidget(row.field, grid_row, 2);

    const Value value = static_cast<Value>(v);
    // The arrows and the thumb move a bar; a click on its track does nothing.
    connect(row.bar, &QAbstractSlider::actionTriggered, this, [this, value](int action) {
      if (action == QAbstractSlider::SliderPageStepAdd ||
          action == QAbstractSlider::SliderPageStepSub ||
          action == QAbstractSlider::SliderToMinimum || action == QAbstractSlider::SliderToMaximum)
        rows_[value].bar->setSliderPosition(rows_[value].bar->value());
    });
    connect(row.bar, &QAbstractSlider::valueChanged, this,
            [this, value](int position) { BarMoved(value, position); });
    connect(row.field, &QLineEdit::editingFinished, this, [this, value]() { ReadField(value); });
  }
  grid->addWidget(spot_, 4, 0, 1, 3);

  auto* close = new QPushButton("Close");
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* top = new QHBoxLayout;
  top->addWidget(enabled_);
  top->addWidget(lights_box_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(grid);
  layout->addLayout(bottom);

  connect(lights_box_, qOverload<int>(&QComboBox::currentIndexChanged), this,
          &LightSetupDialog::ShowLight);
  connect(enabled_, &QCheckBox::clicked, this, [this](bool on) {
    if (Light3d* light = Current()) {
      light->enabled = on ? 1 : 0;
      EnableControls();
      Changed();
    }
  });
  connect(spot_, &QCheckBox::clicked, this, [this](bool on) {
    if (Light3d* light = Current()) {
      light->has_target = on ? 1 : 0;
      EnableControls();
      Changed();
    }
  });
  ShowLight(lights_box_->count() > 0 ? 0 : -1);
}

Light3d* LightSetupDialog::Current() const {
  if (current_ < 0 || current_ >= lights_.count()) return nullptr;
  auto* object = static_cast<Obj3d*>(lights_.get(current_));
  return object->kind() == kLightKind ? static_cast<Light3d*>(object) : nullptr;
}

void LightSetupDialog::ShowLight(int index) {
  current_ = index;
  Light3d* light = Current();
  showing_ = true;
  enabled_->setChecked(light != nullptr && light->enabled != 0);
  spot_->setChecked(light != nullptr && light->has_target != 0);
  showing_ = false;
  ShowValues();
  EnableControls();
}

double LightSetupDialog::ValueOf(Value value) const {
  Light3d* light = Current();
  if (light == nullptr) return 0.0;
  switch (value) {
    case Red:
      return light->colour.x;
    case Green:
      return light->colour.y;
    case Blue:
      return light->colour.z;
    case All:
      return (light->colour.x + light->colour.y + light->colour.z) / 3.0;
    case FallOff:
      return light->param1;
    case Radius:
      return light->param2;
  }
  return 0.0;
}

void LightSetupDialog::ShowValues() {
  showing_ = true;
  for (int v = 0; v < 6; ++v) {
    const Row& row = rows_[v];
    const double number = ValueOf(static_cast<Value>(v));
    char text[64];
    {
      CNumericScope c_numbers;
      std::snprintf(text, sizeof text, "%1.*f", row.decimals, number);
    }
    row.field->setText(QString::fromLatin1(text));
    row.bar->setValue(static_cast<int>(number * row.scale + 0.5));
  }
  showing_ = false;
}

void LightSetupDialog::EnableControls() {
  Light3d* light = Current();
  const bool on = light != nullptr && light->enabled != 0;
  const bool spot = on && light->has_target != 0;
  enabled_->setEnabled(light != nullptr);
  for (int v = Red; v <= All; ++v) {
    rows_[v].bar->setEnabled(on);
    rows_[v].field->setEnabled(on);
  }
  spot_->setEnabled(on);
  for (int v = FallOff; v <= Radius; ++v) {
    rows_[v].bar->setEnabled(spot);
    rows_[v].field->setEnabled(spot);
  }
}

void LightSetupDialog::Store(Value value, double number) {
  Light3d* light = Current();
  if (light == nullptr) return;
  switch (value) {
    case Red:
      light->colour.x = number;
      break;
    case Green:
      light->colour.y = number;
      break;
    case Blue:
      light->colour.z = number;
      break;
    case All: {
      // "All" moves the three colours by the same amount, each kept within 0 ... 1.
      const double change = number - ValueOf(All);
      light->colour.x = limit(light->colour.x + change, 0.0, 1.0);
      light->colour.y = limit(light->colour.y + change, 0.0, 1.0);
      light->colour.z = limit(light->colour.z + change, 0.0, 1.0);
      break;
    }
    case FallOff:
      light->param1 = number;
      break;
    case Radius:
      light->param2 = number;
      break;
  }
}

void LightSetupDialog::ReadField(Value value) {
  if (showing_ || Current() == nullptr) return;
  const Row& row = rows_[value];
  const QByteArray text = row.field->text().toLatin1();
  double number = 0.0;
  int read;
  {
    CNumericScope c_numbers;
    read = std::sscanf(text.constData(), "%lf", &number);
  }
  const double before = ValueOf(value);
  if (read == 1 && number == number) {  // not NaN
    number = limit(number, row.low, row.high);
    if (number != before) {
      Store(value, number);
      ShowValues();
      Changed();
      return;
    }
  }
  ShowValues();  // the field shows the value in its format again
}

void LightSetupDialog::BarMoved(Value value, int position) {
  if (showing_ || Current() == nullptr) return;
  const Row& row = rows_[value];
  char text[64];
  {
    CNumericScope c_numbers;
    std::snprintf(text, sizeof text, "%1.*f", row.decimals, position / row.scale);
  }
  row.field->setText(QString::fromLatin1(text));
  ReadField(value);
}

void LightSetupDialog::Changed() { emit LightChanged(current_); }
