#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

// "OpenGL Info": vendor, renderer, version and extensions of OpenGL and the version and
// extensions of GLU, read from a temporary rendering context with the views' pixel format
// (double-buffered RGBA, 24 colour and 32 depth bits) that ends before the dialog shows.
class OpenGLInfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit OpenGLInfoDialog(QWidget* parent = nullptr);

  // The text after "Vendor:", "Renderer:", "Version:", "Extension:", "GLU Version:",
  // "GLU Extension:".
  QString Field(const QString& label) const;
  QGroupBox* ErrorGroup() const { return error_group_; }

 private:
  QGroupBox* error_group_;
};
