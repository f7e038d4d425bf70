#include "viewer/view_navigation.h"

#include <cmath>
#include <initializer_list>

namespace {

const double kPi = 3.14159265358979323846;
const double kZoomStep = 1.1;

// Row-vector forms of the OpenGL translate, scale and rotate matrices (the transposes of the
// column-vector matrices those calls multiply with).
Mat4d translation(double x, double y, double z) {
  Mat4d t;
  mat_identity(t);
  t.m[3][0] = x;
  t.m[3][1] = y;
  t.m[3][2] = z;
  return t;
}

Mat4d scaling(double f) {
  Mat4d s;
  mat_identity(s);
  s.m[0][0] = f;
  s.m[1][1] = f;
  s.m[2][2] = f;
  return s;
}

// Counter-clockwise by deg degrees about axis 0 (X), 1 (Y) or 2 (Z), looking down the axis.
Mat4d rotation(int axis, double deg) {
  const double a = deg * kPi / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  Mat4d r;
  mat_identity(r);
  const int i = (axis + 1) % 3;
  const int j = (axis + 2) % 3;
  r.m[i][i] = c;
  r.m[i][j] = s;
  r.m[j][i] = -s;
  r.m[j][j] = c;
  return r;
}

// Screen extent of the box in the view's two directions: Top (x, y), Side (y, z), others (x, z).
void view_extents(int32_t view_kind, const SceneBox& box, double& ex, double& ey) {
  const double dx = box.max.x - box.min.x;
  const double dy = box.max.y - box.min.y;
  const double dz = box.max.z - box.min.z;
  switch (view_kind) {
    case kTopView:
      ex = dx;
      ey = dy;
      break;
    case kSideView:
      ex = dy;
      ey = dz;
      break;
    default:
      ex = dx;
      ey = dz;
      break;
  }
}

}  // namespace

void camera_eye(int32_t view_kind, Vec3d& eye) {
  switch (view_kind) {
    // The tiny Y offset keeps the up vector (+Z) off the line of sight.
    case kTopView:
      vec_set(eye, 0.0, -9.999999974752427e-7, 200.0);
      break;
    case kSideView:
      vec_set(eye, -200.0, 0.0, 0.0);
      break;
    case kFrontView:
      vec_set(eye, 0.0, -200.0, 0.0);
      break;
    // At this distance a 60 degree field of view shows 2000 units vertically, as the
    // orthographic views do at zoom 1.
    default:
      vec_set(eye, 0.0, -1000.0 / std::tan(30.0 * kPi / 180.0), 0.0);
      break;
  }
}

ViewNavigation::ViewNavigation(int32_t view_kind)
    : view_kind_(view_kind >= kTopView && view_kind <= kUserView ? view_kind : kUserView),
      dragging_(0),
      fast_(0),
      viewport_width_(1.0),
      aspect_(1.0),
      ortho_width_(2000.0),
      ortho_left_(-1000.0),
      ortho_top_(1000.0),
      zoom_(1.0),
      angle_x_(0.0),
      angle_y_(0.0),
      angle_z_(0.0),
      pan_{0.0, 0.0, 0.0},
      start_x_(0),
      start_y_(0),
      last_x_(0),
      last_y_(0),
      drag_mode_(0),
      shift_(0) {
  mat_identity(modelview_);
}

int ViewNavigation::set_projection(int w, int h) {
  if (w == 0 && h == 0) return 0;
  // A window shrunk to nothing in one direction keeps a usable 1-pixel extent there.
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  viewport_width_ = w;
  aspect_ = static_cast<double>(w) / h;
  ortho_width_ = 2000.0 * aspect_;
  ortho_left_ = -1000.0 * aspect_;
  ortho_top_ = 1000.0;
  return 1;
}

double ViewNavigation::fit_factor(const SceneBox& box) const {
  const double flat = flat_fit_factor(box);
  if (view_kind_ != kUserView || box.empty) return flat;
  return std::fmin(flat, perspective_fit_factor(box));
}

double ViewNavigation::flat_fit_factor(const SceneBox& box) const {
  double ex;
  double ey;
  view_extents(view_kind_, box, ex, ey);
  const double h = ortho_width_ / aspect_;
  const int has_x = ex > 0.0 && std::isfinite(ortho_width_ / ex);
  const int has_y = ey > 0.0 && std::isfinite(h / ey);
  if (box.empty || (!has_x && !has_y)) {
    ex = 1.0;
    ey = 1.0;
  } else if (!has_x) {
    return 0.8 * h / ey;
  } else if (!has_y) {
    return 0.8 * ortho_width_ / ex;
  }
  const double sx = ortho_width_ / ex;
  const double sy = h / ey;
  return 0.8 * (sx < sy ? sx : sy);
}

double ViewNavigation::perspective_fit_factor(const SceneBox& box) const {
  // After the reset a corner at offset (x, y, z) from the box centre sits at f (x, y, z) in
  // front of the camera, which looks along +Y from distance d. It is in sight within 80 % of
  // the half field when |f x| <= 0.8 tx (d + f y) across and |f z| <= 0.8 tz (d + f y) up;
  // each corner and direction whose bound grows slower than its depth limits f.
  Vec3d eye;
  camera_eye(kUserView, eye);
  const double d = -eye.y;
  const double tz = std::tan(30.0 * kPi / 180.0);
  const double tx = tz * aspect_;
  const double hx = 0.5 * (box.max.x - box.min.x);
  const double hy = 0.5 * (box.max.y - box.min.y);
  const double hz = 0.5 * (box.max.z - box.min.z);
  double f = HUGE_VAL;
  for (double y : {-hy, hy}) {
    const double across = hx - 0.8 * tx * y;
    const double up = hz - 0.8 * tz * y;
    if (across > 0.0) f = std::fmin(f, 0.8 * tx * d / across);
    if (up > 0.0) f = std::fmin(f, 0.8 * tz * d / up);
  }
  // The nearest face stays in front of the camera, a tenth of its distance away at least,
  // also for a box that is only deep.
  if (hy > 0.0) f = std::fmin(f, 0.9 * d / hy);
  return std::isfinite(f) && f > 0.0 ? f : HUGE_VAL;
}

void ViewNavigation::reset(const SceneBox& box) {
  mat_identity(modelview_);
  zoom_ = 1.0;
  angle_x_ = angle_y_ = angle_z_ = 0.0;
  vec_set(pan_, 0.0, 0.0, 0.0);
  scale_about_pan(fit_factor(box));
  post_translate(-box.centre.x, -box.centre.y, -box.centre.z);
  vec_sub(pan_, pan_, box.centre);
}

void ViewNavigation::post_multiply(const Mat4d& step) {
  mat_multiply(modelview_, step, modelview_);
}

void ViewNavigation::post_translate(double x, double y, double z) {
  post_multiply(translation(x, y, z));
}

void ViewNavigation::scale_about_pan(double f) {
  post_translate(-pan_.x, -pan_.y, -pan_.z);
  post_multiply(scaling(f));
  post_translate(pan_.x, pan_.y, pan_.z);
  zoom_ *= f;
}

void ViewNavigation::screen_to_world(double px, double py, double& u, double& v) const {
  const double k = ortho_width_ / viewport_width_;
  u = (px * k + ortho_left_) / zoom_;
  v = (-py * k + ortho_top_) / zoom_;
}

void ViewNavigation::translate_screen(double u, double v) {
  Vec3d t;
  switch (view_kind_) {
    case kTopView:
      vec_set(t, u, v, 0.0);
      break;
    case kSideView:
      vec_set(t, 0.0, -u, v);
      break;
    case kFrontView:
      vec_set(t, u, 0.0, v);
      break;
    default:
      return;
  }
  post_translate(t.x, t.y, t.z);
  vec_add(pan_, pan_, t);
}

void ViewNavigation::shift_to_point(double px, double py, int direction) {
  if (!is_orthographic()) return;
  double u;
  double v;
  screen_to_world(px, py, u, v);
  if (direction < 0)
    translate_screen(-u, -v);
  else
    translate_screen(u, v);
}

void ViewNavigation::zoom_about(double f, double px, double py) {
  shift_to_point(px, py, -1);
  scale_about_pan(f);
  shift_to_point(px, py, +1);
}

void ViewNavigation::pan_by(double dx, double dy, int shift) {
  const double k = ortho_width_ / viewport_width_;
  const double e = dx * k / zoom_;
  const double g = -dy * k / zoom_;
  switch (view_kind_) {
    case kTopView:
    case kSideView:
    case kFrontView:
      translate_screen(e, g);
      return;
    default:
      break;
  }
  if (shift) {
    post_translate(0.0, 0.0, g);
    pan_.z += g;
    return;
  }
  // The ground-plane move turns with the current spin, so a drag follows the screen.
  const double a = angle_z_ * kPi / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  post_translate(e * c, -e * s, 0.0);
  post_translate(g * s, g * c, 0.0);
  pan_.x += e * c + g * s;
  pan_.y += -e * s + g * c;
}

void ViewNavigation::rotate_step(int dx, int dy, int shift) {
  if (view_kind_ != kUserView) return;
  const double step = shift ? 5.0 : 1.0;
  // The turn is about a point 250 / zoom in front of pan, so it stays near the scene.
  const double d = 250.0 / zoom_;
  auto turn = [&](const Mat4d& r1, const Mat4d* r2) {
    post_translate(-pan_.x, -pan_.y, -pan_.z);
    post_translate(0.0, 0.0, -d);
    post_multiply(r1);
    if (r2 != nullptr) post_multiply(*r2);
    post_translate(0.0, 0.0, d);
    post_translate(pan_.x, pan_.y, pan_.z);
  };
  if (dx != 0) {
    const double s = dx < 0 ? -step : step;
    turn(rotation(2, s), nullptr);
    angle_z_ += s;
  }
  if (dy != 0) {
    const double a = angle_z_ * kPi / 180.0;
    const double sign = dy < 0 ? 1.0 : -1.0;  // up: -s cos a about X, then s sin a about Y
    const double ax = -sign * step * std::cos(a);
    const double ay = sign * step * std::sin(a);
    const Mat4d ry = rotation(1, ay);
    turn(rotation(0, ax), &ry);
    angle_x_ += ax;
    angle_y_ += ay;
  }
}

void ViewNavigation::read_modifiers(int32_t modifiers) {
  drag_mode_ = (modifiers & kZoomButton) ? kModAlt : modifiers & (kModCtrl | kModAlt);
  shift_ = (modifiers & kModShift) ? 1 : 0;
}

int32_t ViewNavigation::cursor_for(int32_t modifiers) const {
  if (modifiers & kZoomButton) return kZoomCursor;
  switch (modifiers & (kModCtrl | kModAlt)) {
    case 0:
      return kPanCursor;
    case kModCtrl:
      return view_kind_ == kUserView ? kRotateCursor : kNoCursor;
    case kModAlt:
      return kZoomCursor;
    default:
      return kNoCursor;
  }
}

int32_t ViewNavigation::button_down(int x, int y, int32_t modifiers) {
  dragging_ = 1;
  start_x_ = last_x_ = x;
  start_y_ = last_y_ = y;
  read_modifiers(modifiers);
  const int32_t cursor = cursor_for(modifiers);
  if (cursor != kNoCursor) fast_ = 1;
  return cursor;
}

int32_t ViewNavigation::mouse_move(int x, int y, int left_held, int32_t modifiers) {
  int32_t cursor = kNoCursor;
  if (left_held) {
    read_modifiers(modifiers);
    cursor = cursor_for(modifiers);
    if (cursor != kNoCursor) fast_ = 1;
    switch (drag_mode_) {
      case kModCtrl:
        if (view_kind_ == kUserView) rotate_step(x - last_x_, y - last_y_, shift_);
        break;
      case 0:
        pan_by(x - last_x_, y - last_y_, shift_);
        break;
      case kModAlt:
        if (last_y_ - y > 0)
          zoom_about(kZoomStep, start_x_, start_y_);
        else if (last_y_ - y < 0)
          zoom_about(1.0 / kZoomStep, start_x_, start_y_);
        break;
      default:
        break;
    }
  }
  last_x_ = x;
  last_y_ = y;
  return cursor;
}

void ViewNavigation::button_up() {
  dragging_ = 0;
  fast_ = 0;
}
