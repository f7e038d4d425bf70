// Real views on a private X server with Mesa's software OpenGL: the pixels each render mode
// draws, lights, list sharing, framing, and the mouse and keys of a view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

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
