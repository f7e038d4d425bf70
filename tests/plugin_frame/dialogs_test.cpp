#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "plugin_frame/help_dialog.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/progress_dialog.h"
#include "plugin_frame/read_number_field.h"
#include "qt_test_support.h"

namespace {

// The one QApplication of this test program, made before the first test.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test_plugin_frame_dialogs";
    static char* argv[] = {name, nullptr};
    // The tests drive focus and activation, which the offscreen platform makes
    // dependable; a run may still choose another platform explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

template <class T>
T* control(QWidget* widget, int id) {
  return qobject_cast<T*>(find_control(widget, id));
}

// An options dialog shown without its own loop, as a test can type into it.
class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.SetCommonOptions(1, 2, 0, 0, 1.0, "old.log");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    size = control<QLineEdit>(&dialog, OptionsDialog::kIdSize);
    log = control<QLineEdit>(&dialog, OptionsDialog::kIdLogFile);
    ASSERT_NE(size, nullptr);
    ASSERT_NE(log, nullptr);
  }

  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    if (*text == '\0')
      QTest::keyClick(edit, Qt::Key_Delete);
    else
      QTest::keyClicks(edit, text);
  }

  OptionsDialog dialog{OptionsDialog::ImportTemplate, "Triangle Configuration"};
  QLineEdit* size = nullptr;
  QLineEdit* log = nullptr;
};

}  // namespace

TEST_F(OptionsDialogTest, ShowsTheCommonOptionsInNumberedControls) {
  EXPECT_EQ(dialog.windowTitle(), "Triangle Configuration");
  EXPECT_TRUE(control<QCheckBox>(&dialog, OptionsDialog::kIdVerbose)->isChecked());
  EXPECT_FALSE(control<QCheckBox>(&dialog, OptionsDialog::kIdUnify)->isChecked());
  EXPECT_TRUE(
      control<QRadioButton>(&dialog, OptionsDialog::kIdNoSwap + 2)->isChecked());  // swap_mode 2
  EXPECT_EQ(size->text(), "1.000");
  EXPECT_EQ(log->text(), "old.log");
  EXPECT_EQ(find_control(&dialog, OptionsDialog::kIdDos),
            nullptr);                                 // no line delimiter on import dialogs
  EXPECT_FALSE(dialog.SpecificGroup()->isVisible());  // nothing specific added
}

TEST_F(OptionsDialogTest, ClicksStoreAtOnce) {
  control<QCheckBox>(&dialog, OptionsDialog::kIdVerbose)->click();
  control<QCheckBox>(&dialog, OptionsDialog::kIdUnify)->click();
  QTest::mouseClick(control<QRadioButton>(&dialog, OptionsDialog::kIdNoSwap + 3), Qt::LeftButton);
  EXPECT_EQ(dialog.VerboseMode(), 0u);
  EXPECT_EQ(dialog.UnifyMode(), 1u);
  EXPECT_EQ(dialog.SwapMode(), 3u);
}

TEST_F(OptionsDialogTest, SizeCountsWhenTheFieldLosesTheFocus) {
  Type(size, "2,5");
  EXPECT_EQ(dialog.SizeValue(), 1.0);  // still typing
  log->setFocus();
  EXPECT_EQ(dialog.SizeValue(), 2.0);  // "2,5" reads 2
  EXPECT_EQ(size->text(), "2.000");
}

TEST_F(OptionsDialogTest, LettersShowTheErrorBoxOnceAndRestoreTheOldValue) {
  MessageBoxCloser boxes;
  Type(size, "abc");
  log->setFocus();
  QTest::qWait(100);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Invalid Input Format!");
  EXPECT_EQ(boxes.titles[0], "Error");
  EXPECT_EQ(size->text(), "1.000");
  EXPECT_EQ(dialog.SizeValue(), 1.0);
}

TEST_F(OptionsDialogTest, EmptiedFieldRestoresTheOldValueSilently) {
  MessageBoxCloser boxes;
  Type(size, "");
  EXPECT_EQ(size->text(), "");
  log->setFocus();
  QTest::qWait(50);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(size->text(), "1.000");
  EXPECT_EQ(dialog.SizeValue(), 1.0);
}

TEST_F(OptionsDialogTest, EnterRightAfterTypingKeepsTheNewValues) {
  Type(log, "new.log");
  Type(size, "4.25");
  QTest::keyClick(size, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.SizeValue(), 4.25);
  EXPECT_EQ(dialog.LogFileName(), "new.log");
}

TEST_F(OptionsDialogTest, EnterWithLettersShowsTheBoxAndKeepsTheDialogOpen) {
  MessageBoxCloser boxes;
  Type(size, "x");
  QTest::keyClick(size, Qt::Key_Return);
  QTest::qWait(100);
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(size->text(), "1.000");
}

TEST_F(OptionsDialogTest, CancelShowsNoErrorBox) {
  MessageBoxCloser boxes;
  Type(size, "abc");
  QTest::mouseClick(control<QPushButton>(&dialog, OptionsDialog::kIdCancel), Qt::LeftButton);
  QTest::qWait(100);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(OptionsDialogTest, SpecificNumberFieldsReadLikeTheSize) {
  QLineEdit* angle = dialog.AddNumberField(1032, "Smooth Angle", 70.0);
  QLineEdit* search = dialog.AddTextField(1033, "Search Path", "a;", 10);
  EXPECT_TRUE(dialog.SpecificGroup()->isVisible());
  EXPECT_EQ(angle->text(), "70.000");
  EXPECT_EQ(angle->property("controlId").toInt(), 1032);
  Type(angle, "12.5 degrees");
  Type(search, "b;c;d;e;f;g");  // longer than its limit
  log->setFocus();
  EXPECT_EQ(dialog.NumberValue(1032), 12.5);
  EXPECT_EQ(angle->text(), "12.500");
  EXPECT_EQ(dialog.TextValue(1033), "b;c;d;e;f;");
  dialog.SetTextValue(1033, "c:/parts;");
  EXPECT_EQ(search->text(), "c:/parts;");
}

TEST(OptionsDialogTemplates, ExportDialogsSelectTheLineDelimiterRadio) {
  OptionsDialog first(OptionsDialog::ExportTemplate, "t");
  first.SetCommonOptions(0, 0, 0, 2, 1.0, "");
  EXPECT_TRUE(control<QRadioButton>(&first, OptionsDialog::kIdDos + 2)->isChecked());
  EXPECT_EQ(find_control(&first, OptionsDialog::kIdUnify), nullptr);  // no Unify on export dialogs
  OptionsDialog second(OptionsDialog::ExportSecondTemplate, "t");
  second.SetCommonOptions(0, 0, 0, 1, 1.0, "");
  EXPECT_EQ(find_control(&second, OptionsDialog::kIdDos + 1), nullptr);
  EXPECT_TRUE(control<QRadioButton>(&second, OptionsDialog::kIdDosSecond + 1)->isChecked());
  QTest::mouseClick(control<QRadioButton>(&second, OptionsDialog::kIdDosSecond + 2),
                    Qt::LeftButton);
  EXPECT_EQ(second.LdMode(), 2u);
}

TEST(ReadNumberField, AcceptsALeadingNumberAndShowsThreeDecimals) {
  QLineEdit edit;
  edit.setText("  3.14159xyz");
  EXPECT_EQ(ReadNumberField(&edit, 1.0), 3.14159);
  EXPECT_EQ(edit.text(), "3.142");
}

TEST(ReadNumberField, LooksAtNoMoreThan254Characters) {
  MessageBoxCloser boxes;
  QLineEdit edit;
  edit.setText(QString(254, QLatin1Char(' ')) + "5");
  EXPECT_EQ(ReadNumberField(&edit, 1.5), 1.5);  // only blanks were looked at: empty
  EXPECT_TRUE(boxes.texts.empty());
}

TEST(HelpDialog, ShowsTheTextReadOnlyUnderItsTitle) {
  HelpDialog dialog("Triangle Help", "\tTriangle\n\n- line");
  auto* text = control<QPlainTextEdit>(&dialog, HelpDialog::kIdText);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_EQ(text->toPlainText(), "\tTriangle\n\n- line");
  EXPECT_EQ(dialog.windowTitle(), "Triangle Help");
  std::string long_text(3000, 'h');
  HelpDialog longer("t", long_text.c_str());
  EXPECT_EQ(longer.Text().size(), 2048);
}

TEST(ProgressDialog, ImportVariantHasTwoBarsExportOne) {
  ProgressDialog import_dialog(ProgressDialog::ImportProgress, "Triangle Import");
  EXPECT_NE(find_control(&import_dialog, ProgressDialog::kIdFileBar), nullptr);
  EXPECT_NE(find_control(&import_dialog, ProgressDialog::kIdMeshBar), nullptr);
  EXPECT_EQ(control<QLabel>(&import_dialog, ProgressDialog::kIdFilePercent)->text(), " 0 %");
  EXPECT_EQ(control<QLabel>(&import_dialog, ProgressDialog::kIdStatus)->text(), "Status");
  ProgressDialog export_dialog(ProgressDialog::ExportProgress, "Triangle Export");
  EXPECT_NE(find_control(&export_dialog, ProgressDialog::kIdFileBar), nullptr);
  EXPECT_EQ(find_control(&export_dialog, ProgressDialog::kIdMeshBar), nullptr);
  EXPECT_EQ(export_dialog.windowTitle(), "Triangle Export");
}

TEST(ProgressDialog, DisablesItsOwnerWhileOpenAndStaysUsable) {
  QWidget owner;
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  {
    ProgressDialog dialog(ProgressDialog::ImportProgress, "t", &owner);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(dialog.parentWidget(), nullptr);  // top-level, so not disabled with the owner
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());  // kept above
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isEnabled());
    auto* cancel = control<QPushButton>(&dialog, ProgressDialog::kIdCancel);
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());  // Cancel does not close
    EXPECT_TRUE(dialog.CancelRequested());
    EXPECT_FALSE(dialog.CancelRequested());  // the flag is cleared once reported
    dialog.close();  // the window's close button asks for the cancel as well
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.CancelRequested());
  }
  EXPECT_TRUE(owner.isEnabled());
}

TEST(ProgressDialog, LeavesAnAlreadyDisabledOwnerDisabled) {
  QWidget owner;
  owner.setEnabled(false);
  owner.show();
  {
    ProgressDialog dialog(ProgressDialog::ExportProgress, "t", &owner);
    dialog.CreateModeless();
  }
  EXPECT_FALSE(owner.isEnabled());
}

TEST(ProgressDialog, WithoutAnyWindowOpensOwnerless) {
  ProgressDialog dialog(ProgressDialog::ExportProgress, "t");
  EXPECT_EQ(dialog.Owner(), nullptr);
  EXPECT_TRUE(dialog.CreateModeless());
  EXPECT_TRUE(dialog.isVisible());
}

TEST(ProgressDialog, PercentTextIsClampedInsteadOfWrapping) {
  ProgressDialog dialog(ProgressDialog::ImportProgress, "t");
  dialog.SetFileProgress(102);
  EXPECT_EQ(control<QLabel>(&dialog, ProgressDialog::kIdFilePercent)->text(), " 100 %");
  EXPECT_EQ(control<QProgressBar>(&dialog, ProgressDialog::kIdFileBar)->value(), 100);
  dialog.SetMeshProgress(37);
  EXPECT_EQ(control<QLabel>(&dialog, ProgressDialog::kIdMeshPercent)->text(), " 37 %");
  EXPECT_EQ(control<QProgressBar>(&dialog, ProgressDialog::kIdMeshBar)->value(), 37);
  dialog.SetStatus("Sizing: cube\n");
  EXPECT_EQ(control<QLabel>(&dialog, ProgressDialog::kIdStatus)->text(), "Sizing: cube");
}
