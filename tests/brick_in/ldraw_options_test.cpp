// The "Specific" group of the LDraw options dialog: the search path field (1033) and the
// folder button (1034), driven through Configure as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "plugin_api/plugin_api.h"
#include "plugin_frame/options_dialog.h"
#include "plugins/brick_in/ldraw_import.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "support/choose_file.h"
#include "tests/brick_in/scoped_env.h"
#include "tests/brick_in/temp_folder.h"

namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "test_brick_in";
  static char* argv[] = {name, nullptr};
  // No display is needed: the windows live on the offscreen platform.
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace

TEST(LDrawOptionsDialog, FolderButtonAppendsTheChosenFolderAndOkStoresThePath) {
  application();
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  TempFolder library;
  library.write("ldraw/parts/3001.dat", "0\n");
  const std::string parts = library / "ldraw/parts";
  ScopedEnv ldrawdir("LDRAWDIR", (library / "ldraw").c_str());
  {
    LDrawSettings settings;
    settings.search_path = "/first;";
  }

  std::string shown, browser_title, browser_start, after_browse;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* edit = qobject_cast<QLineEdit*>(find_control(dialog, kSearchPathControl));
    auto* button = qobject_cast<QPushButton*>(find_control(dialog, kAddFolderControl));
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(button, nullptr);
    shown = edit->text().toStdString();
    QTimer::singleShot(0, [&] {
      auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(browser, nullptr);
      browser_title = browser->windowTitle().toStdString();
      browser_start = browser->directory().absolutePath().toStdString();
      choose_file(browser, parts);
    });
    button->click();
    after_browse = edit->text().toStdString();
    static_cast<QDialog*>(dialog)->accept();
  });
  MeshImporter* importer = CreateImporter(&ldraw_import_class);
  importer->Configure();
  importer->DeleteThis();

  EXPECT_EQ(shown, "/first;");
  EXPECT_EQ(browser_title, "Add part directory");
  EXPECT_EQ(browser_start, library / "ldraw");
  EXPECT_EQ(after_browse, "/first;" + parts + ";");
  LDrawSettings stored;
  EXPECT_EQ(stored.search_path, "/first;" + parts + ";");
}

TEST(LDrawOptionsDialog, OneMeshPerColourIsOffUntilTickedAndOkStoresIt) {
  application();
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  bool shown_checked = true;
  QString label;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* box = qobject_cast<QCheckBox*>(find_control(dialog, kColourMeshesControl));
    ASSERT_NE(box, nullptr);
    shown_checked = box->isChecked();
    label = box->text();
    box->click();
    static_cast<QDialog*>(dialog)->accept();
  });
  MeshImporter* importer = CreateImporter(&ldraw_import_class);
  importer->Configure();
  importer->DeleteThis();
  EXPECT_FALSE(shown_checked);
  EXPECT_EQ(label, "One mesh per colour");
  LDrawSettings stored;
  EXPECT_EQ(stored.one_mesh_per_colour, 1);
}
