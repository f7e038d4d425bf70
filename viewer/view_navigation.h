// ViewNavigation: the camera and navigation arithmetic of one viewer view, without a window.
//
// Each of the four views is one fixed kind: Top, Side and Front look along the axes through
// an orthographic projection, User is a perspective view. The camera lives in the projection
// (set_projection, camera_eye); the modelview holds only the navigation (reset, fit, pan,
// zoom, rotation). Every navigation step post-multiplies the modelview the way the OpenGL
// matrix calls do (the last step applied acts first on a vertex), so the state of a view is
// its modelview plus the fields below. COpenGLWnd loads modelview() before it draws.
//
// The modelview is kept as a Mat4d of row vectors (translation in row 3). Its sixteen doubles
// in memory order are exactly the column-major array glLoadMatrixd expects.
#pragma once

#include <cstdint>

#include "meshlib/mat4d.h"
#include "meshlib/vec3d.h"
#include "viewer/scene_box.h"

enum ViewKind : int32_t { kTopView = 0, kSideView = 1, kFrontView = 2, kUserView = 3 };

// Modifier bits as a drag reads them (Ctrl and Alt make the drag mode, Shift is kept apart).
// kZoomButton marks a drag with the right button: it zooms as Alt does with the left one,
// whatever keys are held, because many window managers take Alt and drag for themselves.
enum DragModifier : int32_t { kModShift = 1, kModCtrl = 2, kModAlt = 4, kZoomButton = 8 };

// The cursor a drag shows; kNoCursor means the drag does nothing (Ctrl in Top, Side, Front).
enum DragCursor : int32_t { kNoCursor = 0, kPanCursor = 1, kRotateCursor = 2, kZoomCursor = 3 };

// The eye of a view's camera; it looks at the origin with +Z up.
void camera_eye(int32_t view_kind, Vec3d& eye);

class ViewNavigation {
 public:
  // A view of the given kind (0 Top, 1 Side, 2 Front, 3 User; other values count as User)
  // with an identity modelview, zoom 1, and the projection of a 1 x 1 viewport.
  explicit ViewNavigation(int32_t view_kind);

  int32_t view_kind() const { return view_kind_; }
  int is_orthographic() const { return view_kind_ != kUserView; }

  // Stores the viewport width, aspect and orthographic extents of a w x h viewport. Returns 0
  // and changes nothing when both are 0; a zero or negative extent counts as 1 pixel. The
  // navigation (modelview, zoom, angles, pan) survives.
  int set_projection(int w, int h);

  // Modelview = identity, zoom 1, angles and pan 0, then the fit: the scene box fills 80 % of
  // the limiting screen direction and its centre moves to the origin. A direction in which the
  // box has no extent does not limit; a box without extent in both directions of the view
  // (a single point, an empty scene) is fitted as if it measured 1 unit. In the User view
  // the box's depth counts too: its nearer corners look larger, so the fit is the smaller of
  // the flat fit and the one that keeps every corner within 80 % of the field of view.
  void reset(const SceneBox& box);

  // The fit factor of reset for this view and box.
  double fit_factor(const SceneBox& box) const;
  // 0.8 * min(sx, sy) of the box's two extents across the view, as an orthographic view
  // fits it.
  double flat_fit_factor(const SceneBox& box) const;
  // The largest factor that shows every corner of the box, centred, within 80 % of the User
  // view's perspective field, its nearest face at least a tenth of the camera distance away;
  // HUGE_VAL when nothing limits.
  double perspective_fit_factor(const SceneBox& box) const;

  // Post-multiplies T(-pan) S(f) T(pan); zoom *= f.
  void scale_about_pan(double f);

  // World offsets (u, v) along the screen axes of the pixel (px, py), counted from the
  // window's top-left corner, for the current zoom (orthographic views).
  void screen_to_world(double px, double py, double& u, double& v) const;

  // Moves the world point under pixel (px, py) to the screen centre (direction -1), or back
  // from the centre to that pixel at the current zoom (direction +1). The translation is
  // added to pan. Orthographic views only; nothing in the User view. A move to a pixel
  // followed by a move back from it returns to the same place.
  void shift_to_point(double px, double py, int direction);

  // Zoom by f about pixel (px, py): the world point under it stays under it in the
  // orthographic views; the User view scales about pan alone.
  void zoom_about(double f, double px, double py);

  // Pan by the pixel deltas (dx, dy) since the last move. shift: in the User view, vertical
  // moves change the height instead of the ground-plane position.
  void pan_by(double dx, double dy, int shift);

  // One rotation step of the User view for a move by (dx, dy) pixels: a horizontal step when
  // dx != 0 (spin about the vertical axis), then a vertical step when dy != 0; 1 degree each,
  // 5 with shift, whatever the distance. Nothing in the orthographic views.
  void rotate_step(int dx, int dy, int shift);

  // ---- Mouse drags ------------------------------------------------------------------------
  // Left button down at (x, y) with the modifier bits: starts the drag and returns the cursor
  // to show. A drag with a cursor sets fast(); one without changes nothing else.
  int32_t button_down(int x, int y, int32_t modifiers);
  // Mouse move to (x, y). With the left button held: re-reads the modifiers, then pans
  // (no Ctrl/Alt), rotates (Ctrl, User view) or zooms by exactly 1.1 per event (Alt, or
  // kZoomButton with any keys; in when the mouse moved up, out when it moved down), about the
  // start point. Returns the cursor
  // of the drag (kNoCursor when nothing acts). Without the button only the last point moves.
  int32_t mouse_move(int x, int y, int left_held, int32_t modifiers);
  // Ends the drag; fast() is cleared.
  void button_up();
  // Sets or clears the fast drawing flag outside a drag.
  void set_fast(int on) { fast_ = on ? 1 : 0; }
  // The cursor a drag with these modifier bits shows in this view.
  int32_t cursor_for(int32_t modifiers) const;

  // ---- State ------------------------------------------------------------------------------
  const Mat4d& modelview() const { return modelview_; }
  // The modelview's sixteen doubles in glLoadMatrixd order.
  const double* modelview_gl() const { return &modelview_.m[0][0]; }

  int32_t dragging() const { return dragging_; }
  int32_t fast() const { return fast_; }
  double viewport_width() const { return viewport_width_; }
  double aspect() const { return aspect_; }
  double ortho_width() const { return ortho_width_; }
  double ortho_left() const { return ortho_left_; }
  double ortho_top() const { return ortho_top_; }
  double zoom() const { return zoom_; }
  double angle_x() const { return angle_x_; }
  double angle_y() const { return angle_y_; }
  double angle_z() const { return angle_z_; }
  const Vec3d& pan() const { return pan_; }
  int32_t drag_mode() const { return drag_mode_; }
  int32_t shift() const { return shift_; }
  int start_x() const { return start_x_; }
  int start_y() const { return start_y_; }
  int last_x() const { return last_x_; }
  int last_y() const { return last_y_; }

 private:
  // modelview = step applied to vertices first, then the old modelview.
  void post_multiply(const Mat4d& step);
  void post_translate(double x, double y, double z);
  void read_modifiers(int32_t modifiers);
  // Translation along the view's screen axes u and v, in world units.
  void translate_screen(double u, double v);

  int32_t view_kind_;
  int32_t dragging_;
  int32_t fast_;
  double viewport_width_;
  double aspect_;
  double ortho_width_;
  double ortho_left_;
  double ortho_top_;
  double zoom_;
  double angle_x_;
  double angle_y_;
  double angle_z_;
  Vec3d pan_;
  int start_x_;
  int start_y_;
  int last_x_;
  int last_y_;
  int32_t drag_mode_;
  int32_t shift_;
  Mat4d modelview_;
};
