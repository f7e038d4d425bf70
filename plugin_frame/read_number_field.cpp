#include "plugin_frame/read_number_field.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The longest text of a number field that is looked at.
constexpr int kFieldText = 254;

bool blank_only(const std::string& text) {
  for (unsigned char c : text)
    if (!std::isspace(c)) return false;
  return true;
}

}  // namespace

bool parse_leading_number(const char* text, double* value) {
  if (text == nullptr) return false;
  const char* p = text;
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
  // from_chars takes no "+" sign and never looks at the locale, so "." is the decimal point
  // whatever the user's regional settings.
  if (*p == '+') {
    ++p;
    if (*p == '-' || *p == '+') return false;
  }
  const char* end = p;
  while (*end != '\0') ++end;
  double result = 0.0;
  auto [stop, error] = std::from_chars(p, end, result, std::chars_format::general);
  if (stop == p) return false;
  if (error == std::errc::result_out_of_range) return false;
  // An infinite or undefined factor would wreck every mesh it touches.
  if (!std::isfinite(result)) return false;
  *value = result;
  return true;
}

const char* format_3f(double value, char buffer[64]) {
  auto [stop, error] = std::to_chars(buffer, buffer + 63, value, std::chars_format::fixed, 3);
  if (error == std::errc()) {
    *stop = '\0';
    return buffer;
  }
  // Beyond about 1e59 the fixed form does not fit the field's buffer; the shortest form that
  // reads back as the same number does ("1e+308"), so the field never shows another value.
  auto [shortest, failed] = std::to_chars(buffer, buffer + 63, value);
  if (failed != std::errc())
    std::snprintf(buffer, 64, "%s", "0.000");
  else
    *shortest = '\0';
  return buffer;
}

void refuse_number_input(QWidget* window) {
  QApplication::beep();
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                  QStringLiteral("Invalid Input Format!"), QMessageBox::Ok, window);
  box.exec();
}

double read_number_field(QLineEdit* edit, double current, bool* valid) {
  if (valid != nullptr) *valid = true;
  if (edit == nullptr) return current;
  std::string text = edit->text().left(kFieldText).toUtf8().toStdString();
  double value = current;
  if (!blank_only(text) && !parse_leading_number(text.c_str(), &value)) {
    value = current;
    if (valid != nullptr) *valid = false;
    refuse_number_input(edit->window());
  }
  char shown[64];
  edit->setText(QString::fromLatin1(format_3f(value, shown)));
  return value;
}

double ReadNumberField(QLineEdit* edit, double current) {
  return read_number_field(edit, current, nullptr);
}
