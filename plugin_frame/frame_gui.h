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
