// The "Specific" group of the LDraw options dialog: the search path field (1033) and the
// folder button (1034), driven through Configure as a user would.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "plugin_api/plugin_api.h"
#include "plugin_frame/options_dialog.h"
#include "plugins/brick_in/ldraw_import.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "support/choose_file.h"
#include "support/test_application.h"
#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

namespace {

QApplication& application() { return test_application("test_brick_in"); }

// The test program's application and an empty settings store for one test.
struct Sandbox {
  Sandbox() { application(); }
  TempFolder store;
  ScopedEnv xdg{"XDG_CONFIG_HOME", store.path().c_str()};
};

// Opens the LDraw options dialog as Configure does and hands it to use; the dialog is
// rejected afterwards unless use closed it.
void configure(const std::function<void(QDialog*)>& use) {
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    use(dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  MeshImporter* importer = CreateImporter(&ldraw_import_class);
  importer->Configure();
  importer->DeleteThis();
}

}  // namespace

TEST(LDrawOptionsDialog, FolderButtonAppendsTheChosenFolderAndOkStoresThePath) {
  Sandbox sandbox;
  TempFolder library;
  library.write("ldraw/parts/3001.dat", "0\n");
  const std::string parts = library / "ldraw/parts";
  ScopedEnv ldrawdir("LDRAWDIR", (library / "ldraw").c_str());
  {
    LDrawSettings settings;
    settings.search_path = "/first;";
  }

  std::string shown, browser_title, browser_start, after_browse;
  configure([&](QDialog* dialog) {
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
    dialog->accept();
  });

  EXPECT_EQ(shown, "/first;");
  EXPECT_EQ(browser_title, "Add part directory");
  EXPECT_EQ(browser_start, library / "ldraw");
  EXPECT_EQ(after_browse, "/first;" + parts + ";");
  LDrawSettings stored;
  EXPECT_EQ(stored.search_path, "/first;" + parts + ";");
}

TEST(LDrawOptionsDialog, OneMeshPerColourIsOffUntilTickedAndOkStoresIt) {
  Sandbox sandbox;
  bool shown_checked = true;
  QString label;
  configure([&](QDialog* dialog) {
    auto* box = qobject_cast<QCheckBox*>(find_control(dialog, kColourMeshesControl));
    ASSERT_NE(box, nullptr);
    shown_checked = box->isChecked();
    label = box->text();
    box->click();
    dialog->accept();
  });
  EXPECT_FALSE(shown_checked);
  EXPECT_EQ(label, "One mesh per colour");
  LDrawSettings stored;
  EXPECT_EQ(stored.one_mesh_per_colour, 1);
}

namespace {

// Types text into the chooser's name field one key at a time without giving the field the
// focus, as happens under window managers where the completion list that pops up under the
// field holds the keyboard and hands the keys on: the chooser's completion sees every prefix
// on the way and selects what each one matched.
void type_into_name_field(QFileDialog* chooser, const QString& text) {
  auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->clear();
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(name, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(name, &release);
  }
}

// Drives the folder button once, answering the chooser with answer(chooser), and returns the
// search path field's text afterwards.
std::string browse_for_folder(const std::function<void(QFileDialog*)>& answer) {
  std::string after_browse;
  configure([&](QDialog* dialog) {
    auto* edit = qobject_cast<QLineEdit*>(find_control(dialog, kSearchPathControl));
    auto* button = qobject_cast<QPushButton*>(find_control(dialog, kAddFolderControl));
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(button, nullptr);
    edit->clear();
    QTimer::singleShot(0, [&] {
      auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (browser == nullptr) return;
      answer(browser);
      if (browser->isVisible()) browser->reject();
    });
    button->click();
    after_browse = edit->text().toStdString();
  });
  return after_browse;
}

}  // namespace

// The LDraw library keeps "p" beside "parts": a folder whose name starts another's must not
// win over the folder the user typed, whether the answer comes by Return or by Choose.
TEST(LDrawOptionsDialog, TypedFolderWinsOverASiblingWhoseNameIsItsPrefix) {
  Sandbox sandbox;
  TempFolder library;
  library.write("ldraw/p/4-4cyli.dat", "0\n");
  library.write("ldraw/parts/3001.dat", "0\n");
  library.write("ldraw/models/car.dat", "0\n");
  ScopedEnv ldrawdir("LDRAWDIR", (library / "ldraw").c_str());
  const QString parts = QString::fromStdString(library / "ldraw/parts");

  struct Case {
    const char* how;
    QString typed;
    std::function<void(QFileDialog*)> finish;
  };
  auto press_return = [](QFileDialog* chooser) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(chooser->findChild<QLineEdit*>("fileNameEdit"), &press);
  };
  auto press_choose = [](QFileDialog* chooser) { static_cast<QDialog*>(chooser)->accept(); };
  const Case cases[] = {
      {"name only, Return", QStringLiteral("parts"), press_return},
      {"name only, Choose", QStringLiteral("parts"), press_choose},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    std::string stored = browse_for_folder([&](QFileDialog* chooser) {
      type_into_name_field(chooser, c.typed);
      c.finish(chooser);
    });
    EXPECT_EQ(stored, parts.toStdString() + ";");
  }
}

// The chooser and the field as a user meets them.

TEST(LDrawChooser, OffersModelsAndMultiPartDocumentsBesideParts) {
  Sandbox sandbox;
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
  Sandbox sandbox;
  int width = 0, needed = 0;
  configure([&](QDialog* dialog) {
    auto* edit = qobject_cast<QLineEdit*>(find_control(dialog, kSearchPathControl));
    ASSERT_NE(edit, nullptr);
    width = edit->width();
    needed = edit->fontMetrics().horizontalAdvance("/usr/share/ldraw/parts;/usr/share/ldraw/p;");
  });
  EXPECT_GE(width, needed);
}
