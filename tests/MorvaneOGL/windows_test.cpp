// The viewer's windows as a desktop user meets them: a file handed over while a dialog is open,
// titles that fit their dialogs, and a frame that stays on the screen.
#include <QScreen>

#include "apps/MorvaneOGL/about_dialog.h"
#include "apps/MorvaneOGL/opengl_info_dialog.h"
#include "host/ui/window_fit.h"
#include "viewer_session.h"

namespace {

using ViewerWindows = ViewerTest;

TEST_F(ViewerWindows, FileHandedOverDuringADialogIsImportedWhenItCloses) {
  Start();
  int meshes_during = -1;
  bool views_during = true;
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    if (qobject_cast<AboutDialog*>(modal) == nullptr) return false;
    app_->Activate(QByteArray(SourcePath("examples/table.x").c_str()));
    QTimer::singleShot(300, modal, [&, modal]() {
      meshes_during = Commands().MeshCount();
      views_during = View()->ViewsExist();
      static_cast<QDialog*>(modal)->reject();
    });
    return true;
  });
  driver.Run([&]() { app_->OnAbout(); });
  EXPECT_EQ(meshes_during, 0) << "nothing is imported behind the open dialog";
  EXPECT_FALSE(views_during);
  QTRY_COMPARE(Commands().MeshCount(), 5);
  EXPECT_TRUE(View()->ViewsExist());
}

TEST_F(ViewerWindows, DialogsAreAtLeastAsWideAsTheirTitles) {
  Start();
  AboutDialog about(Frame());
  OpenGLInfoDialog info(Frame());
  for (QDialog* dialog : std::initializer_list<QDialog*>{&about, &info}) {
    dialog->show();
    EXPECT_GE(dialog->width(), WindowFit::TitleWidth(dialog->windowTitle()))
        << dialog->windowTitle().toStdString();
    dialog->hide();
  }
}

TEST_F(ViewerWindows, FrameLargerThanTheScreenOpensInsideIt) {
  // What a scale factor of 2 makes of the frame's size on this screen.
  Start();
  const QRect free = Frame()->screen()->availableGeometry();
  Frame()->hide();
  Frame()->setGeometry(free.x() + 200, free.y() + 150, free.width() * 2, free.height() * 2);
  Frame()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
  EXPECT_TRUE(free.contains(Frame()->frameGeometry()))
      << Frame()->frameGeometry().width() << "x" << Frame()->frameGeometry().height();
  // A dialog placed partly off the screen is moved onto it.
  AboutDialog about(Frame());
  about.move(free.right() - 10, free.bottom() - 10);
  about.show();
  EXPECT_TRUE(free.contains(about.geometry()));
}

}  // namespace
