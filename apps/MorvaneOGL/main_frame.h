#pragma once

#include <QKeySequence>
#include <QMainWindow>

class CMyMorvaneOGLDoc;
class CMyMorvaneOGLView;
class QAction;
class QLabel;

// The viewer's frame window: the menus with their keys and status prompts, the status line
// (messages, "M:%d", "F:%d", "V:%d"), the view with the four OpenGL views, dropped files
// (the first of them is imported) and the keys that act on the view under the mouse pointer.
// It runs no command itself: the menu items, F1 and dropped files become signals, and the
// status line and the close button show and obey what the program tells them.
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(CMyMorvaneOGLView* view);
  ~CMainFrame() override;

  CMyMorvaneOGLView* View() const { return view_; }
  CMyMorvaneOGLDoc* Document() const { return document_; }

  // The menu item with that text ("&Import (F3)...").
  QAction* Action(const QString& text) const;
  // The key of the menu item with that text; empty when it has none.
  QKeySequence Key(const QString& text) const;

  void SetMessage(const QString& text);
  QString Message() const;
  // Panes 1 to 3.
  void SetCounters(int meshes, int faces, int vertices);
  QLabel* Pane(int index) const;
  // While busy (a command runs a plug-in that uses the object list) the frame stays open.
  void SetBusy(bool busy) { busy_ = busy; }

  // The keys of the views (1 to 7, Space, R, N) for the view under global; false when they
  // did nothing (no view there, another key).
  bool ViewKey(int key, Qt::KeyboardModifiers modifiers, const QPoint& global);

 signals:
  void ImportRequested();
  void ImportLastRequested();
  void ExportRequested();
  void StatisticRequested();
  void OptionsRequested();
  void LightSetupRequested();
  void ViewOptionsRequested();
  void HelpRequested();
  void OpenGLInfoRequested();
  void AboutRequested();
  // The first file of a drop, once the drop has finished.
  void FileDropped(const QByteArray& file);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void AddKey(QAction* action, const QKeySequence& key);
  QAction* AddItem(QMenu* menu, const QString& text, const QKeySequence& key, const QString& prompt,
                   void (CMainFrame::*request)());

  CMyMorvaneOGLDoc* document_;
  CMyMorvaneOGLView* view_;
  QLabel* panes_[4];
  QString message_;
  bool busy_ = false;
};
