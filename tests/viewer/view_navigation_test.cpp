// Navigation arithmetic of the views, without a window. Expected modelviews are built with
// QMatrix4x4, whose translate, scale and rotate post-multiply exactly as the OpenGL matrix
// calls do, and compared with the view's matrix in glLoadMatrixd order.
#include <gtest/gtest.h>

#include <QMatrix4x4>
#include <QVector3D>
#include <cmath>

#include "viewer/view_navigation.h"

namespace {

const double kPi = 3.14159265358979323846;

SceneBox make_box(double x0, double y0, double z0, double x1, double y1, double z1) {
  SceneBox b = {{x0, y0, z0}, {x1, y1, z1}, {(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2}, 0};
  return b;
}

// QMatrix4x4 keeps floats: compare relative to the matrix's largest entry.
void expect_matrix(const QMatrix4x4& expected, const ViewNavigation& nav) {
  const float* e = expected.constData();
  const double* m = nav.modelview_gl();
  double scale = 1.0;
  for (int i = 0; i < 16; ++i) scale = std::fmax(scale, std::fabs(e[i]));
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], e[i], 2e-6 * scale) << "element " << i;
}

// Where the modelview puts world point p (before the projection).
Vec3d apply(const ViewNavigation& nav, const Vec3d& p) {
  Vec3d out;
  mat_transform_point(out, nav.modelview(), p);
  return out;
}

// Pixel column and row of a point that the modelview placed at (x, y) in a Top view.
void top_pixel(const ViewNavigation& nav, const Vec3d& eye_space, double& px, double& py) {
  const double k = nav.ortho_width() / nav.viewport_width();
  px = (eye_space.x - nav.ortho_left()) / k;
  py = (nav.ortho_top() - eye_space.y) / k;
}

QMatrix4x4 reset_matrix(double f, const Vec3d& centre) {
  QMatrix4x4 m;
  m.scale(float(f));
  m.translate(float(-centre.x), float(-centre.y), float(-centre.z));
  return m;
}

}  // namespace

TEST(ViewNavigation, ResetScalesToEightyPercentOfLimitingDirectionAndCentres) {
  ViewNavigation top(kTopView);
  top.set_projection(400, 200);                       // aspect 2: ortho width 4000, height 2000
  const SceneBox box = make_box(1, 2, 3, 11, 10, 5);  // dx 10, dy 8
  top.reset(box);
  // sx = 4000 / 10 = 400, sy = 2000 / 8 = 250: the height limits.
  EXPECT_DOUBLE_EQ(top.zoom(), 0.8 * 250);
  expect_matrix(reset_matrix(200, box.centre), top);
  EXPECT_DOUBLE_EQ(top.pan().x, -6);
  EXPECT_DOUBLE_EQ(top.pan().y, -6);
  EXPECT_DOUBLE_EQ(top.pan().z, -4);
  const Vec3d c = apply(top, box.centre);
  EXPECT_NEAR(c.x, 0, 1e-9);
  EXPECT_NEAR(c.y, 0, 1e-9);
}

TEST(ViewNavigation, EachViewFitsItsOwnTwoExtents) {
  const SceneBox box = make_box(0, 0, 0, 4, 2, 1);
  ViewNavigation side(kSideView), front(kFrontView), user(kUserView);
  for (ViewNavigation* v : {&side, &front, &user}) v->set_projection(300, 100);  // aspect 3
  // Side: y and z; Front and User: x and z; ortho width 6000, height 2000.
  EXPECT_DOUBLE_EQ(side.fit_factor(box), 0.8 * std::fmin(6000.0 / 2, 2000.0 / 1));
  EXPECT_DOUBLE_EQ(front.fit_factor(box), 0.8 * std::fmin(6000.0 / 4, 2000.0 / 1));
  // The User view fits a box without depth as the Front view does.
  const SceneBox flat = make_box(0, 1, 0, 4, 1, 1);
  EXPECT_NEAR(user.fit_factor(flat), front.fit_factor(flat), 1e-9 * front.fit_factor(flat));
  user.reset(box);
  expect_matrix(reset_matrix(user.fit_factor(box), box.centre), user);
}

// Where the User view's perspective puts a world point after the modelview: the normalised
// screen position across and up (1 at the window's edge).
void user_screen(const ViewNavigation& nav, const Vec3d& p, double& across, double& up) {
  Vec3d eye;
  camera_eye(kUserView, eye);
  const Vec3d v = apply(nav, p);
  const double depth = v.y - eye.y;
  const double t = std::tan(30.0 * kPi / 180.0);
  across = v.x / (depth * t * nav.aspect());
  up = v.z / (depth * t);
}

TEST(ViewNavigation, UserViewFitKeepsEveryCornerOfADeepBoxInSight) {
  struct Case {
    const char* what;
    SceneBox box;
    int w, h;
  };
  const Case cases[] = {
      {"deep as a car seen from behind", make_box(-40, -120, 0, 40, 120, 50), 400, 300},
      {"deep and narrow, tall window", make_box(0, 0, 0, 1, 30, 1), 200, 400},
      {"only deep", make_box(2, -5, 3, 2, 5, 3), 300, 300},
      {"a cube", make_box(0, 0, 0, 1, 1, 1), 320, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewNavigation user(kUserView);
    user.set_projection(c.w, c.h);
    user.reset(c.box);
    double widest = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
      const Vec3d p = {(corner & 1) ? c.box.max.x : c.box.min.x,
                       (corner & 2) ? c.box.max.y : c.box.min.y,
                       (corner & 4) ? c.box.max.z : c.box.min.z};
      Vec3d eye;
      camera_eye(kUserView, eye);
      EXPECT_GT(apply(user, p).y - eye.y, 0.05 * -eye.y) << "corner " << corner << " too near";
      double across, up;
      user_screen(user, p, across, up);
      EXPECT_LE(std::fabs(across), 0.8 + 1e-9) << "corner " << corner;
      EXPECT_LE(std::fabs(up), 0.8 + 1e-9) << "corner " << corner;
      widest = std::fmax(widest, std::fmax(std::fabs(across), std::fabs(up)));
    }
    if (c.box.max.x > c.box.min.x) {
      EXPECT_NEAR(widest, 0.8, 1e-9) << "the fit is tight";
    }
  }
}

TEST(ViewNavigation, FlatSceneIsFittedByItsWidthAlone) {
  ViewNavigation front(kFrontView);
  front.set_projection(200, 200);
  front.reset(make_box(-5, -1, 2, 5, 1, 2));  // dz = 0
  EXPECT_DOUBLE_EQ(front.zoom(), 0.8 * 2000.0 / 10);
  EXPECT_TRUE(std::isfinite(front.modelview_gl()[0]));
}

TEST(ViewNavigation, SceneWithoutExtentIsFittedAsOneUnit) {
  ViewNavigation top(kTopView), user(kUserView);
  top.set_projection(200, 100);
  user.set_projection(200, 100);
  top.reset(make_box(3, 4, 0, 3, 4, 9));  // no extent in x and y, the Top view's directions
  EXPECT_DOUBLE_EQ(top.zoom(), 0.8 * 2000.0);
  user.reset(make_box(1, 1, 1, 1, 1, 1));  // a single point
  EXPECT_DOUBLE_EQ(user.zoom(), 0.8 * 2000.0);
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(std::isfinite(user.modelview_gl()[i]));
  SceneBox empty = make_box(0, 0, 0, 0, 0, 0);
  empty.empty = 1;
  top.reset(empty);
  EXPECT_DOUBLE_EQ(top.zoom(), 0.8 * 2000.0);
}

TEST(ViewNavigation, PlainDragPansAlongEachOrthographicViewsScreenAxes) {
  const SceneBox box = make_box(0, 0, 0, 10, 10, 10);
  struct Case {
    int32_t kind;
    QVector3D axis_u;
    QVector3D axis_v;
  } cases[] = {{kTopView, {1, 0, 0}, {0, 1, 0}},
               {kSideView, {0, -1, 0}, {0, 0, 1}},
               {kFrontView, {1, 0, 0}, {0, 0, 1}}};
  for (const Case& c : cases) {
    ViewNavigation nav(c.kind);
    nav.set_projection(400, 300);
    nav.reset(box);
    QMatrix4x4 expected = reset_matrix(nav.zoom(), box.centre);
    const double k = nav.ortho_width() / 400;
    nav.button_down(100, 100, 0);
    nav.mouse_move(130, 90, 1, 0);  // 30 right, 10 up
    const double e = 30 * k / nav.zoom();
    const double g = 10 * k / nav.zoom();
    expected.translate(float(e) * c.axis_u + float(g) * c.axis_v);
    expect_matrix(expected, nav);
    EXPECT_NEAR(nav.pan().x, -5 + e * c.axis_u.x() + g * c.axis_v.x(), 1e-9);
    EXPECT_NEAR(nav.pan().y, -5 + e * c.axis_u.y() + g * c.axis_v.y(), 1e-9);
    EXPECT_NEAR(nav.pan().z, -5 + e * c.axis_u.z() + g * c.axis_v.z(), 1e-9);
    EXPECT_EQ(nav.fast(), 1);
    nav.button_up();
    EXPECT_EQ(nav.fast(), 0);
  }
}

TEST(ViewNavigation, AltOrRightButtonDragZoomsByExactlyOnePointOnePerMoveEvent) {
  // The right button zooms whatever keys are held, so Ctrl or Shift do not turn it into a
  // rotation or a height change.
  for (int32_t bits : {int32_t(kModAlt), int32_t(kZoomButton), int32_t(kZoomButton | kModCtrl),
                       int32_t(kZoomButton | kModShift)}) {
    SCOPED_TRACE(bits);
    for (int32_t kind : {int32_t(kFrontView), int32_t(kUserView)}) {
      ViewNavigation nav(kind);
      nav.set_projection(300, 200);
      nav.reset(make_box(0, 0, 0, 2, 2, 2));
      const double z0 = nav.zoom();
      EXPECT_EQ(nav.button_down(150, 100, bits), kZoomCursor);
      nav.mouse_move(150, 99, 1, bits);  // up by 1 pixel
      EXPECT_DOUBLE_EQ(nav.zoom(), z0 * 1.1);
      nav.mouse_move(150, 40, 1, bits);  // up by 59 pixels: still one step
      EXPECT_DOUBLE_EQ(nav.zoom(), z0 * 1.1 * 1.1);
      nav.mouse_move(170, 40, 1, bits);  // sideways only: no step
      EXPECT_DOUBLE_EQ(nav.zoom(), z0 * 1.1 * 1.1);
      nav.mouse_move(170, 90, 1, bits);  // down: out
      EXPECT_DOUBLE_EQ(nav.zoom(), z0 * 1.1 * 1.1 / 1.1);
      EXPECT_DOUBLE_EQ(nav.angle_z(), 0.0);
    }
  }
}

TEST(ViewNavigation, ZoomKeepsTheWorldPointUnderTheStartPixel) {
  ViewNavigation nav(kTopView);
  nav.set_projection(400, 300);
  nav.reset(make_box(-3, -2, 0, 5, 4, 1));
  nav.button_down(5, 5, 0);
  nav.mouse_move(60, 45, 1, 0);  // pan somewhere first
  nav.button_up();
  // The world point now under pixel (300, 70), from the Top view's modelview (a scale and a
  // translation only).
  const double* m = nav.modelview_gl();
  const double k = nav.ortho_width() / nav.viewport_width();
  const double X = 300 * k + nav.ortho_left();
  const double Y = nav.ortho_top() - 70 * k;
  const Vec3d world = {(X - m[12]) / m[0], (Y - m[13]) / m[5], 0};
  nav.button_down(300, 70, kModAlt);
  for (int i = 0; i < 3; ++i) nav.mouse_move(300, 69 - i * 7, 1, kModAlt);
  nav.mouse_move(300, 80, 1, kModAlt);
  double px, py;
  top_pixel(nav, apply(nav, world), px, py);
  EXPECT_NEAR(px, 300, 1e-6);
  EXPECT_NEAR(py, 70, 1e-6);
}

TEST(ViewNavigation, ShiftToPointAndBackReturnsToTheSamePlaceEvenAtColumnZero) {
  for (int px : {0, 17}) {
    ViewNavigation nav(kSideView);
    nav.set_projection(120, 80);
    nav.reset(make_box(0, 0, 0, 1, 2, 3));
    const Mat4d before = nav.modelview();
    const Vec3d pan = nav.pan();
    nav.shift_to_point(px, 33, -1);
    nav.shift_to_point(px, 33, +1);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) EXPECT_NEAR(nav.modelview().m[i][j], before.m[i][j], 1e-9);
    EXPECT_NEAR(nav.pan().y, pan.y, 1e-9);
    EXPECT_NEAR(nav.pan().z, pan.z, 1e-9);
  }
}

TEST(ViewNavigation, CtrlDragDoesNothingInOrthographicViews) {
  for (int32_t kind : {kTopView, kSideView, kFrontView}) {
    ViewNavigation nav(kind);
    nav.set_projection(200, 200);
    nav.reset(make_box(0, 0, 0, 1, 1, 1));
    const Mat4d before = nav.modelview();
    EXPECT_EQ(nav.button_down(50, 50, kModCtrl), kNoCursor);
    EXPECT_EQ(nav.mouse_move(80, 20, 1, kModCtrl), kNoCursor);
    EXPECT_EQ(nav.mouse_move(10, 90, 1, kModCtrl | kModShift), kNoCursor);
    EXPECT_EQ(nav.fast(), 0);
    EXPECT_EQ(nav.angle_z(), 0);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) EXPECT_EQ(nav.modelview().m[i][j], before.m[i][j]);
  }
}

TEST(ViewNavigation, CtrlDragRotatesTheUserViewOneOrFiveDegreesPerStep) {
  ViewNavigation nav(kUserView);
  nav.set_projection(200, 100);
  const SceneBox box = make_box(0, 0, 0, 2, 2, 2);
  nav.reset(box);
  QMatrix4x4 expected = reset_matrix(nav.zoom(), box.centre);
  const QVector3D pan(-1, -1, -1);
  const float d = float(250.0 / nav.zoom());
  auto turn = [&](float ax_deg, QVector3D axis, float ay_deg, bool second) {
    expected.translate(-pan);
    expected.translate(0, 0, -d);
    expected.rotate(ax_deg, axis);
    if (second) expected.rotate(ay_deg, 0, 1, 0);
    expected.translate(0, 0, d);
    expected.translate(pan);
  };
  EXPECT_EQ(nav.button_down(100, 50, kModCtrl), kRotateCursor);
  nav.mouse_move(60, 50, 1, kModCtrl);  // left by 40: one step of -1 about Z
  turn(-1, {0, 0, 1}, 0, false);
  EXPECT_DOUBLE_EQ(nav.angle_z(), -1);
  nav.mouse_move(61, 50, 1, kModCtrl | kModShift);  // right with Shift: +5
  turn(5, {0, 0, 1}, 0, false);
  EXPECT_DOUBLE_EQ(nav.angle_z(), 4);
  expect_matrix(expected, nav);
  nav.mouse_move(61, 20, 1, kModCtrl);  // up: -cos(a) about X, then sin(a) about Y
  const double a = 4 * kPi / 180;
  turn(float(-std::cos(a)), {1, 0, 0}, float(std::sin(a)), true);
  EXPECT_DOUBLE_EQ(nav.angle_x(), -std::cos(a));
  EXPECT_DOUBLE_EQ(nav.angle_y(), std::sin(a));
  expect_matrix(expected, nav);
}

TEST(ViewNavigation, UserViewPanFollowsTheSpinAndShiftChangesHeight) {
  ViewNavigation nav(kUserView);
  nav.set_projection(200, 200);
  const SceneBox box = make_box(0, 0, 0, 1, 1, 1);
  nav.reset(box);
  nav.button_down(100, 100, kModCtrl);
  for (int i = 0; i < 6; ++i) nav.mouse_move(100 + i + 1, 100, 1, kModCtrl | kModShift);
  ASSERT_DOUBLE_EQ(nav.angle_z(), 30);
  nav.button_up();
  const Vec3d pan0 = nav.pan();
  const double k = nav.ortho_width() / 200;
  nav.button_down(0, 0, 0);
  nav.mouse_move(20, -10, 1, 0);
  const double e = 20 * k / nav.zoom(), g = 10 * k / nav.zoom();
  const double a = 30 * kPi / 180;
  EXPECT_NEAR(nav.pan().x, pan0.x + e * std::cos(a) + g * std::sin(a), 1e-9);
  EXPECT_NEAR(nav.pan().y, pan0.y - e * std::sin(a) + g * std::cos(a), 1e-9);
  EXPECT_NEAR(nav.pan().z, pan0.z, 1e-12);
  nav.mouse_move(20, -30, 1, kModShift);  // Shift: the height
  EXPECT_NEAR(nav.pan().z, pan0.z + 2 * g, 1e-9);
}

TEST(ViewNavigation, ResizeChangesExtentsButKeepsNavigation) {
  ViewNavigation nav(kTopView);
  nav.set_projection(200, 100);
  nav.reset(make_box(0, 0, 0, 3, 1, 1));
  nav.button_down(10, 10, kModAlt);
  nav.mouse_move(10, 5, 1, kModAlt);
  nav.button_up();
  const Mat4d before = nav.modelview();
  const double zoom = nav.zoom();
  const Vec3d pan = nav.pan();
  EXPECT_EQ(nav.set_projection(0, 0), 0);
  EXPECT_DOUBLE_EQ(nav.aspect(), 2);
  EXPECT_EQ(nav.set_projection(300, 400), 1);
  EXPECT_DOUBLE_EQ(nav.aspect(), 0.75);
  EXPECT_DOUBLE_EQ(nav.ortho_width(), 1500);
  EXPECT_DOUBLE_EQ(nav.ortho_left(), -750);
  EXPECT_DOUBLE_EQ(nav.ortho_top(), 1000);
  EXPECT_DOUBLE_EQ(nav.viewport_width(), 300);
  EXPECT_EQ(nav.zoom(), zoom);
  EXPECT_EQ(nav.pan().x, pan.x);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(nav.modelview().m[i][j], before.m[i][j]);
}

TEST(ViewNavigation, MovesWithoutTheButtonOnlyTrackThePointer) {
  ViewNavigation nav(kFrontView);
  nav.set_projection(100, 100);
  nav.reset(make_box(0, 0, 0, 1, 1, 1));
  const Mat4d before = nav.modelview();
  EXPECT_EQ(nav.mouse_move(40, 70, 0, kModAlt), kNoCursor);
  EXPECT_EQ(nav.last_x(), 40);
  EXPECT_EQ(nav.last_y(), 70);
  EXPECT_EQ(nav.fast(), 0);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(nav.modelview().m[i][j], before.m[i][j]);
}

TEST(ViewNavigation, CameraEyesOfTheFourViews) {
  Vec3d eye;
  camera_eye(kTopView, eye);
  EXPECT_EQ(eye.z, 200);
  EXPECT_LT(eye.y, 0);
  EXPECT_GT(eye.y, -1e-5);
  camera_eye(kSideView, eye);
  EXPECT_EQ(eye.x, -200);
  camera_eye(kFrontView, eye);
  EXPECT_EQ(eye.y, -200);
  camera_eye(kUserView, eye);
  // 60 degrees of view at this distance show the 2000 units of the orthographic views.
  EXPECT_NEAR(-eye.y * std::tan(30 * kPi / 180), 1000, 1e-9);
}
