#include "viewer/opengl_wnd.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include "viewer/model_build.h"

namespace {

int32_t modifier_bits(Qt::KeyboardModifiers m) {
  int32_t bits = 0;
  if (m & Qt::ShiftModifier) bits |= kModShift;
  if (m & Qt::ControlModifier) bits |= kModCtrl;
  if (m & Qt::AltModifier) bits |= kModAlt;
  return bits;
}

// One wheel notch is 120 units of angle.
const int kWheelNotch = 120;
const double kWheelZoom = 1.1;

}  // namespace

COpenGLWnd::COpenGLWnd(int32_t view_kind, ViewerScene* scene, QWidget* parent)
    : QOpenGLWidget(parent),
      scene_(scene),
      navigation_(view_kind),
      cull_(1),
      depth_(1),
      polygon_mode_(kPolygonFill),
      render_mode_(kRenderDouble),
      fast_render_mode_(kRenderBox),
      show_normals_(0),
      light_index_(-1),
      light_request_(-1),
      built_(0),
      build_pending_(0),
      wheel_rest_(0) {
  QSurfaceFormat format = QSurfaceFormat::defaultFormat();
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  if (format.depthBufferSize() < 24) format.setDepthBufferSize(24);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  setFormat(format);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  navigation_.set_projection(width(), height());
}

COpenGLWnd::~COpenGLWnd() = default;

void COpenGLWnd::set_render_modes(int32_t mode, int32_t fast_mode) {
  render_mode_ = mode;
  fast_render_mode_ = fast_mode;
}

int COpenGLWnd::build_model(const BuildProgress& progress) {
  if (scene_ == nullptr || scene_->objects() == nullptr) return 1;
  if (!isValid()) {
    build_pending_ = 1;
    return 1;
  }
  makeCurrent();
  const int built = run_build(progress);
  doneCurrent();
  return built;
}

int COpenGLWnd::run_build(const BuildProgress& progress) {
  build_pending_ = 0;
  if (scene_ == nullptr || scene_->objects() == nullptr) return 1;
  if (build_model_lists(*scene_, colours_, progress)) {
    built_ = 1;
    // The build compiled every light from the light list as it is now.
    light_index_ = -1;
    light_request_ = -1;
    return 1;
  }
  built_ = 0;  // stopped: the lists are empty
  return 0;
}

int COpenGLWnd::share_lists_with(COpenGLWnd* other) {
  if (other == nullptr || other == this) return 0;
  other->lists_source_ = this;
  other->colours_ = colours_;
  if (!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts)) {
    qWarning("COpenGLWnd: Qt::AA_ShareOpenGLContexts is not set; views cannot share lists");
    return 0;
  }
  if (context() != nullptr && other->context() != nullptr &&
      !QOpenGLContext::areSharing(context(), other->context()))
    return 0;
  return 1;
}

std::vector<Vec3d> COpenGLWnd::object_colours() const {
  std::vector<Vec3d> palette;
  palette.reserve(colours_.size());
  for (const ObjectColour& c : colours_) palette.push_back(c.palette);
  return palette;
}

int COpenGLWnd::has_model() const {
  if (built_) return 1;
  return !lists_source_.isNull() && lists_source_->built_;
}

void COpenGLWnd::reset_view() {
  SceneBox empty = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 1};
  navigation_.reset(scene_ != nullptr ? scene_->box() : empty);
  redraw();
}

void COpenGLWnd::redraw() { update(); }

void COpenGLWnd::set_fast(int on) {
  navigation_.set_fast(on);
  redraw();
}

void COpenGLWnd::toggle_normals() {
  show_normals_ = !show_normals_;
  redraw();
}

void COpenGLWnd::request_light_update(int32_t index) {
  if (index < 0 || index >= kMaxLights) return;
  if (light_request_ == 1 && light_index_ != index)
    light_index_ = kMaxLights;  // two lights changed before a draw: recompile them all
  else
    light_index_ = index;
  light_request_ = 1;
  redraw();
}

void COpenGLWnd::apply_light_request() {
  if (light_request_ != 1 || scene_ == nullptr || !has_model()) return;
  if (light_index_ == kMaxLights) {
    for (int32_t i = 0; i < kMaxLights; ++i) compile_light_list(scene_->lights(), i);
  } else {
    compile_light_list(scene_->lights(), light_index_);
  }
  light_index_ = -1;
  light_request_ = -1;
}

int COpenGLWnd::handle_key(int qt_key, Qt::KeyboardModifiers modifiers) {
  // Shift, Ctrl or Alt with these keys has no command.
  if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return 0;
  if (qt_key >= Qt::Key_1 && qt_key <= Qt::Key_7) {
    render_mode_ = qt_key - Qt::Key_1;
    emit render_mode_changed(view_kind(), render_mode_);
    redraw();
    return 1;
  }
  switch (qt_key) {
    case Qt::Key_Space:
      emit maximize_requested(this);
      return 1;
    case Qt::Key_R:
      reset_view();
      return 1;
    case Qt::Key_N:
      toggle_normals();
      return 1;
    default:
      return 0;
  }
}

void COpenGLWnd::initializeGL() {
  glEnable(GL_NORMALIZE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (build_pending_) run_build(BuildProgress());
}

void COpenGLWnd::resizeGL(int, int) {
  // Qt passes device pixels; navigation works in the widget's own pixels, as mouse events do.
  navigation_.set_projection(width(), height());
}

void COpenGLWnd::load_projection() {
  const qreal ratio = devicePixelRatioF();
  glViewport(0, 0, GLsizei(width() * ratio), GLsizei(height() * ratio));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = navigation_.aspect();
  if (navigation_.is_orthographic())
    glOrtho(-1000.0 * aspect, 1000.0 * aspect, -1000.0, 1000.0, -1000000.0, 1000000.0);
  else
    gluPerspective(60.0, aspect, 1.0, 10000000.0);
  Vec3d eye;
  camera_eye(view_kind(), eye);
  gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
}

void COpenGLWnd::paintGL() {
  if (build_pending_) run_build(BuildProgress());
  apply_light_request();

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  const int32_t m = navigation_.fast() ? fast_render_mode_ : render_mode_;
  RenderModeState state;
  const int known = render_mode_state(m, state);
  if (known) {
    cull_ = state.cull;
    polygon_mode_ = state.polygon_mode;
  }
  depth_ = 1;
  if (cull_)
    glEnable(GL_CULL_FACE);
  else
    glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  // The state that see-through drawing leaves behind (end_see_through).
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glPointSize(1.0f);
  static const GLenum kPolygonModes[3] = {GL_POINT, GL_LINE, GL_FILL};
  glPolygonMode(GL_FRONT_AND_BACK, kPolygonModes[polygon_mode_]);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  load_projection();
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(navigation_.modelview_gl());

  // The scene frame's list is made by every build: this context sees the build's lists and
  // buffers.
  const bool model = has_model() && glIsList(kListSceneFrame);
  const bool needles = !navigation_.fast() && show_normals_;
  if (model && scene_ != nullptr) {
    bool edges = false;
    for (int32_t i = 0; known && i < state.list_count; ++i) edges |= state.lists[i] == kListEdges;
    compile_lists_on_demand(*scene_, colours_, edges, needles);
  }
  if (known && state.lighting && view_kind() == kUserView) {
    glEnable(GL_LIGHTING);
    if (model)
      for (int32_t i = 0; i < kMaxLights; ++i) glCallList(kListFirstLight + i);
  } else {
    glDisable(GL_LIGHTING);
  }
  glShadeModel(GL_SMOOTH);
  if (model) {
    if (known) {
      for (int32_t i = 0; i < state.list_count; ++i) draw_model_list(state.lists[i]);
      // See-through model colours after everything opaque, blended over it.
      if (model_has_see_through()) {
        begin_see_through();
        for (int32_t i = 0; i < state.list_count; ++i) {
          if (state.lists[i] == kListFront) draw_model_list(kListFrontSeeThrough);
          if (state.lists[i] == kListBack) draw_model_list(kListBackSeeThrough);
        }
        end_see_through();
      }
    }
    if (needles) glCallList(kListNormals);
    glCallList(kListSceneFrame);
  }

  if (view_kind() == kUserView && navigation_.fast()) {
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_LINES);
    glVertex3d(-200.0, 0.0, 0.0);
    glVertex3d(200.0, 0.0, 0.0);
    glVertex3d(0.0, 0.0, -200.0);
    glVertex3d(0.0, 0.0, 200.0);
    glEnd();
    glPopMatrix();
  }
  glFlush();
}

void COpenGLWnd::show_cursor(int32_t cursor) {
  switch (cursor) {
    case kPanCursor:
      setCursor(Qt::SizeAllCursor);
      break;
    case kRotateCursor:
      setCursor(Qt::CrossCursor);
      break;
    case kZoomCursor:
      setCursor(Qt::SizeVerCursor);
      break;
    default:
      return;
  }
}

// The drag button: the left one, or the right one, which zooms. While one drags, the other
// is ignored.
void COpenGLWnd::mousePressEvent(QMouseEvent* event) {
  const Qt::MouseButton button = event->button();
  if ((button != Qt::LeftButton && button != Qt::RightButton) || drag_button_ != Qt::NoButton) {
    QOpenGLWidget::mousePressEvent(event);
    return;
  }
  drag_button_ = button;
  const QPoint p = event->position().toPoint();
  const int was_fast = navigation_.fast();
  const int32_t cursor = navigation_.button_down(p.x(), p.y(), drag_bits(event->modifiers()));
  show_cursor(cursor);
  if (navigation_.fast() != was_fast) redraw();
}

void COpenGLWnd::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const int held = (drag_button_ != Qt::NoButton && (event->buttons() & drag_button_)) ? 1 : 0;
  const int32_t cursor = navigation_.mouse_move(p.x(), p.y(), held, drag_bits(event->modifiers()));
  if (held && cursor != kNoCursor) {
    show_cursor(cursor);
    redraw();
  }
}

void COpenGLWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_button_ == Qt::NoButton || event->button() != drag_button_) {
    QOpenGLWidget::mouseReleaseEvent(event);
    return;
  }
  drag_button_ = Qt::NoButton;
  navigation_.button_up();
  setCursor(Qt::ArrowCursor);
  redraw();
}

int32_t COpenGLWnd::drag_bits(Qt::KeyboardModifiers modifiers) const {
  int32_t bits = modifier_bits(modifiers);
  if (drag_button_ == Qt::RightButton) bits |= kZoomButton;
  return bits;
}

void COpenGLWnd::wheelEvent(QWheelEvent* event) {
  wheel_rest_ += event->angleDelta().y();
  const QPointF p = event->position();
  bool moved = false;
  while (wheel_rest_ >= kWheelNotch) {
    navigation_.zoom_about(kWheelZoom, p.x(), p.y());
    wheel_rest_ -= kWheelNotch;
    moved = true;
  }
  while (wheel_rest_ <= -kWheelNotch) {
    navigation_.zoom_about(1.0 / kWheelZoom, p.x(), p.y());
    wheel_rest_ += kWheelNotch;
    moved = true;
  }
  if (moved) redraw();
  event->accept();
}

void COpenGLWnd::keyPressEvent(QKeyEvent* event) {
  if (handle_key(event->key(), event->modifiers()))
    event->accept();
  else
    QOpenGLWidget::keyPressEvent(event);
}
