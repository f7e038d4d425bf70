#pragma once

#include <QDialog>

class Light3d;
class ObjectList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QScrollBar;

// "Light": the lights of the light list by name; for the chosen one the on/off box, the
// colour ("Red", "Green", "Blue" and "All", their mean) and the spot controls ("SpotLight",
// "FallOff", "Radius"). Each value has a scroll bar and a field. A change is stored in the
// light at once and announced with LightChanged; there is no undo.
class LightSetupDialog : public QDialog {
  Q_OBJECT
 public:
  // The six values, in the order of the dialog.
  enum Value { Red = 0, Green = 1, Blue = 2, All = 3, FallOff = 4, Radius = 5 };

  LightSetupDialog(ObjectList& lights, QWidget* parent = nullptr);

  QComboBox* Lights() const { return lights_box_; }
  QCheckBox* Enabled() const { return enabled_; }
  QCheckBox* Spot() const { return spot_; }
  QScrollBar* Bar(Value value) const { return rows_[value].bar; }
  QLineEdit* Field(Value value) const { return rows_[value].field; }
  // The light shown, or null.
  Light3d* Current() const;

  // What leaving a field does: a number is limited and stored, anything else keeps the
  // value; the field is written again in its format and the bar follows.
  void ReadField(Value value);

 signals:
  // The light at this position of the light list changed.
  void LightChanged(int index);

 private:
  struct Row {
    QScrollBar* bar;
    QLineEdit* field;
    double scale;  // bar position = value * scale
    int decimals;  // of the field's "%1.3lf" format
    double low, high;
  };

  void ShowLight(int index);
  void ShowValues();
  void EnableControls();
  double ValueOf(Value value) const;
  void Store(Value value, double number);
  void BarMoved(Value value, int position);
  void Changed();

  ObjectList& lights_;
  int current_ = -1;
  bool showing_ = false;
  QComboBox* lights_box_;
  QCheckBox* enabled_;
  QCheckBox* spot_;
  Row rows_[6];
};
