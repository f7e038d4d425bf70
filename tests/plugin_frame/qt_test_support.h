// A QApplication for the dialog tests and a helper that drives modal windows: Qt's modal
// dialogs and message boxes run their own event loop, so the test acts on them from timers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

// Closes every message box that becomes the active modal window, recording its title and
// text, for as long as it lives.
class MessageBoxCloser {
 public:
  MessageBoxCloser() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box == last_) return;
      last_ = box;
      titles.push_back(box->windowTitle().toStdString());
      texts.push_back(box->text().toStdString());
      box->done(QMessageBox::Ok);
    });
    timer_.start();
  }
  std::vector<std::string> titles;
  std::vector<std::string> texts;

 private:
  QTimer timer_;
  QPointer<QMessageBox> last_;
};

// Runs action once on the first active modal widget of type T (not a message box) that
// appears after construction; gives up after about five seconds. The type is matched by class
// name: a plug-in library carries its own copy of the frame's classes, and so of their
// meta-objects, which qobject_cast would tell apart. A dialog that the action meant to close
// but that is still the active modal window five seconds later fails the test and is
// cancelled, so that the test ends instead of waiting on it.
template <class T>
class OnModal {
 public:
  explicit OnModal(std::function<void(T*)> action) : action_(std::move(action)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (++ticks_ > 500) {
        timer_.stop();
        LeaveNoDialogOpen();
        return;
      }
      if (done_) {
        if (acted_on_ == nullptr || QApplication::activeModalWidget() != acted_on_) timer_.stop();
        return;
      }
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || !modal->inherits(T::staticMetaObject.className())) return;
      T* widget = static_cast<T*>(modal);
      done_ = true;
      ticks_ = 0;
      acted_on_ = modal;
      action_(widget);
    });
    timer_.start();
  }
  bool ran() const { return done_; }

 private:
  void LeaveNoDialogOpen() {
    auto* dialog = qobject_cast<QDialog*>(acted_on_.data());
    if (dialog == nullptr || QApplication::activeModalWidget() != dialog) return;
    ADD_FAILURE() << dialog->metaObject()->className() << " \""
                  << dialog->windowTitle().toStdString()
                  << "\" stayed open after the test acted on it";
    dialog->reject();
  }

  std::function<void(T*)> action_;
  QTimer timer_;
  QPointer<QWidget> acted_on_;
  bool done_ = false;
  int ticks_ = 0;
};
