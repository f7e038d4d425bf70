// COpenGLWnd: one of the viewer's four OpenGL views (Top, Side, Front, User).
//
// The view draws the scene that the shared buffers and display lists hold (model_build.h) in
// one of seven render modes, with lighting in the User view only, and turns mouse drags into
// pan, zoom and rotation (view_navigation.h): left-button drags as the modifiers say,
// right-button drags zoom. The buffers and lists are built once per import in one view and shared
// by all: the program sets Qt::AA_ShareOpenGLContexts before it creates the QApplication, so every
// view's context is in one share group, with one name space for lists and buffers.
//
// Calling order on every import: ViewerScene::compute_scene_box; set_render_modes on each
// view; build_model on the User view; share_lists_with from the User view to the three
// others; reset_view on every view; redraw on every view.
#pragma once

#include <QOpenGLWidget>
#include <QPointer>
#include <cstdint>
#include <vector>

#include "meshlib/vec3d.h"
#include "viewer/model_build.h"
#include "viewer/render_modes.h"
#include "viewer/scene_box.h"
#include "viewer/view_navigation.h"

class COpenGLWnd : public QOpenGLWidget {
  Q_OBJECT

 public:
  // A view of kind view_kind (ViewKind) showing scene, which must outlive the view (or be
  // replaced with set_scene). Render mode 4 (Double), fast render mode 0 (Box), normals off.
  COpenGLWnd(int32_t view_kind, ViewerScene* scene, QWidget* parent = nullptr);
  ~COpenGLWnd() override;

  int32_t view_kind() const { return navigation_.view_kind(); }
  ViewerScene* scene() const { return scene_; }
  void set_scene(ViewerScene* scene) { scene_ = scene; }

  // Stores both modes (0 ... 6); no redraw.
  void set_render_modes(int32_t mode, int32_t fast_mode);
  int32_t render_mode() const { return render_mode_; }
  int32_t fast_render_mode() const { return fast_render_mode_; }

  // Builds the scene into the shared buffers and lists in this view's context. Before the
  // view's context exists (the view was never shown) the build runs when it is created.
  // progress hears how far the build is and may stop it (see build_model_lists); a stopped
  // build leaves the lists empty and this view without a model. Returns 0 when stopped.
  int build_model(const BuildProgress& progress = BuildProgress());
  // Lets other draw the lists this view built. Returns 0 when the two contexts do not share
  // lists (Qt::AA_ShareOpenGLContexts was not set before the QApplication).
  int share_lists_with(COpenGLWnd* other);
  // 1 once this view, or the view it shares with, has built the lists.
  int has_model() const;
  // Palette colour of each object-list position at the last build of this view.
  std::vector<Vec3d> object_colours() const;
  // The colour each position is drawn in (palette or model colour) at the last build.
  const std::vector<ObjectColour>& drawn_colours() const { return colours_; }

  // Camera reset and fit to the scene box, then redraw.
  void reset_view();
  // Schedules a repaint.
  void redraw();
  // Sets or clears the fast drawing (the fast render mode, no normal needles) and redraws.
  void set_fast(int on);
  int fast() const { return navigation_.fast(); }
  // Flips the normal needles and redraws.
  void toggle_normals();
  int show_normals() const { return show_normals_; }

  // The light list lives in the scene. A light changed after the build reaches the lists
  // through this request: the next draw recompiles that light's list (index 0 ... 7; others
  // are ignored) and redraws. Two different lights requested before a draw recompile all.
  void request_light_update(int32_t index);
  // The pending light index (kMaxLights: all) and request flag; both -1 when idle.
  int32_t light_index() const { return light_index_; }
  int32_t light_request() const { return light_request_; }

  // The view's keys: "1" ... "6" set render mode 0 ... 5, "7" mode 6 (each redraws and
  // emits render_mode_changed); Space emits maximize_requested; R resets the view; N toggles
  // the normal needles. Returns 1 when the key acted. The frame calls it for the view under
  // the mouse pointer; the view calls it itself for keys it receives.
  int handle_key(int qt_key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

  // Navigation state (modelview, zoom, pan, angles, drag state).
  const ViewNavigation& navigation() const { return navigation_; }
  ViewNavigation& navigation() { return navigation_; }

 signals:
  void render_mode_changed(int view_kind, int mode);
  void maximize_requested(COpenGLWnd* view);

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int run_build(const BuildProgress& progress);
  void apply_light_request();
  void show_cursor(int32_t cursor);
  void load_projection();
  // The modifier bits of a drag with the current drag button.
  int32_t drag_bits(Qt::KeyboardModifiers modifiers) const;

  ViewerScene* scene_;
  ViewNavigation navigation_;
  int32_t cull_;
  int32_t depth_;
  int32_t polygon_mode_;
  int32_t render_mode_;
  int32_t fast_render_mode_;
  int32_t show_normals_;
  int32_t light_index_;
  int32_t light_request_;
  int32_t built_;
  int32_t build_pending_;
  int wheel_rest_;  // wheel angle not yet used up by whole notches
  Qt::MouseButton drag_button_ = Qt::NoButton;
  QPointer<COpenGLWnd> lists_source_;
  std::vector<ObjectColour> colours_;
};
