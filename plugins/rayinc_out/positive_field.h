// A number option of the options dialog that only takes values above 0 (the wire radius: the
// blob writer steps along each edge by a quarter of it).
#pragma once

class OptionsDialog;
class QLineEdit;

// Refuses a number of 0 or less in edit, the dialog's field control_id, as the dialog refuses
// text that is no number: beep, the "Invalid Input Format!" box titled "Error", and the
// field's previous value shown again. Checked when the edit loses the focus and when Enter is
// pressed in it; after Enter the dialog stays open.
void keep_field_positive(OptionsDialog& dialog, QLineEdit* edit, int control_id);
