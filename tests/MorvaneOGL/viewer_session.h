// What every viewer test needs: a fresh settings store, the program's state object with its
// frame, and a driver for the modal dialogs the commands open (message boxes, the import and
// export dialogs, the plug-ins' file choosers).
#pragma once

#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "apps/MorvaneOGL/import_dialog.h"
#include "apps/MorvaneOGL/main_frame.h"
#include "apps/MorvaneOGL/morvane_ogl_app.h"
#include "apps/MorvaneOGL/morvane_ogl_view.h"
#include "host/host_commands.h"
#include "host/host_settings.h"
#include "host/ui/single_instance.h"
#include "settings/settings_store.h"
#include "support/choose_file.h"
#include "viewer/opengl_wnd.h"

// A message box as the user saw it.
struct SeenMessage {
  std::string title;
  std::string text;
  bool operator==(const SeenMessage& other) const {
    return title == other.title && text == other.text;
  }
};

inline void PrintTo(const SeenMessage& m, std::ostream* out) {
  *out << "{\"" << m.title << "\", \"" << m.text << "\"}";
}

// Drives the modal windows that open while an action runs. Steps run in order: each is
// offered the active modal window every few milliseconds until it says it is done. Message
// boxes that no step takes are recorded and closed. A window still open after the time limit
// is closed, so that a broken step fails the test instead of hanging it.
class ModalDriver {
 public:
  using Step = std::function<bool(QWidget* modal)>;

  ModalDriver& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }

  void Run(const std::function<void()>& action) {
    QTimer timer;
    timer.setInterval(25);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&timer, &QTimer::timeout, [this, &clock]() { Tick(clock); });
    timer.start();
    action();
    timer.stop();
  }

  const std::vector<SeenMessage>& Messages() const { return messages_; }
  bool AllStepsDone() const { return next_ == steps_.size(); }
  bool TimedOut() const { return timed_out_; }

  // Clicks a button once control is back in the dialog's own event loop.
  static void Click(QAbstractButton* button) {
    QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
  }
  static QPushButton* Button(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
      if (button->text() == text) return button;
    return nullptr;
  }
  // A step that picks file in a plug-in's file chooser, once the chooser has settled (it
  // lists its folder in the background and may change its selection meanwhile).
  static Step ChooseFile(const QString& file) {
    return [file](QWidget* modal) {
      auto* chooser = qobject_cast<QFileDialog*>(modal);
      if (chooser == nullptr || !Settled(chooser)) return false;
      const bool offered = put_choice(chooser, file);
      if (getenv("VIEWER_TEST_TRACE") != nullptr)
        fprintf(stderr, "chooser in %s selects %s\n",
                chooser->directory().path().toLocal8Bit().constData(),
                chooser->selectedFiles().join(",").toLocal8Bit().constData());
      if (!offered) return false;
      QMetaObject::invokeMethod(chooser, "accept", Qt::DirectConnection);
      return true;
    };
  }
  // True once a window has been seen for a while.
  static bool Settled(QWidget* window) {
    const QVariant seen = window->property("testSeenAt");
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!seen.isValid()) {
      window->setProperty("testSeenAt", now);
      return false;
    }
    return now - seen.toLongLong() > 250;
  }
  // A step that clicks button in the import dialog; with once_read, only once an import has
  // shown what it read.
  static Step ClickInImportDialog(const QString& button, bool once_read = false) {
    return [button, once_read](QWidget* modal) {
      auto* dialog = qobject_cast<ImportDialog*>(modal);
      if (dialog == nullptr || (once_read && dialog->Count("Mesh") == ":0")) return false;
      Click(Button(dialog, button));
      return true;
    };
  }
  static Step CancelFileChooser() {
    return [](QWidget* modal) {
      auto* chooser = qobject_cast<QFileDialog*>(modal);
      if (chooser == nullptr) return false;
      QMetaObject::invokeMethod(chooser, "reject", Qt::QueuedConnection);
      return true;
    };
  }

 private:
  void Tick(const QElapsedTimer& clock) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) modal = qobject_cast<QDialog*>(QApplication::activeWindow());
    if (getenv("VIEWER_TEST_TRACE") != nullptr && modal != nullptr)
      fprintf(stderr, "modal %s '%s'\n", modal->metaObject()->className(),
              modal->windowTitle().toLocal8Bit().constData());
    // A window just handled gets a moment to act on what was done to it.
    if (modal == nullptr || (modal == last_handled_ && clock.elapsed() - handled_at_ < 60)) return;
    if (next_ < steps_.size() && steps_[next_](modal)) {
      ++next_;
      last_handled_ = modal;
      handled_at_ = clock.elapsed();
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      messages_.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
      last_handled_ = box;
      handled_at_ = clock.elapsed();
      QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
      return;
    }
    if (clock.elapsed() > 20000 && qobject_cast<QDialog*>(modal) != nullptr) {
      timed_out_ = true;
      QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
    }
  }

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  QWidget* last_handled_ = nullptr;
  qint64 handled_at_ = 0;
  std::vector<SeenMessage> messages_;
  bool timed_out_ = false;
};

inline std::string SourcePath(const char* relative) {
  return std::string(MORVANE_SOURCE_DIR) + "/" + relative;
}

// One viewer run per test, with a settings store of its own whose plug-in path names the
// built plug-ins (or another folder).
class ViewerTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(store_.isValid());
    setenv("XDG_CONFIG_HOME", store_.path().toLocal8Bit().constData(), 1);
    SetPluginPath(MORVANE_PLUGIN_DIR);
    // The DirectX classes preselected, as a user who last used them finds them.
    SettingsWriteString("MorvaneOGL", "Settings", "last_import_class", "XFILE ASCII (*.x)");
    SettingsWriteString("MorvaneOGL", "Settings", "last_export_class", "Direct 3D (*.x)");
    if (getenv("VIEWER_TEST_TRACE") != nullptr) {
      SettingsWriteInt("xfile_in", "Common Settings", "verbose_mode", 1);
      SettingsWriteString("xfile_in", "Common Settings", "logfilename", "/tmp/ogl-xfile_in.log");
    }
    original_directory_ = QDir::currentPath();
  }

  void TearDown() override {
    Stop();
    QDir::setCurrent(original_directory_);
  }

  void SetPluginPath(const std::string& path) {
    SettingsWriteString("MorvaneOGL", "Settings", "plugin_path", path.c_str());
  }

  // Starts the program (message boxes of the start are recorded and closed).
  std::vector<SeenMessage> Start(const QByteArray& file = QByteArray(),
                                 SingleInstance* instance = nullptr) {
    app_ = std::make_unique<CMyMorvaneOGLApp>(
        new HostSettings(HostProgram::Viewer, "MorvaneOGL", MORVANE_PLUGIN_DIR));
    Frame()->resize(800, 640);
    ModalDriver driver;
    driver.Run([&]() { app_->Start(file, instance); });
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Frame()));
    return driver.Messages();
  }

  // Ends the program as closing it does: everything is written to the store.
  void Stop() { app_.reset(); }

  std::vector<SeenMessage> Restart(const QByteArray& file = QByteArray()) {
    Stop();
    return Start(file);
  }

  // Runs a command and returns the message boxes it showed.
  std::vector<SeenMessage> Messages(const std::function<void()>& action) {
    ModalDriver driver;
    driver.Run(action);
    return driver.Messages();
  }

  // Imports a file by name, as a dropped or handed-over file is.
  std::vector<SeenMessage> ImportNamed(const std::string& path) {
    auto seen = Messages([&]() { app_->ImportNamed(QByteArray(path.c_str())); });
    QTest::qWait(100);
    return seen;
  }

  // The interactive road: the import dialog, the class's file chooser, "&OK".
  std::vector<SeenMessage> ImportWithDialog(const std::string& path) {
    ModalDriver driver;
    driver
        .Then([](QWidget* modal) {
          if (modal->windowTitle() != "Import") return false;
          ModalDriver::Click(ModalDriver::Button(modal, "&Import"));
          return true;
        })
        .Then(ModalDriver::ChooseFile(QString::fromLocal8Bit(path.c_str())))
        .Then(ModalDriver::ClickInImportDialog("&OK", true));
    driver.Run([&]() { app_->OnImport(); });
    EXPECT_TRUE(driver.AllStepsDone());
    EXPECT_FALSE(driver.TimedOut());
    QTest::qWait(100);
    return driver.Messages();
  }

  CMainFrame* Frame() const { return app_->Frame(); }
  CMyMorvaneOGLView* View() const { return app_->View(); }
  HostCommands& Commands() const { return *app_->Commands(); }
  int StoredInt(const char* name, int missing = -99) const {
    int value = missing;
    SettingsReadInt("MorvaneOGL", "Settings", name, missing, &value);
    return value;
  }

  QTemporaryDir store_;
  QTemporaryDir work_;
  QString original_directory_;
  std::unique_ptr<CMyMorvaneOGLApp> app_;
};
