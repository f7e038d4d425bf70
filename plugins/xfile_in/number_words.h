#pragma once

// Conversion of number words as the DirectX text reader needs it: a number is taken from the
// leading part of the word, so "12abc" reads 12 and "3.7" read as an integer reads 3. A word
// without a numeric start fails. Both ignore the user's locale: "." is the decimal point.

// Optional sign and decimal digits. Fails when no digit follows the sign or the value does
// not fit a 32-bit int.
bool IntFromWord(const char* word, int* value);

// Optional sign, then digits with an optional fraction and exponent (".5" and "5." too).
// "nan", "inf" and values beyond the range of a double fail, so no coordinate that is not a
// finite number enters a mesh; a value too small for a double reads as 0.
bool FloatFromWord(const char* word, double* value);

// The same for a value a binary file gives as a number: an integer is taken from its whole
// part and fails outside the range of a 32-bit int; a float fails when it is not finite.
bool IntFromNumber(double number, int* value);
bool FloatFromNumber(double number, double* value);
