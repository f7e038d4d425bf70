#pragma once

class QLineEdit;
class QWidget;

// Reads a number option from its edit (at most 254 characters), converting its leading
// number with "." as decimal point ("2,5" reads 2; "3abc" reads 3). An empty field keeps
// current silently. A text without a leading finite number beeps, shows "Invalid Input
// Format!" titled "Error" and keeps current. Writes the result back with three decimals
// ("2.000") and returns it.
double ReadNumberField(QLineEdit* edit, double current);
// The same, telling through valid (may be null) whether the text was refused; the options
// dialog stays open after a refused number.
double read_number_field(QLineEdit* edit, double current, bool* valid);

// What a refused number shows: a beep and the modal "Invalid Input Format!" box titled
// "Error", owned by window.
void refuse_number_input(QWidget* window);

// The conversion alone: true and *value when text starts (after blanks) with a finite number.
bool parse_leading_number(const char* text, double* value);

// value with three decimals and ".", as the option fields show numbers; a value too large for
// that form within 63 characters is shown in its shortest exact form ("1e+308").
const char* format_3f(double value, char buffer[64]);
