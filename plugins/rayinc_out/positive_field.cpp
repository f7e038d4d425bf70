#include "plugins/rayinc_out/positive_field.h"

#include <string>

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "plugin_frame/options_dialog.h"
#include "plugin_frame/read_number_field.h"

namespace {

// Runs before the dialog's own reading of the edit (event filters installed later run first),
// so that the dialog only ever reads a value above 0 or text it refuses itself.
class PositiveFieldGuard final : public QObject {
 public:
  PositiveFieldGuard(OptionsDialog& dialog, QLineEdit* edit, int control_id)
      : QObject(edit), dialog_(dialog), edit_(edit), control_id_(control_id) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != edit_ || checking_) return false;
    if (event->type() == QEvent::FocusOut) {
      auto* focus = static_cast<QFocusEvent*>(event);
      // A menu or another window taking the focus does not end the edit, and Cancel
      // discards the value anyway.
      if (focus->reason() == Qt::PopupFocusReason ||
          focus->reason() == Qt::ActiveWindowFocusReason || !dialog_.isVisible() ||
          QApplication::focusWidget() == find_control(&dialog_, OptionsDialog::kIdCancel))
        return false;
      Check();
      return false;
    }
    if (event->type() == QEvent::KeyPress) {
      int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return !Check();
    }
    return false;
  }

 private:
  // False, after the error box, when the edit holds a number that is not above 0.
  bool Check() {
    std::string text = edit_->text().toUtf8().toStdString();
    double value = 0.0;
    if (!parse_leading_number(text.c_str(), &value) || value > 0.0) return true;
    checking_ = true;
    refuse_number_input(edit_->window());
    char shown[64];
    edit_->setText(QString::fromLatin1(format_3f(dialog_.NumberValue(control_id_), shown)));
    checking_ = false;
    return false;
  }

  OptionsDialog& dialog_;
  QLineEdit* edit_;
  int control_id_;
  bool checking_ = false;
};

}  // namespace

void keep_field_positive(OptionsDialog& dialog, QLineEdit* edit, int control_id) {
  if (edit == nullptr) return;
  edit->installEventFilter(new PositiveFieldGuard(dialog, edit, control_id));
}
