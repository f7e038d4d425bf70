// The viewer's own dialogs: light setup, OpenGL information, about box, and the options
// dialog's restart warning.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBrowser>

#include "apps/MorvaneOGL/about_dialog.h"
#include "apps/MorvaneOGL/light_setup_dialog.h"
#include "apps/MorvaneOGL/opengl_info_dialog.h"
#include "host/ui/host_options_dialog.h"
#include "meshlib/light3d.h"
#include "meshlib/object_list.h"
#include "viewer_session.h"

namespace {

using ViewerDialogs = ViewerTest;

// Types text into a field and moves the focus on, as a user does.
void Type(LightSetupDialog& dialog, LightSetupDialog::Value value, const char* text) {
  QLineEdit* field = dialog.Field(value);
  field->setText(text);
  emit field->editingFinished();
}

Light3d* LightAt(ObjectList& lights, int position) {
  return static_cast<Light3d*>(lights.get(position));
}

TEST_F(ViewerDialogs, AllRaisesEveryColourAndStopsAtOne) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  ObjectList& lights = app_->Scene().lights();
  ASSERT_EQ(lights.count(), 4);
  LightSetupDialog dialog(lights);
  EXPECT_EQ(dialog.windowTitle(), "Light");
  EXPECT_EQ(dialog.Lights()->count(), 4);
  EXPECT_EQ(dialog.Lights()->currentText(), "FrontLight1");
  EXPECT_EQ(dialog.Field(LightSetupDialog::Red)->text(), "0.300");
  EXPECT_EQ(dialog.Bar(LightSetupDialog::Red)->value(), 300);

  std::vector<int> changed;
  QObject::connect(&dialog, &LightSetupDialog::LightChanged,
                   [&](int index) { changed.push_back(index); });
  Type(dialog, LightSetupDialog::Red, "0.9");
  Type(dialog, LightSetupDialog::Green, "0.9");
  Type(dialog, LightSetupDialog::Blue, "0.9");
  EXPECT_EQ(dialog.Field(LightSetupDialog::All)->text(), "0.900");
  Type(dialog, LightSetupDialog::All, "1.1");  // "All" raised by 0.2
  const Light3d* light = LightAt(lights, 0);
  EXPECT_DOUBLE_EQ(light->colour.x, 1.0);
  EXPECT_DOUBLE_EQ(light->colour.y, 1.0);
  EXPECT_DOUBLE_EQ(light->colour.z, 1.0);
  EXPECT_EQ(dialog.Field(LightSetupDialog::Red)->text(), "1.000");
  EXPECT_EQ(dialog.Bar(LightSetupDialog::Green)->value(), 1000);
  EXPECT_EQ(changed, (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ViewerDialogs, AllMovesColoursByTheSameAmountWithinTheirLimits) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  LightSetupDialog dialog(app_->Scene().lights());
  Type(dialog, LightSetupDialog::Red, "0.1");
  Type(dialog, LightSetupDialog::Green, "0.5");
  Type(dialog, LightSetupDialog::Blue, "0.6");
  // Mean 0.4; lowered by 0.1 through the bar's arrow steps: red reaches 0.
  QScrollBar* all = dialog.Bar(LightSetupDialog::All);
  ASSERT_EQ(all->value(), 400);
  for (int step = 0; step < 100; ++step) all->triggerAction(QAbstractSlider::SliderSingleStepSub);
  const Light3d* light = LightAt(app_->Scene().lights(), 0);
  EXPECT_NEAR(light->colour.x, 0.0, 1e-9);
  EXPECT_NEAR(light->colour.y, 0.4, 1e-9);
  EXPECT_NEAR(light->colour.z, 0.5, 1e-9);
  EXPECT_EQ(all->value(), 300);
  // Lowered by 0.2 more: red stays at 0, the others move by the same amount.
  Type(dialog, LightSetupDialog::All, "0.1");
  EXPECT_NEAR(light->colour.x, 0.0, 1e-9);
  EXPECT_NEAR(light->colour.y, 0.2, 1e-9);
  EXPECT_NEAR(light->colour.z, 0.3, 1e-9);
  EXPECT_EQ(dialog.Field(LightSetupDialog::All)->text(), "0.167");
  // A click on the track moves nothing.
  const int before = all->value();
  all->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(all->value(), before);
}

TEST_F(ViewerDialogs, FieldsLimitTheirValuesAndIgnoreText) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  LightSetupDialog dialog(app_->Scene().lights());
  dialog.Lights()->setCurrentIndex(1);  // FrontLight2: a spot light
  const Light3d* light = LightAt(app_->Scene().lights(), 1);
  EXPECT_TRUE(dialog.Spot()->isChecked());
  EXPECT_TRUE(dialog.Field(LightSetupDialog::FallOff)->isEnabled());
  EXPECT_EQ(dialog.Field(LightSetupDialog::FallOff)->text(), "15");
  EXPECT_EQ(dialog.Field(LightSetupDialog::Radius)->text(), "50.0");
  EXPECT_EQ(dialog.Bar(LightSetupDialog::Radius)->value(), 500);

  Type(dialog, LightSetupDialog::FallOff, "300");
  EXPECT_DOUBLE_EQ(light->param1, 128.0);
  EXPECT_EQ(dialog.Field(LightSetupDialog::FallOff)->text(), "128");
  Type(dialog, LightSetupDialog::Radius, "95.5");
  EXPECT_DOUBLE_EQ(light->param2, 90.0);
  Type(dialog, LightSetupDialog::Radius, "wide");
  EXPECT_DOUBLE_EQ(light->param2, 90.0);
  EXPECT_EQ(dialog.Field(LightSetupDialog::Radius)->text(), "90.0");
  Type(dialog, LightSetupDialog::Green, "-2");
  EXPECT_DOUBLE_EQ(light->colour.y, 0.0);
  dialog.Bar(LightSetupDialog::Radius)->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_NEAR(light->param2, 89.9, 1e-9);
}

TEST_F(ViewerDialogs, SwitchesEnableTheirControls) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  LightSetupDialog dialog(app_->Scene().lights());
  const Light3d* light = LightAt(app_->Scene().lights(), 0);  // on, no target
  EXPECT_TRUE(dialog.Enabled()->isChecked());
  EXPECT_FALSE(dialog.Spot()->isChecked());
  EXPECT_FALSE(dialog.Field(LightSetupDialog::FallOff)->isEnabled());
  dialog.Spot()->click();
  EXPECT_EQ(light->has_target, 1);
  EXPECT_TRUE(dialog.Field(LightSetupDialog::Radius)->isEnabled());
  dialog.Enabled()->click();
  EXPECT_EQ(light->enabled, 0);
  EXPECT_FALSE(dialog.Field(LightSetupDialog::Red)->isEnabled());
  EXPECT_FALSE(dialog.Bar(LightSetupDialog::All)->isEnabled());
  EXPECT_FALSE(dialog.Spot()->isEnabled());
  EXPECT_FALSE(dialog.Field(LightSetupDialog::Radius)->isEnabled());
}

TEST_F(ViewerDialogs, LightChangesReachTheUserViewAtOnce) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  COpenGLWnd* user = View()->View(kUserView);
  QTest::qWait(200);
  const QImage before = user->grabFramebuffer();
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    auto* dialog = qobject_cast<LightSetupDialog*>(modal);
    if (dialog == nullptr) return false;
    dialog->Enabled()->click();  // FrontLight1 off
    dialog->Lights()->setCurrentIndex(1);
    dialog->Enabled()->click();  // FrontLight2 off: the scene goes dark
    EXPECT_EQ(user->light_request(), 1);
    ModalDriver::Click(ModalDriver::Button(dialog, "Close"));
    return true;
  });
  driver.Run([&]() { app_->OnLightSetup(); });
  EXPECT_TRUE(driver.AllStepsDone());
  QTest::qWait(200);
  const QImage after = user->grabFramebuffer();
  EXPECT_EQ(user->light_request(), -1);
  EXPECT_NE(before, after);
}

TEST_F(ViewerDialogs, OpenGLInfoShowsTheDriverStrings) {
  Start();
  OpenGLInfoDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "OpenGL Info");
  EXPECT_FALSE(dialog.Field("Vendor:").isEmpty());
  EXPECT_FALSE(dialog.Field("Renderer:").isEmpty());
  EXPECT_TRUE(dialog.Field("Version:").contains(QRegularExpression("^[0-9]+\\.[0-9]")))
      << dialog.Field("Version:").toStdString();
  EXPECT_TRUE(dialog.Field("Extension:").contains("GL_")) << "extensions";
  EXPECT_TRUE(dialog.Field("GLU Version:").contains(QRegularExpression("^[0-9]+\\.[0-9]")));
  EXPECT_TRUE(dialog.ErrorGroup()->isHidden());
}

TEST_F(ViewerDialogs, AboutBoxShowsTheBuild) {
  AboutDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "MorvaneOGL Info");
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("MorvaneOGL"));
  EXPECT_TRUE(texts.contains("Build: 1049"));
}

TEST_F(ViewerDialogs, HelpShowsTheViewersPage) {
  Start();
  Frame()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
  QTest::keyClick(Frame(), Qt::Key_F1);
  QTextBrowser* page = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->windowTitle() == "MorvaneOGL Help")
      page = window->findChild<QTextBrowser*>();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->toPlainText().contains("Import last (Shift F3)"));
  page->window()->close();
  EXPECT_FALSE(QIcon(":/morvaneogl/morvaneogl.svg").pixmap(32, 32).isNull());
}

TEST_F(ViewerDialogs, NewPluginPathAsksForARestart) {
  Start();
  QTemporaryDir other;
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    auto* dialog = qobject_cast<HostOptionsDialog*>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->windowTitle(), "MorvaneOGL Configuration");
    dialog->ChooseFolder(other.path());
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    return true;
  });
  driver.Run([&]() { app_->OnOptions(); });
  ASSERT_EQ(driver.Messages().size(), 1u);
  EXPECT_EQ(driver.Messages()[0].title, "Warning");
  EXPECT_EQ(driver.Messages()[0].text, "Please restart Morvane to scan new plugin path");
  EXPECT_EQ(app_->Settings().PluginPath(), other.path().toStdString() + "/");
}

TEST_F(ViewerDialogs, MenusCarryTheirKeysAndPrompts) {
  Start();
  const struct {
    const char* text;
    QKeySequence key;
    const char* prompt;
  } kItems[] = {{"&Import (F3)...", QKeySequence(Qt::Key_F3), "Call Import Dialog"},
                {"Import last (Shift F3)", QKeySequence(Qt::SHIFT | Qt::Key_F3), ""},
                {"&Export (F2) ...", QKeySequence(Qt::Key_F2), ""},
                {"&Exit (ALT F4)", QKeySequence(Qt::ALT | Qt::Key_F4), "Quit Morvane"},
                {"&Statistic (F8)", QKeySequence(Qt::Key_F8), "Call Statistics Dialog"},
                {"&Options", QKeySequence(), "Call Morvane options"},
                {"&LightSetup (F5)", QKeySequence(Qt::Key_F5), ""},
                {"&Options (F7)", QKeySequence(Qt::Key_F7), ""},
                {"&Help", QKeySequence(), "Help Index"},
                {"Info about OpenGL ...", QKeySequence(), ""},
                {"Inf&o about MorvaneOGL ...", QKeySequence(), "Shows Product Info."}};
  for (const auto& item : kItems) {
    QAction* action = Frame()->Action(item.text);
    ASSERT_NE(action, nullptr) << item.text;
    // The text names the key; the menu shows no second copy of it beside the text.
    EXPECT_TRUE(action->shortcut().isEmpty()) << item.text;
    EXPECT_EQ(Frame()->Key(item.text), item.key) << item.text;
    EXPECT_EQ(action->statusTip(), item.prompt) << item.text;
  }
  // F8 on an empty scene reaches the statistics command.
  Frame()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
  const auto seen = Messages([&]() { QTest::keyClick(Frame(), Qt::Key_F8); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "No meshes to explore");
}

}  // namespace
