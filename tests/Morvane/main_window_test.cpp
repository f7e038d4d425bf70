// The converter's main window as a desktop user meets it: Escape, files handed over while a
// dialog is open, and dialogs that show their titles, tool tips and focus properly.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "apps/Morvane/morvane_dialog.h"
#include "host/host_commands.h"
#include "host/plugin_summary.h"
#include "host/ui/change_name_dialog.h"
#include "host/ui/detail_dialog.h"
#include "host/ui/host_options_dialog.h"
#include "host/ui/plugin_info_dialog.h"
#include "host/ui/statistics_dialog.h"
#include "host/ui/window_fit.h"
#include "meshlib/mesh3d.h"
#include "support/temp_folder.h"
#include "support/test_application.h"

namespace {

const char kTriangle[] =
    "xof 0302txt 0064\nMesh %s {\n 3;\n 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n"
    " 1;\n 3;0,1,2;;\n}\n";

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test_application("test_morvane");
    // As the program does at its start.
    static bool fitted = false;
    if (!fitted) InstallWindowFit(*qApp);
    fitted = true;
  }
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    for (const char* mesh : {"first", "second"}) {
      char text[256];
      std::snprintf(text, sizeof text, kTriangle, mesh);
      std::ofstream(folder + "/" + mesh + ".x") << text;
    }
  }
  QByteArray File(const char* name) const { return QByteArray((folder + "/" + name).c_str()); }
  static const char* MeshName(MorvaneDialog& dialog) {
    return static_cast<Mesh3d*>(dialog.Commands()->ImportedObjects().get(0))->name();
  }

  TempFolder temp_{"morvane_window_test"};
  const std::string folder = temp_.path();
};

}  // namespace

TEST_F(MainWindowTest, EscapeKeepsTheWindowAndItsMeshesQuitAndCloseButtonEndIt) {
  MorvaneDialog dialog(File("first.x"), nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  QTest::keyClick(dialog.Control(MorvaneDialog::kImportList), Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.Commands()->MeshCount(), 1);

  static_cast<QPushButton*>(dialog.Control(MorvaneDialog::kQuit))->click();
  EXPECT_FALSE(dialog.isVisible()) << "\"&Quit\" ends the program";

  MorvaneDialog other(QByteArray(), nullptr);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  EXPECT_TRUE(other.close()) << "the window's close button ends it";
  EXPECT_FALSE(other.isVisible());
}

TEST_F(MainWindowTest, FileHandedOverDuringADialogIsImportedWhenItCloses) {
  MorvaneDialog dialog(File("first.x"), nullptr);
  dialog.show();
  StatisticsDialog statistics(dialog.Commands()->ImportedObjects(), false, &dialog);
  std::string during;
  int meshes_during = -1;
  QTimer::singleShot(0, [&]() {
    dialog.Activate(File("second.x"));
    QTimer::singleShot(300, [&]() {
      during = MeshName(dialog);
      meshes_during = dialog.Commands()->MeshCount();
      statistics.accept();
    });
  });
  statistics.exec();
  EXPECT_EQ(during, "first") << "the meshes the dialog lists stay while it is open";
  EXPECT_EQ(meshes_during, 1);
  EXPECT_TRUE(QTest::qWaitFor([&]() { return std::string(MeshName(dialog)) == "second"; }, 3000));
  EXPECT_EQ(dialog.windowTitle(), "Morvane V 3.5 second.x");
}

TEST_F(MainWindowTest, DialogsAreAtLeastAsWideAsTheirTitles) {
  MorvaneDialog dialog(File("first.x"), nullptr);
  dialog.show();
  auto* mesh = static_cast<Mesh3d*>(dialog.Commands()->ImportedObjects().get(0));
  StatisticsDialog statistics(dialog.Commands()->ImportedObjects(), false, &dialog);
  DetailDialog detail(*mesh, false, &dialog);
  HostOptionsDialog options(dialog.Settings(), false, &dialog);
  PluginInfoDialog info(PluginSummaryLines(dialog.Plugins()), &dialog);
  ChangeNameDialog rename("first", "first_0", &dialog);
  for (QDialog* shown :
       std::initializer_list<QDialog*>{&statistics, &detail, &options, &info, &rename}) {
    shown->show();
    EXPECT_GE(shown->width(), WindowFit::TitleWidth(shown->windowTitle()))
        << shown->windowTitle().toStdString();
    shown->hide();
  }
  // A plug-in's options dialog as well: "Direct X Configuration" has only the common options.
  dialog.Commands()->SelectImportClass("XFILE ASCII (*.x)");
  QString title;
  int width = 0;
  QTimer::singleShot(0, [&]() {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    title = modal->windowTitle();
    width = modal->width();
    static_cast<QDialog*>(modal)->reject();
  });
  static_cast<QPushButton*>(dialog.Control(MorvaneDialog::kImportOptions))->click();
  EXPECT_EQ(title.toStdString(), "Direct X Configuration");
  EXPECT_GE(width, WindowFit::TitleWidth(title)) << title.toStdString();
}

TEST_F(MainWindowTest, InfoButtonTipAndChangeNameFocusReadAsMeant) {
  MorvaneDialog dialog(QByteArray(), nullptr);
  QToolButton* about = dialog.findChild<QToolButton*>();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->toolTip(), "Info über Morvane...") << "no mnemonic mark in a tool tip";

  ChangeNameDialog rename("cube", "cube_0");
  rename.show();
  rename.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&rename));
  ASSERT_NE(rename.focusWidget(), nullptr);
  EXPECT_EQ(rename.focusWidget()->objectName(), "new") << "typing goes to the new name";
  QTest::keyClicks(rename.focusWidget(), "box");
  EXPECT_EQ(rename.NewName(), "box") << "the proposal is selected and replaced";
}
