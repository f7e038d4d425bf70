#pragma once

class QString;
class QWidget;

// Shows a program's help page (HTML from its resources) in a help window beside parent; one
// window per program, raised again when it is open.
void ShowHelpWindow(QWidget* parent, const QString& title, const QString& resource);
