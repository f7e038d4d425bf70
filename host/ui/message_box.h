#pragma once

class QString;
class QWidget;

// The hosts' modal message box: the system's text and title and one OK button, owned by
// parent (or the active window).
void ShowMessageBox(QWidget* parent, const QString& text, const QString& title);

// Sets the dynamic property "controlId" that tests use to find a numbered control.
void SetControlId(QWidget* widget, int control_id);
