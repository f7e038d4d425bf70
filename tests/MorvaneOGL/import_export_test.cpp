// Moving meshes in and out of the viewer: the import dialog, "Import last", dropped files,
// the export dialog, and the refusals of the commands on an empty scene.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <functional>

#include "apps/MorvaneOGL/export_dialog.h"
#include "apps/MorvaneOGL/import_dialog.h"
#include "host/plugin_manager.h"
#include "host/ui/statistics_dialog.h"
#include "meshlib/mesh3d.h"
#include "viewer/scene_box.h"
#include "viewer_session.h"

namespace {

using ViewerImport = ViewerTest;

// A copy of the sample table under another name in folder.
std::string TableCopy(const QTemporaryDir& folder, const char* name) {
  const QString path = folder.path() + "/" + name;
  QFile::copy(QString::fromStdString(SourcePath("examples/table.x")), path);
  return path.toStdString();
}

std::string MeshName(const ObjectList& objects, int position) {
  return static_cast<Obj3d*>(objects.get(position))->name();
}

TEST_F(ViewerImport, DialogKeepsOnlyTheLastImportAndOkTakesIt) {
  Start();
  const std::string a = TableCopy(work_, "a.x"), b = TableCopy(work_, "b.x");
  int importers_while_open = -1;
  ModalDriver driver;
  driver
      .Then([](QWidget* modal) {
        auto* dialog = qobject_cast<ImportDialog*>(modal);
        if (dialog == nullptr) return false;
        EXPECT_EQ(dialog->ClassList()->currentText(), "XFILE ASCII (*.x)");
        EXPECT_EQ(dialog->Count("Mesh"), ":0");
        ModalDriver::Click(ModalDriver::Button(dialog, "&Import"));
        return true;
      })
      .Then(ModalDriver::ChooseFile(QString::fromStdString(a)))
      .Then([](QWidget* modal) {
        auto* dialog = qobject_cast<ImportDialog*>(modal);
        if (dialog == nullptr || dialog->Count("Mesh") == ":0") return false;
        EXPECT_EQ(dialog->Count("Mesh"), ":5");
        ModalDriver::Click(ModalDriver::Button(dialog, "&Import"));  // again: the first is dropped
        return true;
      })
      .Then(ModalDriver::ChooseFile(QString::fromStdString(b)))
      .Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<ImportDialog*>(modal);
        if (dialog == nullptr || dialog->Count("Mesh") == ":0" ||
            app_->Pending().Importer() == nullptr ||
            std::string(app_->Pending().Importer()->FileName()) != "b.x")
          return false;
        importers_while_open = Commands().ImporterCount();
        ModalDriver::Click(ModalDriver::Button(dialog, "&OK"));
        return true;
      });
  driver.Run([&]() { app_->OnImport(); });
  ASSERT_TRUE(driver.AllStepsDone());
  EXPECT_EQ(importers_while_open, 0);
  EXPECT_EQ(Commands().ImporterCount(), 1);
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Frame()->windowTitle(), "MorvaneOGL V3.5 b.x");
  EXPECT_EQ(app_->LastImportedFile(), "b.x");
  EXPECT_TRUE(View()->ViewsExist());
  EXPECT_EQ(app_->Scene().lights().count(), 4) << "the default lights of the new scene";
}

TEST_F(ViewerImport, CancelDropsTheImportAndKeepsTheScene) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  const std::string title = Frame()->windowTitle().toStdString();
  ModalDriver driver;
  driver.Then(ModalDriver::ClickInImportDialog("&Import"))
      .Then(ModalDriver::ChooseFile(QString::fromStdString(TableCopy(work_, "other.x"))))
      .Then(ModalDriver::ClickInImportDialog("&Cancel", true));
  driver.Run([&]() { app_->OnImport(); });
  ASSERT_TRUE(driver.AllStepsDone());
  EXPECT_EQ(Commands().ImporterCount(), 1);
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Frame()->windowTitle().toStdString(), title);
  EXPECT_TRUE(View()->ViewsExist());
}

// Cancel in the plug-in's progress window during a long import: the import dialog says
// nothing, and OK keeps the scene as it was.
TEST_F(ViewerImport, CancelledRunSaysNothingAndKeepsTheScene) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  const std::string title = Frame()->windowTitle().toStdString();
  const QString grid = work_.filePath("grid.x");
  {
    std::ofstream x(grid.toStdString());
    const int n = 250;
    x << "xof 0302txt 0064\nMesh grid {\n " << (n + 1) * (n + 1) << ";\n";
    for (int j = 0; j <= n; ++j)
      for (int i = 0; i <= n; ++i)
        x << " " << i << ";" << j << ";0;" << (i + j < 2 * n ? ",\n" : ";\n");
    x << " " << n * n << ";\n";
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        const int a = j * (n + 1) + i;
        x << " 4;" << a << "," << a + 1 << "," << a + n + 2 << "," << a + n + 1 << ";"
          << (i + j < 2 * n - 2 ? ",\n" : ";\n");
      }
    x << "}\n";
  }
  bool cancelled = false;
  std::function<void()> watch = [&]() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->inherits("ProgressDialog"))
        for (auto* button : w->findChildren<QPushButton*>())
          if (button->property("controlId").toInt() == 2) {
            button->click();
            cancelled = true;
            return;
          }
    QTimer::singleShot(2, watch);
  };
  ModalDriver driver;
  driver.Then(ModalDriver::ClickInImportDialog("&Import"))
      .Then([&](QWidget* modal) {
        QTimer::singleShot(0, watch);
        return ModalDriver::ChooseFile(grid)(modal);
      })
      .Then([&](QWidget* modal) {
        // OK once the run has ended: its progress window is gone.
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w->inherits("ProgressDialog")) return false;
        return cancelled && ModalDriver::ClickInImportDialog("&OK")(modal);
      });
  driver.Run([&]() { app_->OnImport(); });
  EXPECT_TRUE(driver.AllStepsDone());
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(driver.Messages().empty());
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Frame()->windowTitle().toStdString(), title);
}

TEST_F(ViewerImport, OkWithoutClearAddsRenamedMeshes) {
  SettingsWriteInt("MorvaneOGL", "Settings", "clear_flag", 0);
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  ImportWithDialog(TableCopy(work_, "again.x"));
  ASSERT_EQ(Commands().MeshCount(), 10);
  EXPECT_EQ(MeshName(Commands().ImportedObjects(), 5),
            MeshName(Commands().ImportedObjects(), 0) + "_0");
  EXPECT_EQ(Commands().ImporterCount(), 2);
  EXPECT_EQ(Frame()->Pane(1)->text(), "M:10");
}

TEST_F(ViewerImport, EmptyImportSaysNoMeshesFound) {
  Start();
  ModalDriver driver;
  driver.Then(ModalDriver::ClickInImportDialog("&Import"))
      .Then(ModalDriver::CancelFileChooser())
      .Then([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return false;
        EXPECT_EQ(box->windowTitle(), "Info");
        EXPECT_EQ(box->text(), "No meshes found to import!");
        QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
        return true;
      })
      .Then(ModalDriver::ClickInImportDialog("&OK"));
  driver.Run([&]() { app_->OnImport(); });
  EXPECT_TRUE(driver.AllStepsDone());
  // The importer of the empty import is kept all the same; nothing is shown.
  EXPECT_EQ(Commands().ImporterCount(), 1);
  EXPECT_EQ(Commands().MeshCount(), 0);
  EXPECT_FALSE(View()->ViewsExist());
  EXPECT_TRUE(driver.Messages().empty());
}

TEST_F(ViewerImport, ImportLastUsesTheStoredNameInTheCurrentFolder) {
  Start();
  const std::string path = TableCopy(work_, "last.x");
  ImportWithDialog(path);
  ASSERT_EQ(app_->LastImportedFile(), "last.x");
  ASSERT_EQ(Commands().ImporterCount(), 1);

  // The name has no folder: from the file's folder it is found again...
  QDir::setCurrent(work_.path());
  EXPECT_TRUE(Messages([&]() { app_->OnImportLast(); }).empty());
  EXPECT_EQ(Commands().ImporterCount(), 1) << "cleared first, then the new importer";
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Frame()->windowTitle(), "MorvaneOGL V3.5 last.x");

  // ...from elsewhere the file is missing, and the scene stays as it was.
  QTemporaryDir elsewhere;
  QDir::setCurrent(elsewhere.path());
  Messages([&]() { app_->OnImportLast(); });
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Commands().ImporterCount(), 2);
}

TEST_F(ViewerImport, DroppingThreeFilesImportsOnlyTheFirst) {
  Start();
  const std::string first = TableCopy(work_, "first.x");
  const std::string second = TableCopy(work_, "second.x");
  const std::string third = TableCopy(work_, "third.x");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                QUrl::fromLocalFile(QString::fromStdString(second)),
                QUrl::fromLocalFile(QString::fromStdString(third))});
  // A drop follows the drag's entry, which the frame accepts for local files.
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Frame(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Frame(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  QTRY_COMPARE(Commands().ImporterCount(), 1);
  QTest::qWait(300);
  EXPECT_EQ(Commands().ImporterCount(), 1);
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Frame()->windowTitle(), "MorvaneOGL V3.5 first.x");
  EXPECT_TRUE(View()->ViewsExist());
}

TEST_F(ViewerImport, EveryRefusalSaysWhyWithItsTitle) {
  Start();
  EXPECT_EQ(Messages([&]() { app_->OnExport(); }),
            (std::vector<SeenMessage>{{"Export", "No meshes to export"}}));
  EXPECT_EQ(Messages([&]() { app_->OnStatistic(); }),
            (std::vector<SeenMessage>{{"Statistics", "No meshes to explore"}}));
  EXPECT_EQ(Messages([&]() { app_->OnLightSetup(); }),
            (std::vector<SeenMessage>{{"Light Setup", "No scene to display"}}));
  EXPECT_EQ(Messages([&]() { app_->RebuildScene(); }),
            (std::vector<SeenMessage>{{"Info", "No meshes to display"}}));
  const auto unknown = ImportNamed(TableCopy(work_, "MODEL.DXF"));
  ASSERT_FALSE(unknown.empty());
  EXPECT_EQ(unknown[0], (SeenMessage{"Error", "Extension not recognized!"}));
  EXPECT_EQ(Commands().ImporterCount(), 0);
}

TEST_F(ViewerImport, RoadOfOneFileImportsShowsAndExports) {
  Start();
  ImportWithDialog(SourcePath("examples/table.x"));
  ASSERT_EQ(Commands().MeshCount(), 5);
  ASSERT_TRUE(View()->ViewsExist());
  for (int kind = 0; kind < 4; ++kind) EXPECT_TRUE(View()->View(kind)->has_model()) << kind;

  const QString out = work_.path() + "/written.x";
  ModalDriver driver;
  driver
      .Then([](QWidget* modal) {
        auto* dialog = qobject_cast<ExportDialog*>(modal);
        if (dialog == nullptr) return false;
        const int direct3d = dialog->ClassList()->findText("Direct 3D (*.x)");
        EXPECT_GE(direct3d, 0);
        dialog->ClassList()->setCurrentIndex(direct3d);
        emit dialog->ClassList()->activated(direct3d);
        ModalDriver::Click(ModalDriver::Button(dialog, "&Export"));
        return true;
      })
      .Then(ModalDriver::ChooseFile(out))
      .Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<ExportDialog*>(modal);
        if (dialog == nullptr || !QFile::exists(out) || Commands().Busy()) return false;
        ModalDriver::Click(ModalDriver::Button(dialog, "&Close"));
        return true;
      });
  driver.Run([&]() { app_->OnExport(); });
  ASSERT_TRUE(driver.AllStepsDone());
  QFile written(out);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QByteArray text = written.readAll();
  EXPECT_TRUE(text.startsWith("xof 0302txt")) << text.left(40).toStdString();

  // What was written reads back with the same counts.
  const int faces = Commands().FaceCount();
  ImportNamed(out.toStdString());
  EXPECT_EQ(Commands().MeshCount(), 5);
  EXPECT_EQ(Commands().FaceCount(), faces);
}

TEST_F(ViewerImport, FrameStaysOpenWhileTheImportDialogOrAnExportRuns) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  std::vector<bool> closed;
  auto try_close = [&]() { closed.push_back(Frame()->close()); };
  ModalDriver import;
  import.Then([&](QWidget* modal) {
    if (qobject_cast<ImportDialog*>(modal) == nullptr) return false;
  try_close();
  ModalDriver::Click(ModalDriver::Button(modal, "&Cancel"));
  return true;
});
  import.Run([&]() { app_->OnImport();
  }  // namespace
);
ModalDriver exporting;
exporting
    .Then([](QWidget* modal) {
      if (qobject_cast<ExportDialog*>(modal) == nullptr) return false;
      ModalDriver::Click(ModalDriver::Button(modal, "&Export"));
      return true;
    })
    .Then([&](QWidget* modal) {
      if (qobject_cast<QFileDialog*>(modal) == nullptr) return false;
      try_close();  // the exporter asks for its file: the export runs
      QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
      return true;
    })
    .Then([](QWidget* modal) {
      if (qobject_cast<ExportDialog*>(modal) == nullptr) return false;
      ModalDriver::Click(ModalDriver::Button(modal, "&Close"));
      return true;
    });
exporting.Run([&]() { app_->OnExport(); });
ASSERT_TRUE(import.AllStepsDone() && exporting.AllStepsDone());
EXPECT_EQ(closed, std::vector<bool>({false, false}));
EXPECT_TRUE(Frame()->isVisible());
EXPECT_EQ(Commands().MeshCount(), 5);
}

TEST_F(ViewerImport, StatisticsOffersDetails) {
  Start();
  ImportNamed(SourcePath("examples/table.x"));
  ModalDriver driver;
  driver.Then([](QWidget* modal) {
    auto* dialog = qobject_cast<StatisticsDialog*>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->Lines().size(), 5);
    EXPECT_NE(ModalDriver::Button(dialog, "&Details"), nullptr);
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    return true;
  });
  driver.Run([&]() { app_->OnStatistic(); });
  EXPECT_TRUE(driver.AllStepsDone());
}

}  // namespace
