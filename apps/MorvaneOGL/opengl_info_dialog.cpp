#include "apps/MorvaneOGL/opengl_info_dialog.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QString gl_text(const GLubyte* text) {
  return text != nullptr ? QString::fromLatin1(reinterpret_cast<const char*>(text)) : QString();
}

// Extensions one per line, so the list can be read.
QString one_per_line(const QString& list) { return list.split(' ', Qt::SkipEmptyParts).join('\n'); }

}  // namespace

OpenGLInfoDialog::OpenGLInfoDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("OpenGL Info");

  QString vendor, renderer, version, extensions, glu_version, glu_extensions;
  {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(32);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (context.create() && context.makeCurrent(&surface)) {
      QOpenGLFunctions* gl = context.functions();
      vendor = gl_text(gl->glGetString(GL_VENDOR));
      renderer = gl_text(gl->glGetString(GL_RENDERER));
      version = gl_text(gl->glGetString(GL_VERSION));
      extensions = gl_text(gl->glGetString(GL_EXTENSIONS));
      glu_version = gl_text(gluGetString(GLU_VERSION));
      glu_extensions = gl_text(gluGetString(GLU_EXTENSIONS));
      context.doneCurrent();
    }
  }

  auto* form = new QFormLayout;
  auto line = [this, form](const char* label, const QString& text) {
    auto* field = new QLineEdit(text);
    field->setReadOnly(true);
    field->setObjectName(label);
    field->setCursorPosition(0);
    field->setMinimumWidth(360);
    form->addRow(label, field);
  };
  auto list = [this, form](const char* label, const QString& text) {
    auto* field = new QPlainTextEdit(one_per_line(text));
    field->setReadOnly(true);
    field->setObjectName(label);
    field->setMinimumHeight(110);
    form->addRow(label, field);
  };
  line("Vendor:", vendor);
  line("Renderer:", renderer);
  line("Version:", version);
  list("Extension:", extensions);
  line("GLU Version:", glu_version);
  list("GLU Extension:", glu_extensions);

  // Kept for a context that cannot be made; it stays hidden.
  error_group_ = new QGroupBox("OpenGL Error");
  auto* error_layout = new QVBoxLayout(error_group_);
  error_layout->addWidget(new QLabel);
  error_group_->hide();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(error_group_);
  layout->addWidget(buttons);
}

QString OpenGLInfoDialog::Field(const QString& label) const {
  if (auto* field = findChild<QLineEdit*>(label)) return field->text();
  if (auto* field = findChild<QPlainTextEdit*>(label))
    return field->toPlainText().split('\n', Qt::SkipEmptyParts).join(' ');
  return QString();
}
