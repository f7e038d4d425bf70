// The export run's two file choosers and the options dialog of the wire classes, with real
// windows on the offscreen platform.
#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>

#include "plugin_frame/options_dialog.h"
#include "plugin_frame/qt_test_support.h"
#include "plugins/rayinc_out/rayinc_controls.h"
#include "rayinc_export_support.h"
#include "support/choose_file.h"
#include "support/test_application.h"

namespace {

// Answers every file chooser that becomes the active modal window in turn: an answer names
// the file to accept, an empty answer cancels. Records each chooser's name filters.
class ChooserDriver {
 public:
  explicit ChooserDriver(std::vector<std::string> answers) : answers_(std::move(answers)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (chooser == nullptr || chooser == last_) return;
      last_ = chooser;
      filters.push_back(chooser->nameFilters().join(";;").toStdString());
      const std::size_t k = filters.size() - 1;
      if (k >= answers_.size() || answers_[k].empty()) {
        chooser->reject();
        return;
      }
      choose_file(chooser, answers_[k]);
    });
    timer_.start();
  }
  std::vector<std::string> filters;

 private:
  std::vector<std::string> answers_;
  QTimer timer_;
  QPointer<QFileDialog> last_;
};

class RayIncDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_application("test_rayinc_out_dialogs"); }
  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << library_.error();
    keep_plugin_loaded("rayinc_out.so");
    objects_.add(single_triangle("tri"));
    for (const std::string& owner : rayinc_owners()) {
      SettingsWriteString(owner.c_str(), "Specific Settings", "path", folder_.path().c_str());
      SettingsWriteString(owner.c_str(), "Specific Settings", "path2", folder_.path().c_str());
      SettingsWriteString(owner.c_str(), "Specific Settings", "file_name", "");
      SettingsWriteString(owner.c_str(), "Specific Settings", "file_name2", "");
      SettingsWriteInt(owner.c_str(), "Common Settings", "ld_mode", 1);
    }
  }
  void Export(int index, ExportMode mode) {
    MeshExporter* exporter = library_.NewExporter(rayinc_class_names()[index].c_str());
    ASSERT_NE(exporter, nullptr);
    exporter->Export(objects_.list(), mode, nullptr);
    exporter->DeleteThis();
  }

  PluginUnderTest library_{"rayinc_out.so"};
  TempFolder folder_;
  HostObjects objects_;
};

}  // namespace

TEST_F(RayIncDialogs, CancelledIncChooserWritesNothingAndShowsNoUdoChooser) {
  ChooserDriver driver({""});
  Export(0, EXPORT_ASK);
  EXPECT_EQ(driver.filters.size(), 1u);
  EXPECT_FALSE(file_exists(folder_.file("a.inc")));
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(RayIncDialogs, TwoChoosersNameTheIncAndTheUdoFile) {
  ChooserDriver driver({folder_.file("scene.inc"), folder_.file("wire.udo")});
  Export(1, EXPORT_ASK);
  ASSERT_EQ(driver.filters.size(), 2u);
  EXPECT_NE(driver.filters[0].find("PolyRay INC File"), std::string::npos);
  EXPECT_NE(driver.filters[1].find("Moray UDO File"), std::string::npos);
  EXPECT_EQ(read_file(folder_.file("scene.inc")).rfind("define tri object\n", 0), 0u);
  EXPECT_NE(
      read_file(folder_.file("wire.udo")).find("IncludeFile '" + folder_.file("scene.inc") + "'"),
      std::string::npos);
  std::string stored;
  SettingsReadText("plu_out", "Specific Settings", "file_name2", "", stored);
  EXPECT_EQ(stored, folder_.file("wire.udo"));
}

TEST_F(RayIncDialogs, CancelledUdoChooserWritesNothingInModeZero) {
  ChooserDriver driver({folder_.file("scene.inc"), ""});
  Export(4, EXPORT_ASK);
  EXPECT_EQ(driver.filters.size(), 2u);
  EXPECT_FALSE(file_exists(folder_.file("scene.inc")));
}

TEST_F(RayIncDialogs, WireRadiusOfZeroOrLessIsRefusedWithTheErrorBox) {
  SettingsWriteDouble("pvbwu_out", "Specific Settings", "radius", 0.25);
  MessageBoxCloser boxes;
  QString shown_after_refusal;
  OnModal<QDialog> dialog([&](QDialog* options) {
    auto* radius = qobject_cast<QLineEdit*>(find_control(options, kWireRadiusControl));
    auto* edge = qobject_cast<QLineEdit*>(find_control(options, kEdgeAngleControl));
    ASSERT_NE(radius, nullptr);
    ASSERT_NE(edge, nullptr);
    ASSERT_NE(find_control(options, OptionsDialog::kIdDosSecond),
              nullptr);  // the second template's radios
    ASSERT_TRUE(QTest::qWaitForWindowActive(options));
    radius->setFocus();
    radius->setText("0");
    edge->setFocus();  // the radius edit loses the focus
    QApplication::processEvents();
    shown_after_refusal = radius->text();
    radius->setFocus();
    radius->setText("-2");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(radius, &enter);  // refused: the dialog stays open
    QApplication::processEvents();
    EXPECT_TRUE(options->isVisible());
    radius->setText("0.5");
    options->accept();
  });
  MeshExporter* exporter = library_.NewExporter(rayinc_class_names()[3].c_str());
  exporter->Configure();
  exporter->DeleteThis();
  ASSERT_TRUE(dialog.ran());
  EXPECT_EQ(shown_after_refusal.toStdString(), "0.250");
  EXPECT_EQ(boxes.titles, (std::vector<std::string>{"Error", "Error"}));
  EXPECT_EQ(boxes.texts,
            (std::vector<std::string>{"Invalid Input Format!", "Invalid Input Format!"}));
  std::string stored;
  SettingsReadText("pvbwu_out", "Specific Settings", "radius", "", stored);
  EXPECT_EQ(stored, "0.500000");
}

TEST_F(RayIncDialogs, SurfaceClassesShowNoWireRadius) {
  bool has_radius = true, has_angles = false;
  OnModal<QDialog> dialog([&](QDialog* options) {
    has_radius = find_control(options, kWireRadiusControl) != nullptr;
    has_angles = find_control(options, kSmoothAngleControl) != nullptr &&
                 find_control(options, kEdgeAngleControl) != nullptr;
    options->reject();
  });
  MeshExporter* exporter = library_.NewExporter(rayinc_class_names()[0].c_str());
  exporter->Configure();
  exporter->DeleteThis();
  ASSERT_TRUE(dialog.ran());
  EXPECT_FALSE(has_radius);
  EXPECT_TRUE(has_angles);
}
