// What the LDraw class's windows offer a user: the file chooser's filters and a search path
// field wide enough to read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTimer>

#include "plugin_api/plugin_api.h"
#include "plugin_frame/options_dialog.h"
#include "plugins/brick_in/ldraw_import.h"
#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "test_brick_in";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = QApplication::instance() != nullptr
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
  return *app;
}

}  // namespace

TEST(LDrawChooser, OffersModelsAndMultiPartDocumentsBesideParts) {
  application();
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  QStringList filters;
  QTimer::singleShot(0, [&] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(chooser, nullptr);
    filters = chooser->nameFilters();
    chooser->reject();
  });
  MeshImporter* importer = CreateImporter(&ldraw_import_class);
  ObjectList* list = importer->Import();
  EXPECT_NE(list, nullptr);
  // The class's own filter text stays as it was; the chooser offers all LDraw files first.
  EXPECT_STREQ(importer->FileFilter(),
               "LDraw DAT File            (*.dat)|*.dat|All Files (*.*)|*.*||");
  importer->DeleteThis();
  EXPECT_EQ(filters, (QStringList{"LDraw Files (*.dat *.ldr *.mpd)", "LDraw DAT File (*.dat)",
                                  "All Files (*)"}));
}

TEST(LDrawChooser, SearchPathFieldShowsAWholeLibraryPath) {
  application();
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  int width = 0, needed = 0;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* edit = qobject_cast<QLineEdit*>(find_control(dialog, kSearchPathControl));
    ASSERT_NE(edit, nullptr);
    width = edit->width();
    needed = edit->fontMetrics().horizontalAdvance("/usr/share/ldraw/parts;/usr/share/ldraw/p;");
    static_cast<QDialog*>(dialog)->reject();
  });
  MeshImporter* importer = CreateImporter(&ldraw_import_class);
  importer->Configure();
  importer->DeleteThis();
  EXPECT_GE(width, needed);
}
