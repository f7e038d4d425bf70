// The example plug-in driven as a host drives it, with windows: Configure through the real
// options dialog, Import and Export through the file choosers.

#include <unistd.h>

#include <fstream>
#include <memory>

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "meshlib/object_list.h"
#include "plugin_frame/help_dialog.h"
#include "plugin_frame/options_dialog.h"
#include "qt_test_support.h"
#include "settings/path.h"
#include "settings/settings_store.h"
#include "support/choose_file.h"
#include "tri_plugin_controls.h"

namespace {

class GuiRun : public ::testing::Test, protected TriRunFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin.loaded());
    Prepare();
    main_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main_window));
  }

  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  QWidget main_window;
};

// Makes a dialog that a run opened the active window, so that focus moves inside it.
void activate(QWidget* dialog) {
  QApplication::setActiveWindow(dialog);
  EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
}

QLineEdit* edit_of(QWidget* dialog, int id) {
  return qobject_cast<QLineEdit*>(find_control(dialog, id));
}

}  // namespace

TEST_F(GuiRun, ConfigureStoresASizeTypedRightBeforeEnter) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  OnModal<OptionsDialog> script([this](OptionsDialog* dialog) {
    activate(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Triangle Configuration");
    QLineEdit* size = edit_of(dialog, OptionsDialog::kIdSize);
    Type(size, "3.5");
    QTest::keyClick(size, Qt::Key_Return);
  });
  importer->Configure();
  importer->DeleteThis();
  EXPECT_TRUE(script.ran());
  EXPECT_EQ(stored("tri_in", "Common Settings", "size_value"), "3.500000");
  EXPECT_EQ(stored("tri_in", "Common Settings", "ld_mode"), "0");  // import classes store 0
}

TEST_F(GuiRun, ConfigureCancelledAfterEditsRewritesTheStoredValues) {
  SettingsWriteString("tri_in", "Common Settings", "size_value", "2.5");
  SettingsWriteString("tri_in", "Common Settings", "verbose_mode", "1");
  MessageBoxCloser boxes;
  MeshImporter* importer = CreateImporter(plugin.import_class());
  OnModal<OptionsDialog> script([this](OptionsDialog* dialog) {
    activate(dialog);
    qobject_cast<QAbstractButton*>(find_control(dialog, OptionsDialog::kIdVerbose))->click();
    QLineEdit* size = edit_of(dialog, OptionsDialog::kIdSize);
    EXPECT_EQ(size->text(), "2.500");
    Type(size, "7");
    edit_of(dialog, OptionsDialog::kIdLogFile)->setFocus();  // the size counts in the dialog ...
    EXPECT_EQ(size->text(), "7.000");
    QTest::mouseClick(qobject_cast<QWidget*>(find_control(dialog, OptionsDialog::kIdCancel)),
                      Qt::LeftButton);
  });
  importer->Configure();
  importer->DeleteThis();
  EXPECT_TRUE(script.ran());
  EXPECT_TRUE(boxes.texts.empty());
  // ... but Cancel discards it, and the stored values are written again in their own form.
  EXPECT_EQ(stored("tri_in", "Common Settings", "size_value"), "2.500000");
  EXPECT_EQ(stored("tri_in", "Common Settings", "verbose_mode"), "1");
}

TEST_F(GuiRun, ConfigureRejectsLettersOnceAndKeepsTheOldSize) {
  MessageBoxCloser boxes;
  MeshImporter* importer = CreateImporter(plugin.import_class());
  OnModal<OptionsDialog> script([this](OptionsDialog* dialog) {
    activate(dialog);
    QLineEdit* size = edit_of(dialog, OptionsDialog::kIdSize);
    Type(size, "big");
    edit_of(dialog, OptionsDialog::kIdLogFile)->setFocus();
    QTest::qWait(100);
    EXPECT_EQ(size->text(), "1.000");
    QTest::mouseClick(qobject_cast<QWidget*>(find_control(dialog, OptionsDialog::kIdOk)),
                      Qt::LeftButton);
  });
  importer->Configure();
  importer->DeleteThis();
  EXPECT_TRUE(script.ran());
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Invalid Input Format!"}));
  EXPECT_EQ(stored("tri_in", "Common Settings", "size_value"), "1.000000");
}

TEST_F(GuiRun, ExportConfigureKeepsTheStoredLineDelimiterAndTakesSpecificFields) {
  SettingsWriteInt("tri_out", "Common Settings", "ld_mode", 1);
  SettingsWriteInt("tri_out", "Common Settings", "unify_mode", 1);
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  OnModal<OptionsDialog> script([this](OptionsDialog* dialog) {
    activate(dialog);
    auto* unix_radio =
        qobject_cast<QRadioButton*>(find_control(dialog, OptionsDialog::kIdDosSecond + 1));
    ASSERT_NE(unix_radio, nullptr);
    EXPECT_TRUE(unix_radio->isChecked());
    QLineEdit* radius = edit_of(dialog, kTriWireRadiusControl);
    ASSERT_NE(radius, nullptr);
    EXPECT_EQ(radius->text(), "0.100");
    Type(radius, "0.25");
    QTest::keyClick(radius, Qt::Key_Return);
  });
  exporter->Configure();
  exporter->DeleteThis();
  EXPECT_TRUE(script.ran());
  EXPECT_EQ(stored("tri_out", "Common Settings", "ld_mode"), "1");
  EXPECT_EQ(stored("tri_out", "Common Settings", "unify_mode"), "1");
  EXPECT_EQ(stored("tri_out", "Specific Settings", "radius"), "0.250000");
}

TEST_F(GuiRun, HelpShowsTheClassText) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  QString title, text;
  OnModal<HelpDialog> script([&](HelpDialog* dialog) {
    title = dialog->windowTitle();
    text = dialog->Text();
    static_cast<QDialog*>(dialog)->accept();
  });
  importer->Help();
  importer->DeleteThis();
  EXPECT_EQ(title, "Triangle Help");
  EXPECT_TRUE(text.startsWith("\tTriangle Import"));
}

TEST_F(GuiRun, ImportThroughTheChooserStoresTheChoiceAndRestoresTheDirectory) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  QString filters;
  OnModal<QFileDialog> chooser([&](QFileDialog* dialog) {
    filters = dialog->nameFilters().join(";;");
    choose_file(dialog, model);
  });
  ObjectList* objects = importer->Import();
  EXPECT_TRUE(chooser.ran());
  EXPECT_EQ(filters, "Triangle File (*.tri);;All Files (*)");
  EXPECT_EQ(objects->count(), 2);
  EXPECT_STREQ(importer->FileName(), "model.tri");
  EXPECT_EQ(stored("tri_in", "Specific Settings", "file_name"), model);
  EXPECT_EQ(stored("tri_in", "Specific Settings", "path"), folder.path());
  EXPECT_EQ(current_directory(), start_directory);
  EXPECT_TRUE(main_window.isEnabled());  // the progress dialog gave it back
  importer->DeleteThis();
}

TEST_F(GuiRun, CancelledImportChooserGivesAnEmptyList) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  OnModal<QFileDialog> chooser([](QFileDialog* dialog) { dialog->reject(); });
  ObjectList* objects = importer->Import();
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(objects->count(), 0);
  EXPECT_STREQ(importer->FileName(), "");
  importer->DeleteThis();
}

TEST_F(GuiRun, ExportModeZeroWritesNothingWhenTheSecondChooserIsCancelled) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->ImportFile(model.c_str());
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  std::string first = folder.file("first.tri");
  std::unique_ptr<OnModal<QFileDialog>> lst_chooser;
  OnModal<QFileDialog> tri_chooser([&](QFileDialog* dialog) {
    choose_file(dialog, first);
    // The second chooser opens right after this one closes.
    lst_chooser =
        std::make_unique<OnModal<QFileDialog>>([](QFileDialog* second) { second->reject(); });
  });
  exporter->Export(objects, EXPORT_ASK, nullptr);
  exporter->DeleteThis();
  EXPECT_TRUE(tri_chooser.ran());
  ASSERT_TRUE(lst_chooser && lst_chooser->ran());
  EXPECT_FALSE(std::ifstream(first).good());
  EXPECT_EQ(current_directory(), start_directory);
  importer->DeleteThis();
}

TEST_F(GuiRun, ExportThroughBothChoosersWritesBothFiles) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->ImportFile(model.c_str());
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  QString suffix;
  std::unique_ptr<OnModal<QFileDialog>> lst_chooser;
  OnModal<QFileDialog> tri_chooser([&](QFileDialog* dialog) {
    suffix = dialog->defaultSuffix();
    choose_file(dialog, folder.file("scene"));
    lst_chooser = std::make_unique<OnModal<QFileDialog>>([this](QFileDialog* second) {
      // Active, as a user finds it: its name field has the focus.
      activate(second);
      choose_file(second, folder.file("scene.lst"));
    });
  });
  exporter->Export(objects, EXPORT_ASK, nullptr);
  exporter->DeleteThis();
  EXPECT_EQ(suffix, "tri");
  EXPECT_EQ(read_file(folder.file("scene.lst")), "cube_top 2\r\nwedge 1\r\n");
  EXPECT_EQ(stored("tri_out", "Specific Settings", "path"), folder.path());
  EXPECT_TRUE(main_window.isEnabled());
  importer->DeleteThis();
}
