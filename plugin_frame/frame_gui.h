#pragma once

#include <string>

class QWidget;

// True when the process has a QApplication, so the frame may show windows. Batch runs and
// tests without one see no window at all.
bool frame_has_widgets();

// The window a plug-in dialog belongs to: the active window, else null.
QWidget* frame_owner_window();

// "Desc|*.x|All Files (*.*)|*.*||" as a Qt filter: "Desc (*.x);;All Files (*)". A pattern
// group "*.*" means every file here, so it becomes "*"; a "(...)" at the end of a description
// is replaced by the converted patterns.
std::string convert_filter(const char* filter);

// A modal file chooser. open: an existing file to read; otherwise a name to write, with the
// overwrite prompt and ext (may be null) as default extension. Starts in folder (when set and
// not empty) with initial_name selected. On OK returns true, makes the chosen file's folder
// the current directory and stores the chosen full path in chosen.
bool choose_file(bool open, const char* filter, const char* ext, const std::string& folder,
                 const std::string& initial_name, std::string& chosen);

// A modal folder chooser titled title, starting in folder start. On OK returns true and
// stores the chosen folder's full path in chosen. A folder typed into the name field wins
// over the chooser's list selection, which may still hold a folder that the completion
// passed on the way (a sibling whose name starts the typed one, as "p" starts "parts").
bool choose_folder(QWidget* owner, const std::string& title, const std::string& start,
                   std::string& chosen);

// Tells the user about a run's result: a warning box titled title over the program's window
// when the process has windows, otherwise "title: text" on standard error.
void frame_report_problem(const std::string& title, const std::string& text);
