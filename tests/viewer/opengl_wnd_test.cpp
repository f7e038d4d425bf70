// Real views on a private X server with Mesa's software OpenGL: the pixels each render mode
// draws, lights, list sharing, framing, and the mouse and keys of a view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "tests/support/xvfb_server.h"
#include "viewer/opengl_wnd.h"

namespace {

// One X server and one QApplication for the whole test program, made only when tests run
// (not when the test list is read). Both stay until the process ends: destroying the
// application unloads Mesa's driver, whose last allocations the leak checker could then no
// longer attribute, and the server ends with the process.
class ViewerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    server = new XvfbServer;
    ASSERT_TRUE(server->start(error)) << error;
    // The views share one display-list name space, as in the viewer program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    app = new QApplication(argc, argv);
  }

 private:
  // Volatile: nothing reads the pointers back, and an optimised build would otherwise drop
  // the stores and leave both objects unreachable to valgrind.
  static XvfbServer* volatile server;
  static QApplication* volatile app;
  static int argc;
  static char name[];
  static char* argv[];
};

XvfbServer* volatile ViewerEnvironment::server = nullptr;
QApplication* volatile ViewerEnvironment::app = nullptr;
int ViewerEnvironment::argc = 1;
char ViewerEnvironment::name[] = "test_viewer_views";
char* ViewerEnvironment::argv[] = {ViewerEnvironment::name, nullptr};

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ViewerEnvironment);

struct Quad {
  Vec3d p[4];  // corners in winding order
};

// A flat mesh (as imported: flat form only) of quads, each cut into (0,1,2) and (0,2,3).
Mesh3d* quads_mesh(std::initializer_list<Quad> quads) {
  Mesh3d* m = new Mesh3d(8, "quads");
  for (const Quad& q : quads) {
    m->add_triangle(q.p[0], q.p[1], q.p[2]);
    m->add_triangle(q.p[0], q.p[2], q.p[3]);
  }
  m->to_flat();
  m->drop_tables();
  return m;
}

// The unit cube with every face running counter-clockwise seen from outside.
Mesh3d* unit_cube() {
  return quads_mesh({{{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}},
                     {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}},
                     {{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}},
                     {{{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}},
                     {{{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}},
                     {{{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}}});
}

// A scene with its object list, and views on it.
struct Scene {
  ObjectList objects{release_object};
  ViewerScene scene;
  Scene() { scene.set_objects(&objects); }
  // A scene of one mesh, its box computed.
  explicit Scene(Mesh3d* mesh) : Scene() {
    objects.append(mesh);
    scene.compute_scene_box();
  }
};

std::unique_ptr<COpenGLWnd> show_view(int32_t kind, ViewerScene& scene, int w, int h) {
  auto view = std::make_unique<COpenGLWnd>(kind, &scene);
  view->resize(w, h);
  view->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  return view;
}

// A shown view with its lists built, in the given modes, framing the scene.
std::unique_ptr<COpenGLWnd> framed_view(int32_t kind, ViewerScene& scene, int w, int h,
                                        int32_t mode, int32_t fast_mode) {
  auto view = show_view(kind, scene, w, h);
  view->build_model();
  view->set_render_modes(mode, fast_mode);
  view->reset_view();
  return view;
}

QImage grab(COpenGLWnd& view) {
  return view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

bool is_black(QRgb c) { return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 0; }

int lit_pixels(const QImage& img, const QRect& r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += !is_black(img.pixel(x, y));
  return n;
}

// Bounding rectangle of the pixels that are not black.
QRect drawn_area(const QImage& img) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (!is_black(img.pixel(x, y))) r |= QRect(x, y, 1, 1);
  return r;
}

int brightness(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

// The colour an unlit object shows: 1.4 times its palette colour, as 8-bit channels.
int channel(double k) {
  const double v = 1.4 * k;
  return int(std::lround((v > 1 ? 1 : v) * 255));
}

}  // namespace

TEST(OpenGLView, BeforeTheFirstBuildOnlyBlackShows) {
  Scene s(unit_cube());
  auto view = show_view(kUserView, s.scene, 64, 48);
  view->set_render_modes(kRenderDouble, kRenderBox);
  view->reset_view();
  EXPECT_EQ(view->has_model(), 0);
  const QImage img = grab(*view);
  EXPECT_EQ(lit_pixels(img, img.rect()), 0);
  // The same view shows the scene once the lists exist.
  view->build_model();
  EXPECT_GT(lit_pixels(grab(*view), img.rect()), 0);
}

TEST(OpenGLView, ClockwiseFacesShowInDoubleModeOnly) {
  // In the plane y = 0, seen from the User camera (on -Y, +Z up) clockwise.
  Scene s(quads_mesh({{{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}}}}));
  auto view = show_view(kUserView, s.scene, 60, 60);
  view->build_model();
  view->reset_view();
  const QRect inner(15, 15, 30, 30);  // inside the face, away from the scene frame's marks
  view->set_render_modes(kRenderShade, kRenderBox);
  EXPECT_EQ(lit_pixels(grab(*view), inner), 0);
  view->set_render_modes(kRenderDouble, kRenderBox);
  EXPECT_EQ(lit_pixels(grab(*view), inner), inner.width() * inner.height());
}

TEST(OpenGLView, OrthographicViewsShowUnlitAreasInOnePointFourTimesThePaletteColour) {
  Scene s(unit_cube());
  auto builder = show_view(kUserView, s.scene, 40, 40);
  builder->build_model();
  ASSERT_EQ(builder->object_colours().size(), 1u);
  const Vec3d k = builder->object_colours()[0];
  for (int32_t kind : {kTopView, kSideView, kFrontView}) {
    auto view = show_view(kind, s.scene, 50, 50);
    builder->share_lists_with(view.get());
    view->set_render_modes(kRenderShade, kRenderBox);
    view->reset_view();
    const QImage img = grab(*view);
    for (QPoint p : {QPoint(25, 25), QPoint(15, 20), QPoint(33, 31)}) {
      const QRgb c = img.pixel(p);
      EXPECT_NEAR(qRed(c), channel(k.x), 1) << "view " << kind;
      EXPECT_NEAR(qGreen(c), channel(k.y), 1) << "view " << kind;
      EXPECT_NEAR(qBlue(c), channel(k.z), 1) << "view " << kind;
    }
  }
}

TEST(OpenGLView, ColoursFollowTheRandSequenceBuildAfterBuild) {
  Scene s;
  s.objects.append(unit_cube());
  s.objects.append(new Light3d("not drawn", {1, 1, 1}, {0, 0, 0}));
  s.objects.append(unit_cube());
  s.scene.compute_scene_box();
  auto view = show_view(kTopView, s.scene, 32, 32);
  std::srand(99);
  view->build_model();
  view->build_model();
  std::srand(99);
  ASSERT_EQ(view->object_colours().size(), 3u);
  for (int i = 0; i < 3; ++i) std::rand();  // the first build
  for (const Vec3d& c : view->object_colours()) {
    const double* want = kViewerPalette[std::rand() % kPaletteSize];
    EXPECT_EQ(c.x, want[0]);
    EXPECT_EQ(c.z, want[2]);
  }
}

TEST(OpenGLView, EdgeModeShowsBorderEdgesButNotTheDiagonalOfAFlatFace) {
  Scene s(quads_mesh({{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}}));
  // The square covers pixels 10 ... 90 both ways.
  auto view = framed_view(kTopView, s.scene, 100, 100, kRenderEdge, kRenderBox);
  const QImage img = grab(*view);
  for (int row : {30, 50, 70}) {
    // Crossing the square: its left and right border, nothing between (the diagonal from
    // corner to corner would cross every row).
    EXPECT_GT(lit_pixels(img, QRect(7, row, 7, 1)), 0) << row;
    EXPECT_GT(lit_pixels(img, QRect(87, row, 7, 1)), 0) << row;
    EXPECT_EQ(lit_pixels(img, QRect(15, row, 71, 1)), 0) << row;
  }
  EXPECT_GT(lit_pixels(img, QRect(50, 7, 1, 7)), 0);
  EXPECT_GT(lit_pixels(img, QRect(50, 87, 1, 7)), 0);
}

TEST(OpenGLView, EdgeModeShowsTheFoldBetweenTwoFaces) {
  // The square with one corner raised: its two triangles meet at a few degrees along the
  // diagonal from (0, 0) to (1, 1), which the Top view (+Y up) shows from the lower left
  // to the upper right corner.
  Scene s(quads_mesh({{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0.2}, {0, 1, 0}}}}));
  auto view = framed_view(kTopView, s.scene, 100, 100, kRenderEdge, kRenderBox);
  const QImage img = grab(*view);
  EXPECT_GT(lit_pixels(img, QRect(47, 47, 7, 7)), 0);
  EXPECT_GT(lit_pixels(img, QRect(27, 67, 7, 7)), 0);
  EXPECT_EQ(lit_pixels(img, QRect(60, 60, 10, 10)), 0);  // off the diagonal, inside
}

namespace {

// A square facing the User camera, lit by nine lights in front of it; light i is on when
// bit i of on is set.
void set_nine_lights(ViewerScene& scene, int on) {
  scene.clear_lights();
  for (int i = 0; i < 9; ++i) {
    Light3d* l = new Light3d("light", {0.5, 0.5, 0.5}, {0.5, -5, 0.5});
    l->enabled = (on >> i) & 1;
    scene.lights().append(l);
  }
}

// A shaded User view of scene, 60 by 60 pixels.
std::unique_ptr<COpenGLWnd> shaded_user_view(ViewerScene& scene) {
  auto view = show_view(kUserView, scene, 60, 60);
  view->set_render_modes(kRenderShade, kRenderBox);
  view->reset_view();
  return view;
}

QRgb centre_after_build(COpenGLWnd& view) {
  std::srand(7);  // the same object colour in every build
  view.build_model();
  return grab(view).pixel(30, 30);
}

}  // namespace

TEST(OpenGLView, NineLightsLightWithTheFirstEightOnly) {
  Scene s(quads_mesh({{{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}}}));
  auto view = shaded_user_view(s.scene);
  set_nine_lights(s.scene, 0);
  const QRgb dark = centre_after_build(*view);
  set_nine_lights(s.scene, 1 << 8);  // the ninth
  const QRgb ninth = centre_after_build(*view);
  set_nine_lights(s.scene, 1 << 7);  // the eighth
  const QRgb eighth = centre_after_build(*view);
  EXPECT_EQ(ninth, dark);
  EXPECT_GT(brightness(eighth), brightness(dark) + 30);
}

TEST(OpenGLView, ChangedLightReachesTheListsOnRequestOnly) {
  Scene s(quads_mesh({{{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}}}));
  auto view = shaded_user_view(s.scene);
  set_nine_lights(s.scene, 0);
  const QRgb dark = centre_after_build(*view);
  static_cast<Light3d*>(s.scene.lights().get(2))->enabled = 1;
  EXPECT_EQ(grab(*view).pixel(30, 30), dark);  // still compiled off
  view->request_light_update(2);
  EXPECT_EQ(view->light_index(), 2);
  EXPECT_EQ(view->light_request(), 1);
  const QRgb lit = grab(*view).pixel(30, 30);
  EXPECT_GT(brightness(lit), brightness(dark) + 30);
  EXPECT_EQ(view->light_index(), -1);
  EXPECT_EQ(view->light_request(), -1);
  // Two lights changed before one draw both arrive: light 5 takes over from light 2, which
  // shows the same as before only when both lists were recompiled.
  static_cast<Light3d*>(s.scene.lights().get(2))->enabled = 0;
  static_cast<Light3d*>(s.scene.lights().get(5))->enabled = 1;
  view->request_light_update(2);
  view->request_light_update(5);
  EXPECT_EQ(view->light_index(), kMaxLights);
  EXPECT_EQ(grab(*view).pixel(30, 30), lit);
}

TEST(OpenGLView, ResetFramesTheSceneWithinTheLimitingDirection) {
  // 30 wide and 10 deep, far from the origin: in a 160 x 100 Top view the width limits.
  Scene s(quads_mesh({{{{85, 45, 0}, {115, 45, 0}, {115, 55, 0}, {85, 55, 0}}}}));
  auto view = show_view(kTopView, s.scene, 160, 100);
  view->build_model();
  view->set_render_modes(kRenderDouble, kRenderBox);
  // Navigate away first: drag and zoom.
  QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(70, 60), QPointF(70, 60), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.get(), &move);
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 60));
  view->reset_view();
  const QRect r = drawn_area(grab(*view));
  ASSERT_FALSE(r.isEmpty());
  EXPECT_GT(r.left(), 0);
  EXPECT_GT(r.top(), 0);
  EXPECT_LT(r.right(), 159);
  EXPECT_LT(r.bottom(), 99);
  EXPECT_GE(r.width(), int(0.75 * 160));
  EXPECT_NEAR(r.center().x(), 80, 2);
  EXPECT_NEAR(r.center().y(), 50, 2);
}

TEST(OpenGLView, ListsBuiltInOneViewDrawInTheOthers) {
  Scene s(unit_cube());
  auto user = show_view(kUserView, s.scene, 40, 40);
  auto front = show_view(kFrontView, s.scene, 40, 40);
  EXPECT_EQ(front->has_model(), 0);
  user->build_model();
  EXPECT_EQ(user->share_lists_with(front.get()), 1);
  EXPECT_EQ(front->has_model(), 1);
  front->set_render_modes(kRenderDouble, kRenderBox);
  front->reset_view();
  EXPECT_GT(lit_pixels(grab(*front), QRect(10, 10, 20, 20)), 300);
}

TEST(OpenGLView, BuildBeforeTheFirstShowRunsWhenTheContextExists) {
  Scene s(unit_cube());
  COpenGLWnd view(kFrontView, &s.scene);
  view.build_model();  // no context yet
  view.set_render_modes(kRenderDouble, kRenderBox);
  view.resize(40, 40);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.reset_view();
  EXPECT_EQ(view.has_model(), 1);
  EXPECT_GT(lit_pixels(grab(view), QRect(10, 10, 20, 20)), 300);
}

TEST(OpenGLView, PlainDragMovesTheDrawingWithThePointer) {
  Scene s(unit_cube());
  auto view = framed_view(kTopView, s.scene, 100, 100, kRenderShade, kRenderShade);
  const QRect before = drawn_area(grab(*view));
  QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(view->fast(), 1);
  QMouseEvent move(QEvent::MouseMove, QPointF(30, 60), QPointF(30, 60), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.get(), &move);
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 60));
  EXPECT_EQ(view->fast(), 0);
  const QRect after = drawn_area(grab(*view));
  // (the left and lower sides now run out of the window)
  EXPECT_NEAR(after.right() - before.right(), -20, 1);
  EXPECT_NEAR(after.top() - before.top(), 10, 1);
}

TEST(OpenGLView, CtrlDragInAnOrthographicViewChangesNothing) {
  Scene s(unit_cube());
  auto view = framed_view(kSideView, s.scene, 60, 60, kRenderShade, kRenderBox);
  const QImage before = grab(*view);
  QTest::mousePress(view.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(30, 30));
  EXPECT_EQ(view->fast(), 0);
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 50), QPointF(5, 50), Qt::NoButton, Qt::LeftButton,
                   Qt::ControlModifier);
  QCoreApplication::sendEvent(view.get(), &move);
  EXPECT_EQ(view->fast(), 0);
  EXPECT_EQ(grab(*view), before);
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(5, 50));
}

TEST(OpenGLView, WheelZoomsByOnePointOnePerNotchAboutThePointer) {
  Scene s(unit_cube());
  auto view = show_view(kFrontView, s.scene, 80, 80);
  view->reset_view();
  const double z0 = view->navigation().zoom();
  QWheelEvent wheel(QPointF(20, 30), view->mapToGlobal(QPointF(20, 30)), QPoint(), QPoint(0, 240),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view.get(), &wheel);
  EXPECT_DOUBLE_EQ(view->navigation().zoom(), z0 * 1.1 * 1.1);
  QWheelEvent half(QPointF(20, 30), view->mapToGlobal(QPointF(20, 30)), QPoint(), QPoint(0, -60),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view.get(), &half);
  EXPECT_DOUBLE_EQ(view->navigation().zoom(), z0 * 1.1 * 1.1);  // half a notch: not yet
  QCoreApplication::sendEvent(view.get(), &half);
  EXPECT_NEAR(view->navigation().zoom(), z0 * 1.1, 1e-9 * z0);
}

TEST(OpenGLView, NormalNeedlesPointToTheCounterClockwiseSideAndHideWhileFast) {
  // Upright in the plane y = 0, counter-clockwise seen from -Y: the Top view (+Y up) shows it
  // edge-on along the middle row and its needles running down from there.
  Scene s(quads_mesh({{{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}}}));
  auto view = framed_view(kTopView, s.scene, 100, 100, kRenderShade, kRenderShade);
  auto blue = [](const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        const QRgb c = img.pixel(x, y);
        n += qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 255;
      }
    return n;
  };
  const QRect below(30, 52, 40, 4);
  const QRect above(30, 44, 40, 5);
  EXPECT_EQ(blue(grab(*view), below), 0);
  view->toggle_normals();
  QImage img = grab(*view);
  EXPECT_GE(blue(img, below), 2 * 3);  // two needles, each over several rows
  EXPECT_EQ(blue(img, above), 0);
  view->set_fast(1);
  EXPECT_EQ(blue(grab(*view), below), 0);
  view->set_fast(0);
  EXPECT_GT(blue(grab(*view), below), 0);
}

TEST(OpenGLView, KeysSetModesResetAndToggleNormals) {
  Scene s(unit_cube());
  COpenGLWnd view(kFrontView, &s.scene);
  view.resize(50, 50);
  QSignalSpy modes(&view, &COpenGLWnd::render_mode_changed);
  QSignalSpy maximize(&view, &COpenGLWnd::maximize_requested);
  EXPECT_EQ(view.render_mode(), kRenderDouble);
  EXPECT_EQ(view.fast_render_mode(), kRenderBox);
  EXPECT_EQ(view.handle_key(Qt::Key_2), 1);
  EXPECT_EQ(view.render_mode(), kRenderEdge);
  EXPECT_EQ(view.handle_key(Qt::Key_7), 1);
  EXPECT_EQ(view.render_mode(), kRenderDoubleWire);
  ASSERT_EQ(modes.count(), 2);
  EXPECT_EQ(modes.at(1).at(0).toInt(), kFrontView);
  EXPECT_EQ(modes.at(1).at(1).toInt(), 6);
  EXPECT_EQ(view.handle_key(Qt::Key_1, Qt::ShiftModifier), 0);
  EXPECT_EQ(view.handle_key(Qt::Key_C), 0);
  EXPECT_EQ(view.render_mode(), kRenderDoubleWire);
  EXPECT_EQ(view.handle_key(Qt::Key_Space), 1);
  EXPECT_EQ(maximize.count(), 1);
  EXPECT_EQ(view.show_normals(), 0);
  QTest::keyClick(&view, Qt::Key_N);
  EXPECT_EQ(view.show_normals(), 1);
  view.navigation().button_down(0, 0, 0);
  view.navigation().mouse_move(9, 9, 1, 0);
  view.navigation().button_up();
  EXPECT_EQ(view.handle_key(Qt::Key_R), 1);
  EXPECT_DOUBLE_EQ(view.navigation().pan().x, -0.5);
  EXPECT_DOUBLE_EQ(view.navigation().pan().z, -0.5);
}

namespace {

// A closed box from lo to hi, every face counter-clockwise seen from outside.
Mesh3d* box_mesh(const Vec3d& lo, const Vec3d& hi) {
  const double a = lo.x, b = lo.y, c = lo.z, d = hi.x, e = hi.y, f = hi.z;
  return quads_mesh({{{{a, b, c}, {a, e, c}, {d, e, c}, {d, b, c}}},
                     {{{a, b, f}, {d, b, f}, {d, e, f}, {a, e, f}}},
                     {{{a, b, c}, {d, b, c}, {d, b, f}, {a, b, f}}},
                     {{{a, e, c}, {a, e, f}, {d, e, f}, {d, e, c}}},
                     {{{a, b, c}, {a, b, f}, {a, e, f}, {a, e, c}}},
                     {{{d, b, c}, {d, e, c}, {d, e, f}, {d, b, f}}}});
}

void drag(COpenGLWnd& view, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint from,
          QPoint to) {
  QTest::mousePress(&view, button, keys, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton,
                   button, keys);
  QCoreApplication::sendEvent(&view, &move);
  QTest::mouseRelease(&view, button, keys, to);
}

}  // namespace

// A model much deeper than wide (a car seen from behind, a long corridor): the User view's
// fit at its first draw and after a reset shows all of it, inside the window's border,
// and the flat views keep their 80 % fit.
TEST(OpenGLView, UserViewFitShowsAllOfADeepModel) {
  Scene s(box_mesh({-10, -60, 0}, {10, 60, 12}));
  std::srand(7);
  auto user = framed_view(kUserView, s.scene, 160, 120, kRenderBox, kRenderBox);
  // The model's own lines, told from the white corner marks of the scene frame (which stand
  // a tenth beyond the box and may leave the window).
  const Vec3d k = user->object_colours().at(0);
  ASSERT_FALSE(channel(k.x) == 255 && channel(k.y) == 255 && channel(k.z) == 255);
  auto drawn_area = [](const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QRgb c = img.pixel(x, y);
        if (!is_black(c) && c != qRgb(255, 255, 255)) r |= QRect(x, y, 1, 1);
      }
    return r;
  };
  auto inside = [](const QRect& r, int w, int h) {
    return !r.isEmpty() && r.left() > 0 && r.top() > 0 && r.right() < w - 1 && r.bottom() < h - 1;
  };
  const QRect first = drawn_area(grab(*user));
  EXPECT_TRUE(inside(first, 160, 120))
      << first.x() << "," << first.y() << " " << first.width() << "x" << first.height();
  EXPECT_GE(std::max(first.width() / 160.0, first.height() / 120.0), 0.6) << "and not tiny";
  drag(*user, Qt::RightButton, Qt::NoModifier, QPoint(80, 60), QPoint(80, 20));
  drag(*user, Qt::RightButton, Qt::NoModifier, QPoint(80, 60), QPoint(80, 20));
  EXPECT_FALSE(inside(drawn_area(grab(*user)), 160, 120)) << "zoomed in past the border";
  QTest::keyClick(user.get(), Qt::Key_R);
  EXPECT_EQ(drawn_area(grab(*user)), first);

  auto front = framed_view(kFrontView, s.scene, 160, 120, kRenderBox, kRenderBox);
  const QRect flat = drawn_area(grab(*front));
  EXPECT_NEAR(flat.width(), 0.8 * 160, 3);
}

// Right-button drags zoom by the Alt drag's step about the press point, also with Ctrl held,
// and in every view; the left button with Alt still zooms where the window manager lets it.
TEST(OpenGLView, RightButtonDragZoomsAsAltDragDoes) {
  Scene s(unit_cube());
  struct Case {
    int32_t kind;
    Qt::MouseButton button;
    Qt::KeyboardModifiers keys;
  };
  const Case cases[] = {{kFrontView, Qt::RightButton, Qt::NoModifier},
                        {kUserView, Qt::RightButton, Qt::ControlModifier},
                        {kTopView, Qt::LeftButton, Qt::AltModifier}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    auto view = framed_view(c.kind, s.scene, 80, 80, kRenderShade, kRenderShade);
    const double z0 = view->navigation().zoom();
    QTest::mousePress(view.get(), c.button, c.keys, QPoint(40, 40));
    EXPECT_EQ(view->fast(), 1);
    EXPECT_EQ(view->cursor().shape(), Qt::SizeVerCursor);
    for (int y : {35, 30}) {
      QMouseEvent move(QEvent::MouseMove, QPointF(40, y), view->mapToGlobal(QPointF(40, y)),
                       Qt::NoButton, c.button, c.keys);
      QCoreApplication::sendEvent(view.get(), &move);
    }
    QTest::mouseRelease(view.get(), c.button, c.keys, QPoint(40, 30));
    EXPECT_EQ(view->fast(), 0);
    EXPECT_DOUBLE_EQ(view->navigation().zoom(), z0 * 1.1 * 1.1);
    EXPECT_DOUBLE_EQ(view->navigation().angle_z(), 0.0);
  }
}

namespace {

Mesh3d* coloured(Mesh3d* mesh, double r, double g, double b, double a) {
  mesh->has_appearance = 1;
  mesh->appearance.rgba[0] = r;
  mesh->appearance.rgba[1] = g;
  mesh->appearance.rgba[2] = b;
  mesh->appearance.rgba[3] = a;
  return mesh;
}

// An upright square in the plane y = depth, from x0 to x1 and z 0 to 1.
Mesh3d* upright_square(double x0, double x1, double depth) {
  return quads_mesh({{{{x0, depth, 0}, {x1, depth, 0}, {x1, depth, 1}, {x0, depth, 1}}}});
}

int channel_of(double v) { return int(std::lround(v * 255)); }

}  // namespace

// With model colours on, a mesh that carries a colour is drawn in exactly that colour in the
// unlit views and every mode; a mesh without one keeps its palette colour; off, all do.
TEST(OpenGLView, ModelColoursDrawMeshesInTheirOwnColour) {
  Scene s;
  s.objects.append(coloured(upright_square(0, 1, 0), 0.2, 0.6, 0.4, 1.0));
  s.objects.append(upright_square(2, 3, 0));
  s.scene.compute_scene_box();
  for (bool on : {true, false}) {
    s.scene.set_model_colours(on);
    for (int32_t mode : {kRenderDouble, kRenderBox}) {
      SCOPED_TRACE(std::string(on ? "on" : "off") + " mode " + std::to_string(mode));
      std::srand(3);  // palette colours that do not brighten to white
      auto view = framed_view(kFrontView, s.scene, 120, 40, mode, kRenderBox);
      const QImage img = grab(*view);
      const std::vector<Vec3d> palette = view->object_colours();
      // The first pixel of a mesh's colour in a band of columns: its face, or in Box mode
      // its outline (the scene frame's white marks left out).
      auto pixel_in = [&](int x0, int x1) {
        for (int y = 0; y < img.height(); ++y)
          for (int x = x0; x < x1; ++x) {
            const QRgb c = img.pixel(x, y);
            if (!is_black(c) && c != qRgb(255, 255, 255)) return c;
          }
        return qRgb(0, 0, 0);
      };
      const QRgb left = pixel_in(15, 45);
      const QRgb right = pixel_in(75, 105);
      if (on) {
        EXPECT_EQ(left, qRgb(channel_of(0.2), channel_of(0.6), channel_of(0.4)));
      } else {
        EXPECT_EQ(left, qRgb(channel(palette[0].x), channel(palette[0].y), channel(palette[0].z)));
      }
      EXPECT_EQ(right, qRgb(channel(palette[1].x), channel(palette[1].y), channel(palette[1].z)));
    }
  }
}

// A see-through mesh is blended over what lies behind it even when it comes first in the list.
TEST(OpenGLView, SeeThroughModelColoursBlendOverOpaqueMeshesBehind) {
  Scene s;
  s.objects.append(coloured(upright_square(0, 2, 0), 1.0, 0.0, 0.0, 0.5));  // in front
  s.objects.append(coloured(upright_square(1, 3, 5), 0.0, 0.0, 1.0, 1.0));  // behind
  s.scene.compute_scene_box();
  s.scene.set_model_colours(true);
  // The scene, 3 wide and 1 high, fills 96 of the 120 columns: 32 pixels a unit from x = 0 at
  // column 12, its middle on row 20.
  auto view = framed_view(kFrontView, s.scene, 120, 40, kRenderDouble, kRenderBox);
  const QImage img = grab(*view);
  const QRgb over = img.pixel(60, 20);  // x = 1.5: red over blue
  EXPECT_NEAR(qRed(over), 128, 2);
  EXPECT_EQ(qGreen(over), 0);
  EXPECT_NEAR(qBlue(over), 128, 2);
  const QRgb alone = img.pixel(28, 20);  // x = 0.5: red over black
  EXPECT_NEAR(qRed(alone), 128, 2);
  EXPECT_EQ(qBlue(alone), 0);
  EXPECT_EQ(img.pixel(92, 20), qRgb(0, 0, 255));  // x = 2.5: blue alone
}

// The build reports its progress as it goes; stopped, it leaves the views empty until the
// next build.
TEST(OpenGLView, BuildReportsProgressAndAStoppedBuildLeavesTheViewsEmpty) {
  Mesh3d* grid = new Mesh3d(8, "grid");
  for (int j = 0; j < 150; ++j)
    for (int i = 0; i < 150; ++i) {
      grid->add_triangle({double(i), 0, double(j)}, {i + 1.0, 0, double(j)}, {i + 1.0, 0, j + 1.0});
      grid->add_triangle({double(i), 0, double(j)}, {i + 1.0, 0, j + 1.0}, {double(i), 0, j + 1.0});
    }
  grid->to_flat();
  grid->drop_tables();
  Scene s(grid);
  auto user = show_view(kUserView, s.scene, 60, 60);
  auto front = show_view(kFrontView, s.scene, 60, 60);
  std::vector<int> percents;
  EXPECT_EQ(user->build_model([&](int p) {
    percents.push_back(p);
    return true;
  }),
            1);
  ASSERT_GE(percents.size(), 3u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  EXPECT_LT(percents.front(), 50);
  user->share_lists_with(front.get());
  front->set_render_modes(kRenderDouble, kRenderBox);
  front->reset_view();
  ASSERT_GT(lit_pixels(grab(*front), front->rect()), 0);

  int asked = 0;
  EXPECT_EQ(user->build_model([&](int) { return ++asked < 2; }), 0);
  EXPECT_EQ(asked, 2) << "no report after the stop";
  EXPECT_EQ(user->has_model(), 0);
  EXPECT_EQ(front->has_model(), 0);
  EXPECT_EQ(lit_pixels(grab(*front), front->rect()), 0);
  EXPECT_EQ(user->build_model(), 1);
  EXPECT_GT(lit_pixels(grab(*front), front->rect()), 0);
}

// A wavy 260 x 260 grid upright before the User view (135,200 faces, 68,121 vertices: more
// than one build batch, window of faces and drawing chunk), its rows made bottom to top or top
// to bottom.
Mesh3d* large_wavy_grid(bool rows_downwards) {
  const int n = 260;
  Mesh3d* m = new Mesh3d(8, "large grid");
  auto p = [](int i, int j) {
    return Vec3d{double(i), 6.0 * std::sin(i * 0.15) * std::cos(j * 0.12), double(j)};
  };
  for (int row = 0; row < n; ++row) {
    const int j = rows_downwards ? n - 1 - row : row;
    for (int i = 0; i < n; ++i) {
      m->add_triangle(p(i, j), p(i + 1, j), p(i + 1, j + 1));
      m->add_triangle(p(i, j), p(i + 1, j + 1), p(i, j + 1));
    }
  }
  m->to_flat();
  m->drop_tables();
  return m;
}

// The build splits a large mesh into batches, windows and chunks at places that depend on the
// order of its faces; the lit picture must not: no face missing, no smoothed normal short of
// faces at a seam. The two orders sum the normals at a corner in different orders, so a
// channel may differ by a rounding step.
TEST(OpenGLView, LargeMeshLooksTheSameWhateverTheOrderOfItsFaces) {
  QImage pictures[2];
  for (int downwards = 0; downwards < 2; ++downwards) {
    Scene s(large_wavy_grid(downwards == 1));
    std::srand(11);
    auto view = framed_view(kUserView, s.scene, 160, 160, kRenderDouble, kRenderBox);
    pictures[downwards] = grab(*view);
  }
  const QImage& a = pictures[0];
  const QImage& b = pictures[1];
  ASSERT_EQ(a.size(), b.size());
  EXPECT_GT(lit_pixels(a, a.rect()), 160 * 160 / 4);
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  EXPECT_LE(worst, 2);
}
