// The scene class's options dialog: its own fields beside the common ones, values kept in the
// range a camera can use, the ground plane check box stored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "plugin_frame/options_dialog.h"
#include "plugin_frame/qt_test_support.h"
#include "rayinc_out/rayinc_export_support.h"
#include "support/test_application.h"

namespace {

const char kOwner[] = "povscene_out";

class PovSceneDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_application("test_povscene_out_dialog"); }
  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << library_.error();
    keep_plugin_loaded("povscene_out.so");
  }
  std::string Stored(const char* name) {
    std::string text;
    SettingsReadText(kOwner, "Specific Settings", name, "", text);
    return text;
  }

  PluginUnderTest library_{"povscene_out.so"};
};

}  // namespace

TEST_F(PovSceneDialog, ViewFieldsAndGroundPlaneAreStoredInRange) {
  std::string title;
  OnModal<QDialog> dialog([&](QDialog* options) {
    title = options->windowTitle().toStdString();
    // Line delimiter radios of the export template, then the class's own fields.
    ASSERT_NE(find_control(options, 1035), nullptr);
    const int fields[] = {1032, 1041, 1042, 1043, 1044};
    const char* typed[] = {"45", "-60", "120", "0", "1.5"};
    for (int i = 0; i < 5; ++i) {
      auto* edit = qobject_cast<QLineEdit*>(find_control(options, fields[i]));
      ASSERT_NE(edit, nullptr) << fields[i];
      edit->setText(typed[i]);
    }
    auto* ground = qobject_cast<QCheckBox*>(find_control(options, 1045));
    ASSERT_NE(ground, nullptr);
    EXPECT_FALSE(ground->isChecked()) << "no ground plane by default";
    ground->setChecked(true);
    options->accept();
  });
  MeshExporter* exporter = library_.NewExporter("POV-Ray 3.7 Scene (*.pov)");
  ASSERT_NE(exporter, nullptr);
  exporter->Configure();
  exporter->DeleteThis();
  ASSERT_TRUE(dialog.ran());
  EXPECT_EQ(title, "POV Scene Configuration");
  EXPECT_EQ(Stored("smooth_angle"), "45.000000");
  EXPECT_EQ(Stored("azimuth"), "-60.000000");
  EXPECT_EQ(Stored("elevation"), "89.000000") << "a camera cannot look past straight down";
  EXPECT_EQ(Stored("field_of_view"), "1.000000");
  EXPECT_EQ(Stored("aspect_ratio"), "1.500000");
  EXPECT_EQ(Stored("ground_plane"), "1");
}

TEST_F(PovSceneDialog, CancelKeepsTheStoredView) {
  SettingsWriteDouble(kOwner, "Specific Settings", "azimuth", 12.5);
  OnModal<QDialog> dialog([&](QDialog* options) {
    auto* azimuth = qobject_cast<QLineEdit*>(find_control(options, 1041));
    ASSERT_NE(azimuth, nullptr);
    EXPECT_EQ(azimuth->text().toStdString(), "12.500");
    azimuth->setText("99");
    options->reject();
  });
  MeshExporter* exporter = library_.NewExporter("POV-Ray 3.7 Scene (*.pov)");
  ASSERT_NE(exporter, nullptr);
  exporter->Configure();
  exporter->DeleteThis();
  ASSERT_TRUE(dialog.ran());
  EXPECT_EQ(Stored("azimuth"), "12.500000");
}
