#include "host/ui/window_fit.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// Room a title bar takes besides its text: the window icon and three buttons with spacing.
constexpr int kTitleBarExtras = 120;
// What the window manager's frame adds around a window before it is known: borders and the
// title bar.
constexpr int kFrameSide = 4;
constexpr int kFrameTop = 32;

bool belongs_to_a_window(QWidget* window) {
  if (window->parentWidget() != nullptr) return true;
  QWindow* handle = window->windowHandle();
  return handle != nullptr && handle->transientParent() != nullptr;
}

}  // namespace

int WindowFit::TitleWidth(const QString& title) {
  // Title bars commonly show their text in bold.
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtras;
}

void WindowFit::Fit(QWidget* window) {
  QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect free =
      screen->availableGeometry().adjusted(kFrameSide, kFrameTop, -kFrameSide, -kFrameSide);
  QRect shape = window->geometry();
  // Message boxes make room for their titles themselves.
  if (qobject_cast<QDialog*>(window) != nullptr && qobject_cast<QMessageBox*>(window) == nullptr &&
      belongs_to_a_window(window)) {
    const int wanted = std::min(TitleWidth(window->windowTitle()), free.width());
    if (shape.width() < wanted) {
      // Wider on both sides: a dialog placed over its window stays centred on it.
      shape.adjust(-(wanted - shape.width()) / 2, 0, 0, 0);
      shape.setWidth(wanted);
    }
  }
  shape.setWidth(std::max(std::min(shape.width(), free.width()), window->minimumWidth()));
  shape.setHeight(std::max(std::min(shape.height(), free.height()), window->minimumHeight()));
  if (shape.size() != window->size()) window->resize(shape.size());
  // A window the program placed stays on the screen; one it did not is the window manager's
  // to place.
  if (window->testAttribute(Qt::WA_Moved) || qobject_cast<QDialog*>(window) != nullptr) {
    shape.moveLeft(std::max(free.left(), std::min(shape.left(), free.right() + 1 - shape.width())));
    shape.moveTop(std::max(free.top(), std::min(shape.top(), free.bottom() + 1 - shape.height())));
    if (shape.topLeft() != window->pos()) window->move(shape.topLeft());
  }
}

bool WindowFit::eventFilter(QObject* watched, QEvent* event) {
  // A window coming back from its icon keeps where the user put it.
  if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::WindowType type = widget->windowType();
    if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog)) Fit(widget);
  }
  return QObject::eventFilter(watched, event);
}

void InstallWindowFit(QApplication& app) { app.installEventFilter(new WindowFit(&app)); }
