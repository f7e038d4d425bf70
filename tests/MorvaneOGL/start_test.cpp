// Start-up and shut-down of the viewer: the messages of the start, the view values read at
// start and written at exit, the classes remembered between runs.
#include <QLabel>
#include <QMdiSubWindow>

#include "host/plugin_manager.h"
#include "viewer_session.h"

namespace {

using ViewerStart = ViewerTest;

std::vector<SeenMessage> Only(const std::string& title, const std::string& text) {
  return {{title, text}};
}

// A plug-in folder that holds only the named plug-ins of the build.
std::string FolderWith(QTemporaryDir& folder, const std::vector<std::string>& plugins) {
  for (const std::string& name : plugins)
    QFile::link(QString(MORVANE_PLUGIN_DIR) + QString::fromStdString(name),
                folder.path() + "/" + QString::fromStdString(name));
  return folder.path().toStdString() + "/";
}

TEST_F(ViewerStart, FirstStartShowsDefaultsAndLoadsPlugins) {
  EXPECT_TRUE(Start().empty());
  EXPECT_EQ(Frame()->windowTitle(), "MorvaneOGL V3.5");
  EXPECT_EQ(Frame()->Message(), "Plugins successfully loaded");
  EXPECT_EQ(Frame()->minimumSize(), QSize(150, 200));
  EXPECT_EQ(Frame()->Pane(1)->text(), "M:0");
  EXPECT_EQ(Frame()->Pane(2)->text(), "F:0");
  EXPECT_EQ(Frame()->Pane(3)->text(), "V:0");
  EXPECT_TRUE(app_->ImportAvailable());
  EXPECT_TRUE(app_->ExportAvailable());
  EXPECT_FALSE(View()->ViewsExist());

  ImportNamed(SourcePath("examples/table.x"));
  ASSERT_TRUE(View()->ViewsExist());
  const int expected[4][2] = {{1, 0}, {1, 0}, {1, 0}, {3, 1}};
  for (int kind = 0; kind < 4; ++kind) {
    EXPECT_EQ(View()->View(kind)->render_mode(), expected[kind][0]) << kind;
    EXPECT_EQ(View()->View(kind)->fast_render_mode(), expected[kind][1]) << kind;
    auto* sub = qobject_cast<QMdiSubWindow*>(View()->ViewWindow(kind));
    ASSERT_NE(sub, nullptr) << "views have title bars at first";
    EXPECT_EQ(sub->windowTitle(), CMyMorvaneOGLView::ViewName(kind));
  }
  EXPECT_EQ(Frame()->windowTitle(), "MorvaneOGL V3.5 table.x");
  EXPECT_EQ(Frame()->Pane(1)->text(), "M:5");
  EXPECT_EQ(Frame()->Pane(2)->text(), QString("F:%1").arg(Commands().FaceCount()));
  EXPECT_EQ(Frame()->Pane(3)->text(), QString("V:%1").arg(Commands().VertexCount()));
  EXPECT_GT(Commands().FaceCount(), 0);

  Stop();
  EXPECT_EQ(StoredInt("view_title"), 1);
  EXPECT_EQ(StoredInt("vo_top"), 1);
  EXPECT_EQ(StoredInt("vo_top_fast"), 0);
  EXPECT_EQ(StoredInt("vo_user"), 3);
  EXPECT_EQ(StoredInt("vo_user_fast"), 1);
  EXPECT_EQ(StoredInt("Build"), 1049);
}

TEST_F(ViewerStart, NoPluginAtAllSaysSoAndOffersNothing) {
  QTemporaryDir empty;
  SetPluginPath(empty.path().toStdString() + "/");
  EXPECT_EQ(Start(), Only("Error", "No Plugin DLL found\nPlease check plugin path"));
  EXPECT_EQ(Frame()->Message(), "No plugins found");
  EXPECT_FALSE(app_->ImportAvailable());
  // A file by name then still gets a verdict, and nothing is imported.
  EXPECT_EQ(ImportNamed("/nowhere/model.abc")[0],
            (SeenMessage{"Error", "Extension not recognized!"}));
  EXPECT_EQ(Commands().ImportedObjects().count(), 0);
}

TEST_F(ViewerStart, NoImportPluginSaysSo) {
  QTemporaryDir folder;
  SetPluginPath(FolderWith(folder, {"xfile_out.so"}));
  EXPECT_EQ(Start(), Only("Error", "No Import Plugin DLL found\nPlease check plugin path"));
  EXPECT_EQ(Frame()->Message(), "No import plugins found");
  EXPECT_FALSE(app_->ImportAvailable());
}

TEST_F(ViewerStart, NoExportPluginSaysSoAndImportsNothing) {
  QTemporaryDir folder;
  SetPluginPath(FolderWith(folder, {"xfile_in.so"}));
  EXPECT_EQ(Start(), Only("Error", "No Export Plugin DLL found\nPlease check plugin path"));
  EXPECT_EQ(Frame()->Message(), "No export plugins found");
  EXPECT_FALSE(app_->ImportAvailable());
  EXPECT_FALSE(app_->ExportAvailable());
  ImportNamed(SourcePath("examples/table.x"));
  EXPECT_EQ(Commands().ImportedObjects().count(), 0);
}

TEST_F(ViewerStart, CommandLineFileIsImportedAndShown) {
  EXPECT_TRUE(Start(QByteArray(SourcePath("examples/table.x").c_str())).empty());
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_TRUE(View()->ViewsExist());
}

TEST_F(ViewerStart, LaterStartHandsItsFileOverAndEnds) {
  SingleInstance first("MorvaneOGLMutex");
  ASSERT_TRUE(first.IsFirst());
  Start(QByteArray(), &first);
  Frame()->showMinimized();
  QTest::qWait(100);

  SingleInstance later("MorvaneOGLMutex");
  EXPECT_FALSE(later.IsFirst());
  ASSERT_TRUE(later.HandOver(QByteArray(SourcePath("examples/table.x").c_str())));
  QTRY_COMPARE(Commands().MeshCount(), 5);
  EXPECT_FALSE(Frame()->isMinimized());
  EXPECT_TRUE(View()->ViewsExist());
}

TEST_F(ViewerStart, SelectedClassesAreRememberedAtExit) {
  Start();
  ASSERT_GE(Commands().ExportIndex().size(), 2u) << "rayinc_out brings several export classes";
  Commands().SelectExport(1);
  const std::string chosen = Commands().SelectedExportClass()->ClassName();
  Restart();
  EXPECT_EQ(Commands().ExportSelection(), 1);
  EXPECT_EQ(Commands().SelectedExportClass()->ClassName(), chosen);
}

}  // namespace
