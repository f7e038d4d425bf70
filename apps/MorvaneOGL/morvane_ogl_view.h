#pragma once

#include <cstdint>

#include <QPointer>
#include <QString>
#include <QWidget>

class COpenGLWnd;
class HostSettings;
class QMdiArea;
class ViewerScene;

// Render mode and fast render mode of one view.
struct ViewModes {
  int32_t mode;
  int32_t fast;
};

// The frame's view: the four OpenGL views, Top, Side, Front and User, each in one quarter of
// the view's client area. With view titles the four are sub-windows with a title bar, a
// system menu and minimise and maximise buttons; without they are plain bordered windows.
//
// Top View stays top-left, Side View top-right, Front View bottom-left and User View
// bottom-right, on creation and on every resize: Front View below Top View shares its
// horizontal axis (world X) with it, so the two read together as a drawing.
//
// The view keeps the render modes of the four views as pairs in view-type order (top, side,
// front, user), copied from the host settings on creation and written back on destruction.
class CMyMorvaneOGLView : public QWidget {
  Q_OBJECT
 public:
  CMyMorvaneOGLView(HostSettings& settings, ViewerScene& scene, QWidget* parent = nullptr);
  ~CMyMorvaneOGLView() override;

  ViewModes Pair(int view_kind) const;
  void SetPair(int view_kind, ViewModes pair);
  int ViewTitle() const { return view_title_; }
  void SetViewTitle(int flag) { view_title_ = flag != 0 ? 1 : 0; }
  // Whether meshes that carry a colour are drawn in it; stored with the view values.
  int ModelColours() const { return model_colours_; }
  void SetModelColours(int flag) { model_colours_ = flag != 0 ? 1 : 0; }

  static QString ViewName(int view_kind);

  bool ViewsExist() const;
  // The OpenGL view of a view type, or null when the views do not exist.
  COpenGLWnd* View(int view_kind) const;
  // The window that frames it: its sub-window, or its bordered frame.
  QWidget* ViewWindow(int view_kind) const;
  // The view under a point given in global coordinates, or null.
  COpenGLWnd* ViewAt(const QPoint& global) const;

  // Creates the four views in their quarters (the existing ones are destroyed first).
  void CreateViews();
  void DestroyViews();

  // Maximises the view inside the view area, or restores it to its quarter.
  void ToggleMaximize(COpenGLWnd* view);
  bool IsMaximized(int view_kind) const;

  // The quarter of a view type for the current size of the client area.
  QRect Quarter(int view_kind) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSize ClientSize() const;
  void PlaceViews();

  HostSettings& settings_;
  ViewerScene& scene_;
  ViewModes pairs_[4];
  int view_title_;
  int model_colours_ = 0;
  bool destroying_ = false;
  QMdiArea* area_ = nullptr;
  QPointer<QWidget> windows_[4];
  QPointer<COpenGLWnd> views_[4];
  int maximized_ = -1;  // plain windows: the maximised view type, or -1
};
