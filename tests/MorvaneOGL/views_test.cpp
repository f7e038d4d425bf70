// The four views in the frame: their places, the view options, the keys over a view, and
// what they draw in each render mode.
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QImage>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>

#include "apps/MorvaneOGL/scene_progress_dialog.h"
#include "apps/MorvaneOGL/view_options_dialog.h"
#include "meshlib/mesh3d.h"
#include "viewer/render_modes.h"
#include "viewer_session.h"

namespace {

using ViewerViews = ViewerTest;

// Opens "View Options", lets choose act on it, and ends it with "&OK".
void RunViewOptions(ViewerTest& test, const std::function<void(ViewOptionsDialog*)>& choose) {
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    auto* dialog = qobject_cast<ViewOptionsDialog*>(modal);
    if (dialog == nullptr) return false;
    choose(dialog);
    ModalDriver::Click(ModalDriver::Button(dialog, "&OK"));
    return true;
  });
  driver.Run([&]() { test.app_->OnViewOptions(); });
  EXPECT_TRUE(driver.AllStepsDone());
}

QAbstractButton* Radio(QButtonGroup* group, const QString& text) {
  for (QAbstractButton* button : group->buttons())
    if (button->text() == text) return button;
  return nullptr;
}

// Share of pixels that are not black.
double LitShare(const QImage& image) {
  long lit = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xffffff) != 0) ++lit;
  return image.width() * image.height() > 0 ? double(lit) / (image.width() * image.height()) : 0.0;
}

TEST_F(ViewerViews, ViewsTakeTheirQuartersAndKeepThemOnResize) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  ASSERT_TRUE(View()->ViewsExist());
  for (const QSize& size : {QSize(800, 640), QSize(1000, 500), QSize(420, 700)}) {
    Frame()->resize(size);
    QTest::qWait(100);
    const int w = View()->width(), h = View()->height();
    const QRect expected[4] = {QRect(0, 0, w / 2 - 1, h / 2 - 1),
                               QRect(w / 2 + 1, 0, w / 2 - 1, h / 2 - 1),
                               QRect(0, h / 2 + 1, w / 2 - 1, h / 2 - 1),
                               QRect(w / 2 + 1, h / 2 + 1, w / 2 - 1, h / 2 - 1)};
    for (int kind = 0; kind < 4; ++kind)
      EXPECT_EQ(View()->ViewWindow(kind)->geometry(), expected[kind])
          << CMyMorvaneOGLView::ViewName(kind).toStdString() << " at " << w << "x" << h;
  }
}

TEST_F(ViewerViews, ViewsOfferNoWayToCloseOneAlone) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  for (int kind = 0; kind < 4; ++kind) {
    auto* sub = qobject_cast<QMdiSubWindow*>(View()->ViewWindow(kind));
    ASSERT_NE(sub, nullptr);
    SCOPED_TRACE(CMyMorvaneOGLView::ViewName(kind).toStdString());
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowCloseButtonHint);
    ASSERT_NE(sub->systemMenu(), nullptr);
    QStringList items;
    for (QAction* action : sub->systemMenu()->actions()) items << action->text();
    EXPECT_EQ(items, QStringList(
                         {"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "Stay on &Top"}));
    // Ctrl+F4 still asks the window to close; it stays.
    QTest::keyClick(sub, Qt::Key_F4, Qt::ControlModifier);
    EXPECT_FALSE(sub->close());
    EXPECT_TRUE(sub->isVisible());
  }
  EXPECT_EQ(View()->View(kSideView)->has_model(), 1);
}

TEST_F(ViewerViews, RebuildStepsThroughItsProgressAndFitsEveryView) {
  Start();
  std::vector<std::pair<std::string, int>> steps;
  QObject::connect(app_.get(), &CMyMorvaneOGLApp::SceneStep, [&](const QString& text, int percent) {
    steps.emplace_back(text.toStdString(), percent);
  });
  ImportNamed(SourcePath("examples/table.x"));
  const std::vector<std::pair<std::string, int>> expected = {
      {"Build OpenGL Model", 0}, {"", 20}, {"", 30}, {"", 40},
      {"Reset Views", 50},       {"", 55}, {"", 60}, {"", 65},
      {"Update Views", 70},      {"", 80}, {"", 90}, {"", 100}};
  EXPECT_EQ(steps, expected);
  // Each view was fitted with its own shape, so the scene fills 80 % of it.
  for (int kind = 0; kind < 4; ++kind) {
    const ViewNavigation& navigation = View()->View(kind)->navigation();
    const COpenGLWnd* view = View()->View(kind);
    EXPECT_DOUBLE_EQ(navigation.aspect(), double(view->width()) / view->height()) << kind;
    EXPECT_DOUBLE_EQ(navigation.zoom(), navigation.fit_factor(app_->Scene().box())) << kind;
  }
}

TEST_F(ViewerViews, SideViewWireChangesOnlyTheSideView) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  RunViewOptions(*this, [](ViewOptionsDialog* dialog) {
    EXPECT_EQ(dialog->Views()->currentItem()->text(), "User View");
    EXPECT_TRUE(Radio(dialog->RenderModes(), "&Shade")->isChecked());
    dialog->Views()->setCurrentRow(1);
    EXPECT_EQ(dialog->Views()->currentItem()->text(), "Side View");
    EXPECT_TRUE(Radio(dialog->RenderModes(), "&Edge")->isChecked());
    Radio(dialog->RenderModes(), "&Wire")->click();
  });
  EXPECT_EQ(View()->View(kSideView)->render_mode(), kRenderWire);
  EXPECT_EQ(View()->View(kSideView)->fast_render_mode(), kRenderBox);
  EXPECT_EQ(View()->View(kTopView)->render_mode(), kRenderEdge);
  EXPECT_EQ(View()->View(kFrontView)->render_mode(), kRenderEdge);
  EXPECT_EQ(View()->View(kUserView)->render_mode(), kRenderShade);
  EXPECT_EQ(View()->View(kUserView)->fast_render_mode(), kRenderEdge);
  Stop();
  EXPECT_EQ(StoredInt("vo_side"), 2);
  EXPECT_EQ(StoredInt("vo_top"), 1);
  EXPECT_EQ(StoredInt("vo_front"), 1);
  EXPECT_EQ(StoredInt("vo_user"), 3);
}

TEST_F(ViewerViews, CancelledViewOptionsChangeNothing) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  ModalDriver driver;
  driver.Then([](QWidget* modal) {
    auto* dialog = qobject_cast<ViewOptionsDialog*>(modal);
    if (dialog == nullptr) return false;
    Radio(dialog->FastRenderModes(), "&Point")->click();
    dialog->Titles()->click();
    ModalDriver::Click(ModalDriver::Button(dialog, "&Cancel"));
    return true;
  });
  driver.Run([&]() { app_->OnViewOptions(); });
  EXPECT_EQ(View()->View(kUserView)->fast_render_mode(), kRenderEdge);
  EXPECT_EQ(View()->ViewTitle(), 1);
}

TEST_F(ViewerViews, KeyFourOverTheFrontViewIsKeptAcrossARestart) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  COpenGLWnd* front = View()->View(kFrontView);
  // The user view has the focus, the pointer is over the front view: the key acts there.
  View()->View(kUserView)->setFocus();
  QCursor::setPos(front->mapToGlobal(front->rect().center()));
  QTest::qWait(50);
  ASSERT_EQ(View()->ViewAt(QCursor::pos()), front);
  QTest::keyClick(View()->View(kUserView), Qt::Key_4);
  EXPECT_EQ(front->render_mode(), kRenderShade);
  EXPECT_EQ(View()->View(kUserView)->render_mode(), kRenderShade);
  EXPECT_EQ(View()->View(kTopView)->render_mode(), kRenderEdge);
  // Shift+4 has no command.
  QTest::keyClick(Frame(), Qt::Key_2, Qt::ShiftModifier);
  EXPECT_EQ(front->render_mode(), kRenderShade);

  Restart();
  EXPECT_EQ(StoredInt("vo_front"), 3);
  EXPECT_EQ(View()->Pair(kFrontView).mode, 3);
  ImportNamed(SourcePath("examples/table.x"));
  EXPECT_EQ(View()->View(kFrontView)->render_mode(), kRenderShade);
}

TEST_F(ViewerViews, KeysOverNoViewDoNothing) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  QCursor::setPos(Frame()->mapToGlobal(QPoint(5, 5)));  // over the menu bar
  QTest::qWait(50);
  QTest::keyClick(Frame(), Qt::Key_6);
  for (int kind = 0; kind < 4; ++kind) EXPECT_NE(View()->View(kind)->render_mode(), kRenderPoint);
}

TEST_F(ViewerViews, SpaceMaximisesAndRestoresTheViewUnderThePointer) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  COpenGLWnd* side = View()->View(kSideView);
  QCursor::setPos(side->mapToGlobal(side->rect().center()));
  QTest::qWait(50);
  QTest::keyClick(Frame(), Qt::Key_Space);
  QTest::qWait(50);
  EXPECT_TRUE(View()->IsMaximized(kSideView));
  EXPECT_GT(side->width(), View()->width() * 3 / 4);
  QCursor::setPos(side->mapToGlobal(side->rect().center()));
  QTest::qWait(50);
  QTest::keyClick(Frame(), Qt::Key_Space);
  QTest::qWait(50);
  EXPECT_FALSE(View()->IsMaximized(kSideView));
  EXPECT_EQ(View()->ViewWindow(kSideView)->geometry(), View()->Quarter(kSideView));
}

TEST_F(ViewerViews, ViewTitlesOffRebuildsPlainViewsAndIsStored) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  RunViewOptions(*this, [](ViewOptionsDialog* dialog) { dialog->Titles()->click(); });
  QTest::qWait(100);
  ASSERT_TRUE(View()->ViewsExist());
  for (int kind = 0; kind < 4; ++kind) {
    EXPECT_EQ(qobject_cast<QMdiSubWindow*>(View()->ViewWindow(kind)), nullptr);
    EXPECT_EQ(View()->ViewWindow(kind)->geometry(), View()->Quarter(kind));
    EXPECT_TRUE(View()->View(kind)->has_model());
  }
  // Plain views maximise too.
  COpenGLWnd* top = View()->View(kTopView);
  QCursor::setPos(top->mapToGlobal(top->rect().center()));
  QTest::qWait(50);
  QTest::keyClick(Frame(), Qt::Key_Space);
  EXPECT_EQ(View()->ViewWindow(kTopView)->geometry(), View()->rect());
  Stop();
  EXPECT_EQ(StoredInt("view_title"), 0);
}

// Draws every view in mode, saves the frame as a picture and returns each view's picture.
std::vector<QImage> Shoot(ViewerTest& test, int mode, const char* name) {
  for (int kind = 0; kind < 4; ++kind) {
    COpenGLWnd* view = test.View()->View(kind);
    view->set_render_modes(mode, mode);
    view->redraw();
  }
  QTest::qWait(300);
  std::vector<QImage> views;
  for (int kind = 0; kind < 4; ++kind) views.push_back(test.View()->View(kind)->grabFramebuffer());
  const QString path = QString(VIEWER_SCREENSHOT_DIR) + "/frame_" + name + ".png";
  EXPECT_TRUE(test.Frame()->grab().save(path)) << path.toStdString();
  return views;
}

TEST_F(ViewerViews, EveryModeDrawsTheModelInAllFourViews) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  const struct {
    int mode;
    const char* name;
  } kModes[] = {{kRenderBox, "box"},
                {kRenderEdge, "edge"},
                {kRenderWire, "wire"},
                {kRenderShade, "shade"},
                {kRenderDouble, "double"}};
  std::vector<std::vector<QImage>> shots;
  for (const auto& m : kModes) {
    shots.push_back(Shoot(*this, m.mode, m.name));
    for (int kind = 0; kind < 4; ++kind) {
      const double lit = LitShare(shots.back()[kind]);
      EXPECT_GT(lit, 0.002) << m.name << " draws nothing in " << kind;
      EXPECT_LT(lit, 0.9) << m.name << " fills view " << kind;
    }
  }
  // Filled modes cover more of the user view than line modes.
  EXPECT_GT(LitShare(shots[3][kUserView]), 2 * LitShare(shots[2][kUserView]));
  EXPECT_GT(LitShare(shots[4][kUserView]), 2 * LitShare(shots[1][kUserView]));
  // Different modes draw differently.
  EXPECT_NE(shots[0][kTopView], shots[1][kTopView]);
  EXPECT_NE(shots[1][kFrontView], shots[2][kFrontView]);
}

// "Model colours" draws a mesh that carries a colour in it after the rebuild it asks for,
// and is stored with the other view values.
TEST_F(ViewerViews, ModelColoursRebuildsInTheMeshesOwnColoursAndIsStored) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  auto* mesh = static_cast<Mesh3d*>(Commands().ImportedObjects().get(0));
  mesh->has_appearance = 1;
  const double rgba[4] = {0.25, 0.5, 0.75, 1.0};
  for (int i = 0; i < 4; ++i) mesh->appearance.rgba[i] = rgba[i];
  EXPECT_FALSE(View()->View(kTopView)->drawn_colours().at(0).from_model) << "off by default";
  RunViewOptions(*this, [](ViewOptionsDialog* dialog) {
    EXPECT_FALSE(dialog->ModelColoursBox()->isChecked());
    dialog->ModelColoursBox()->click();
  });
  QTest::qWait(100);
  for (int kind = 0; kind < 4; ++kind) {
    const ObjectColour& c = View()->View(kind)->drawn_colours().at(0);
    EXPECT_TRUE(c.from_model) << kind;
    EXPECT_DOUBLE_EQ(c.rgb.y, 0.5) << kind;
  }
  Stop();
  EXPECT_EQ(StoredInt("model_colours"), 1);
}

// Cancel in the scene's progress window stops the build: the views stay empty.
TEST_F(ViewerViews, CancelledSceneBuildLeavesTheViewsEmpty) {
  Start();
  bool clicked = false;
  std::function<void()> watch = [&]() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* progress = qobject_cast<SceneProgressDialog*>(w))
        if (progress->isVisible()) {
          progress->CancelButton()->click();
          clicked = true;
          return;
        }
    QTimer::singleShot(1, watch);
  };
  QTimer::singleShot(0, watch);
  ImportNamed(SourcePath("examples/table.x"));
  EXPECT_TRUE(clicked);
  ASSERT_TRUE(View()->ViewsExist());
  for (int kind = 0; kind < 4; ++kind) {
    EXPECT_EQ(View()->View(kind)->has_model(), 0) << kind;
    EXPECT_EQ(LitShare(View()->View(kind)->grabFramebuffer()), 0.0) << kind;
  }
  EXPECT_GT(Commands().MeshCount(), 0) << "the meshes stay; only their drawing was stopped";
}

}  // namespace
