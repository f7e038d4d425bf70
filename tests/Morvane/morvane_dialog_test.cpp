// The converter's main window as the user sees it: start-up with and without plug-ins, the
// class lists, counters and title after an import, the refusals, the dialogs, and what is
// stored at exit.

#include <gtest/gtest.h>

#include "support/file_text.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "apps/Morvane/morvane_dialog.h"
#include "host/host_commands.h"
#include "host/host_settings.h"
#include "host/plugin_summary.h"
#include "host/ui/detail_dialog.h"
#include "host/ui/host_options_dialog.h"
#include "host/ui/plugin_info_dialog.h"
#include "host/ui/statistics_dialog.h"
#include "meshlib/mesh3d.h"
#include "settings/settings_store.h"
#include "support/choose_file.h"
#include "support/temp_folder.h"
#include "support/test_application.h"

namespace {

const char kCube[] =
    "xof 0302txt 0064\nMesh cube {\n 8;\n"
    " 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;,\n"
    " 0.0;0.0;1.0;, 1.0;0.0;1.0;, -0.5;1.0;1.0;, 0.0;1.0;1.0;;\n"
    " 6;\n 4;0,3,2,1;, 4;4,5,6,7;, 4;0,1,5,4;, 4;2,3,7,6;, 4;1,2,6,5;, 4;3,0,4,7;;\n}\n";

// Answers the next modal message box: records its title and text and presses OK.
struct MessageCatcher {
  QString title, text;
  int seen = 0;
  void Arm() {
    QTimer::singleShot(0, [this]() { Catch(); });
  }
  void Catch() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(20, [this]() { Catch(); });
      return;
    }
    ++seen;
    title = box->windowTitle();
    text = box->text();
    box->accept();
  }
};

class MorvaneDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_application("test_morvane"); }
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    std::ofstream(folder + "/cube.x") << kCube;
  }

  QString label(MorvaneDialog& dialog, int id) {
    return static_cast<QLabel*>(dialog.Control(id))->text();
  }
  std::string stored(const char* section, const char* name) {
    char value[1024] = "";
    SettingsReadString("test_morvane", section, name, "<missing>", value, sizeof value);
    return value;
  }

  TempFolder temp_{"morvane_dialog_test"};
  const std::string folder = temp_.path();
};

}  // namespace

TEST_F(MorvaneDialogTest, FirstStartFindsThePluginsAndStoresEveryDefaultAtExit) {
  {
    MorvaneDialog dialog(QByteArray(), nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Morvane V 3.5");
    auto* imports = static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kImportList));
    auto* exports = static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kExportList));
    ASSERT_EQ(imports->count(), 10);
    EXPECT_EQ(imports->itemText(0), "LDraw (*.dat)")
        << "brick_in.so is found before formats_in.so and xfile_in.so";
    EXPECT_EQ(imports->itemText(1), "glTF 2.0 (*.gltf, *.glb)");
    EXPECT_EQ(imports->itemText(9), "XFILE ASCII (*.x)");
    EXPECT_EQ(exports->count(), 12);
    EXPECT_EQ(imports->currentIndex(), 0);
    EXPECT_EQ(label(dialog, MorvaneDialog::kMeshCount), ":0");
    EXPECT_TRUE(dialog.Control(MorvaneDialog::kImportRun)->isEnabled());
    EXPECT_FALSE(dialog.Control(MorvaneDialog::kClear)->isEnabled()) << "nothing to clear yet";
    EXPECT_FALSE(dialog.Control(MorvaneDialog::kView)->isEnabled()) << "\"&View\" has no command";
  }
  EXPECT_EQ(stored("Settings", "Build"), "216");
  EXPECT_EQ(stored("Settings", "clear_flag"), "1");
  EXPECT_EQ(stored("Settings", "check_name_mode"), "2");
  EXPECT_EQ(stored("Settings", "plugin_path"), MORVANE_BINARY_DIR "/bin/plugin/");
  EXPECT_EQ(stored("Settings", "last_import_class"), "LDraw (*.dat)");
  unsigned long rows = 0;
  SettingsCountValues("test_morvane", "Settings\\extension", &rows);
  EXPECT_EQ(rows, 19u);
}

TEST_F(MorvaneDialogTest, NoPluginsLeavesTheListsEmptyAndTheGroupsDisabled) {
  QDir().mkpath(QString::fromStdString(folder + "/empty"));
  SettingsWriteString("test_morvane", "Settings", "plugin_path", (folder + "/empty/").c_str());
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kImportList))->currentText(),
            "(none)");
  EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kExportList))->currentText(),
            "(none)");
  for (int id :
       {MorvaneDialog::kImportOptions, MorvaneDialog::kImportHelp, MorvaneDialog::kImportRun,
        MorvaneDialog::kImportList, MorvaneDialog::kExportOptions, MorvaneDialog::kExportHelp,
        MorvaneDialog::kExportRun, MorvaneDialog::kExportList, MorvaneDialog::kClear,
        MorvaneDialog::kStatistic})
    EXPECT_FALSE(dialog.Control(id)->isEnabled()) << id;
  EXPECT_TRUE(dialog.Control(MorvaneDialog::kOptions)->isEnabled())
      << "the options still reach the plug-in path";
  EXPECT_EQ(dialog.Commands()->MeshCount(), 0) << "the named file is not imported";
}

TEST_F(MorvaneDialogTest, StoredClassesArePreselectedAndUnknownOnesSelectTheFirst) {
  SettingsWriteString("test_morvane", "Settings", "last_import_class", "XFILE ASCII (*.x)");
  SettingsWriteString("test_morvane", "Settings", "last_export_class", "No Such Class");
  MorvaneDialog dialog(QByteArray(), nullptr);
  EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kImportList))->currentText(),
            "XFILE ASCII (*.x)");
  EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(MorvaneDialog::kExportList))->currentIndex(), 0);
}

TEST_F(MorvaneDialogTest, NamedFileIsImportedIntoTitleAndCounters) {
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Morvane V 3.5 cube.x");
  EXPECT_EQ(label(dialog, MorvaneDialog::kMeshCount), ":1");
  EXPECT_EQ(label(dialog, MorvaneDialog::kFaceCount), ":12");
  EXPECT_EQ(label(dialog, MorvaneDialog::kVertexCount), ":8");
  for (int id : {MorvaneDialog::kExportRun, MorvaneDialog::kClear, MorvaneDialog::kStatistic})
    EXPECT_TRUE(dialog.Control(id)->isEnabled()) << id;

  static_cast<QPushButton*>(dialog.Control(MorvaneDialog::kClear))->click();
  EXPECT_EQ(label(dialog, MorvaneDialog::kMeshCount), ":0");
  EXPECT_FALSE(dialog.Control(MorvaneDialog::kStatistic)->isEnabled());
}

TEST_F(MorvaneDialogTest, RefusalsShowTheirMessageAndTitle) {
  std::ofstream(folder + "/MODEL.DXF") << "dxf";
  MessageCatcher catcher;
  catcher.Arm();
  MorvaneDialog dialog(QByteArray((folder + "/MODEL.DXF").c_str()), nullptr);
  EXPECT_EQ(catcher.seen, 1);
  EXPECT_EQ(catcher.title, "Error");
  EXPECT_EQ(catcher.text, "Extension not recognized!");

  catcher.Arm();
  dialog.Commands()->Export();
  EXPECT_EQ(catcher.seen, 2);
  EXPECT_EQ(catcher.text, "Object List is empty");
}

TEST_F(MorvaneDialogTest, StatisticsAndDetailsShowAndRenameTheMesh) {
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  StatisticsDialog statistics(dialog.Commands()->ImportedObjects(), false, &dialog);
  EXPECT_EQ(statistics.windowTitle(), "Morvane Statistic");
  EXPECT_EQ(statistics.Lines(), QStringList{"\t1\tMESH\tcube\t12\t8"});
  EXPECT_EQ(statistics.List()->currentItem(), statistics.List()->topLevelItem(0));

  auto* mesh = static_cast<Mesh3d*>(dialog.Commands()->ImportedObjects().get(0));
  QTimer::singleShot(0, [&]() {
    auto* detail = qobject_cast<DetailDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->windowTitle(), "Morvane Detailed Statistics");
    EXPECT_EQ(detail->Field("Min X"), "-0.500");
    EXPECT_EQ(detail->Field("Faces"), "12");
    detail->NameField()->setText("box 50%");
    detail->accept();
  });
  statistics.ShowDetails(statistics.List()->topLevelItem(0));
  EXPECT_STREQ(mesh->name(), "box 50%");
  EXPECT_EQ(statistics.Lines(), QStringList{"\t1\tMESH\tbox 50%\t12\t8"});
}

TEST_F(MorvaneDialogTest, DetailRenameToATakenNameIsAccepted) {
  std::ofstream(folder + "/second.x") << kCube;
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  dialog.Commands()->ImportByName((folder + "/second.x").c_str(), dialog.Settings().Extensions(), 0,
                                  NAME_CHECK_AUTOMATIC);
  StatisticsDialog statistics(dialog.Commands()->ImportedObjects(), false, &dialog);
  ASSERT_EQ(statistics.Lines(),
            (QStringList{"\t1\tMESH\tcube\t12\t8", "\t2\tMESH\tcube_0\t12\t8"}));
  QTimer::singleShot(0, [&]() {
    auto* detail = qobject_cast<DetailDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(detail, nullptr);
    detail->NameField()->setText("cube");
    detail->accept();
  });
  statistics.ShowDetails(statistics.List()->topLevelItem(1));
  EXPECT_EQ(statistics.Lines(), (QStringList{"\t1\tMESH\tcube\t12\t8", "\t2\tMESH\tcube\t12\t8"}));
  EXPECT_EQ(statistics.List()->currentItem(), statistics.List()->topLevelItem(1));
}

TEST_F(MorvaneDialogTest, AboutBoxShowsTitleAndBuild) {
  MorvaneDialog dialog(QByteArray(), nullptr);
  MessageCatcher catcher;
  catcher.Arm();
  dialog.ShowAbout();
  EXPECT_EQ(catcher.title, "Info über Morvane");
  EXPECT_EQ(catcher.text, "Morvane V 3.5\nBuild: 216");
}

TEST_F(MorvaneDialogTest, PluginInfoListsTheLibrariesAndSavesThem) {
  MorvaneDialog dialog(QByteArray(), nullptr);
  QStringList shown;
  {
    MessageCatcher catcher;
    PluginInfoDialog info(PluginSummaryLines(dialog.Plugins()), &dialog);
    for (int i = 0; i < info.List()->count(); ++i) shown << info.List()->item(i)->text();
    EXPECT_TRUE(shown.contains("        Libraries: 7"));
    EXPECT_TRUE(shown.contains("        Classes: 22"));
    EXPECT_TRUE(info.SaveTo(QString::fromStdString(folder + "/summary.txt")));
    std::string saved = read_file(folder + "/summary.txt");
    EXPECT_NE(saved.find(" Summary:\n\tLibraries: 7\n\tClasses: 22\n"), std::string::npos);
    catcher.Arm();
    EXPECT_FALSE(info.SaveTo(QString::fromStdString(folder + "/no/such/folder/summary.txt")));
    EXPECT_EQ(catcher.text, "FileOpen Error");
    EXPECT_EQ(catcher.title, "Error");
  }
}

TEST_F(MorvaneDialogTest, OptionsDialogKeepsItsValuesByEitherButton) {
  MorvaneDialog dialog(QByteArray(), nullptr);
  HostOptionsDialog options(dialog.Settings(), false, &dialog);
  EXPECT_EQ(options.windowTitle(), "Morvane Configuration");
  options.ChooseFolder("/opt/morvane/plugins");
  options.reject();
  EXPECT_EQ(dialog.Settings().PluginPath(), "/opt/morvane/plugins/");
}

TEST_F(MorvaneDialogTest, HandedOverFileRestoresTheWindowAndIsImported) {
  MorvaneDialog dialog(QByteArray(), nullptr);
  dialog.showMinimized();
  QTest::qWait(50);
  dialog.Activate(QByteArray((folder + "/cube.x").c_str()));
  EXPECT_TRUE(QTest::qWaitFor([&]() { return !dialog.isMinimized() && dialog.isVisible(); }, 2000));
  EXPECT_EQ(dialog.Commands()->MeshCount(), 1);
}

TEST_F(MorvaneDialogTest, ScreenshotWithAModelLoaded) {
  MorvaneDialog dialog(QByteArray(MORVANE_SOURCE_DIR "/examples/table.x"), nullptr);
  dialog.show();
  QApplication::processEvents();
  QDir().mkpath(MORVANE_BINARY_DIR "/screenshots");
  QPixmap shot = dialog.grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(MORVANE_BINARY_DIR "/screenshots/morvane_main.png"));
  EXPECT_EQ(dialog.windowTitle(), "Morvane V 3.5 table.x");
}

// The details of a mesh show the colour it carries: a swatch filled with it and its text.
TEST_F(MorvaneDialogTest, DetailsShowTheMeshColourAsSwatchAndText) {
  Mesh3d mesh(3, "brick");
  mesh.add_triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  mesh.to_flat();
  {
    DetailDialog plain(mesh, false);
    EXPECT_EQ(plain.Field("Colour"), "-");
  }
  mesh.has_appearance = 1;
  mesh.appearance.rgba[0] = 180 / 255.0, mesh.appearance.rgba[1] = 0.0;
  mesh.appearance.rgba[2] = 0.0, mesh.appearance.rgba[3] = 0.5;
  mesh.appearance.finish = Finish::kTransparent;
  DetailDialog detail(mesh, false);
  EXPECT_EQ(detail.Field("Colour"), "#B4000080 transparent");
  detail.show();
  auto* swatch = detail.findChild<QLabel*>("Swatch");
  ASSERT_NE(swatch, nullptr);
  const QImage pixels = swatch->grab().toImage();
  EXPECT_EQ(QColor(pixels.pixel(pixels.width() / 2, pixels.height() / 2)), QColor(180, 0, 0));
  detail.reject();
}

namespace {

// A DirectX grid of n x n quads: long enough to read that a test can act while it runs.
std::string grid_model(int n) {
  std::ostringstream x;
  x << "xof 0302txt 0064\nMesh grid {\n " << (n + 1) * (n + 1) << ";\n";
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i)
      x << " " << i << ".0;" << j << ".0;0.0;" << (i == n && j == n ? ";\n" : ",\n");
  x << " " << n * n << ";\n";
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int a = j * (n + 1) + i;
      x << " 4;" << a << "," << a + 1 << "," << a + n + 2 << "," << a + n + 1 << ";"
        << (i == n - 1 && j == n - 1 ? ";\n" : ",\n");
    }
  x << "}\n";
  return x.str();
}

// Runs step on the first window that test accepts, checking every few milliseconds while the
// program runs (also inside a plug-in run, which keeps the events flowing).
void when_window(std::function<bool(QWidget*)> test, std::function<void(QWidget*)> step) {
  QTimer::singleShot(5, [test, step]() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && test(w)) {
        step(w);
        return;
      }
    when_window(test, step);
  });
}

}  // namespace

// Cancel in the progress window stops the import at its next progress report: the meshes the
// window showed before stay, with "Clear at Import" set, and nothing is said.
TEST_F(MorvaneDialogTest, CancelInTheProgressWindowKeepsWhatWasThere) {
  std::ofstream(folder + "/grid.x") << grid_model(300);
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  dialog.show();
  ASSERT_EQ(dialog.Commands()->MeshCount(), 1);
  ASSERT_TRUE(dialog.Commands()->SelectImportClass("XFILE ASCII (*.x)"));
  MessageCatcher messages;
  messages.Arm();
  int progress_seen = -1;
  when_window([](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
              [&](QWidget* w) {
                choose_file(qobject_cast<QFileDialog*>(w), folder + "/grid.x");
                when_window(
                    [](QWidget* p) { return p->inherits("ProgressDialog"); },
                    [&](QWidget* p) {
                      progress_seen =
                          static_cast<QProgressBar*>(p->findChild<QProgressBar*>())->value();
                      for (auto* b : p->findChildren<QPushButton*>())
                        if (b->property("controlId").toInt() == 2) b->click();
                    });
              });
  dialog.Commands()->Import(1, 2);
  EXPECT_GE(progress_seen, 0) << "the progress window was there";
  EXPECT_LT(progress_seen, 100);
  EXPECT_EQ(dialog.Commands()->MeshCount(), 1);
  ASSERT_EQ(dialog.Commands()->ImportedObjects().count(), 1);
  EXPECT_STREQ(static_cast<Obj3d*>(dialog.Commands()->ImportedObjects().get(0))->name(), "cube");
  EXPECT_EQ(dialog.windowTitle(), "Morvane V 3.5 cube.x");
  QTest::qWait(50);
  EXPECT_EQ(messages.seen, 0) << messages.text.toStdString();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w->inherits("ProgressDialog"));
}

// Cancel while the model reader of an exchange format works (here one that never answers):
// the reader is ended, the list is kept and nothing is said.
TEST_F(MorvaneDialogTest, CancelEndsTheModelReaderAndKeepsWhatWasThere) {
  std::ofstream(folder + "/stuck.glb") << "glTF";
  setenv("MORVANE_READER_TEST_FAULT", "hang", 1);  // without Cancel: until ctest's time-out
  setenv("MORVANE_READER_SECONDS", "100000", 1);
  MorvaneDialog dialog(QByteArray((folder + "/cube.x").c_str()), nullptr);
  dialog.show();
  ASSERT_TRUE(dialog.Commands()->SelectImportClass("glTF 2.0 (*.gltf, *.glb)"));
  MessageCatcher messages;
  messages.Arm();
  bool cancelled = false;
  when_window([](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
              [&](QWidget* w) {
                choose_file(qobject_cast<QFileDialog*>(w), folder + "/stuck.glb");
                when_window([](QWidget* p) { return p->inherits("ProgressDialog"); },
                            [&](QWidget* p) {
                              for (auto* b : p->findChildren<QPushButton*>())
                                if (b->property("controlId").toInt() == 2) b->click();
                              cancelled = true;
                            });
              });
  dialog.Commands()->Import(1, 2);
  unsetenv("MORVANE_READER_TEST_FAULT");
  unsetenv("MORVANE_READER_SECONDS");
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(dialog.Commands()->MeshCount(), 1);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no reader left, running or unreaped";
  QTest::qWait(50);
  EXPECT_EQ(messages.seen, 0) << messages.text.toStdString();
}

// A DirectX polygon whose cut would take longer than the run may work (the limit lowered for
// the test) is left out whole, and a warning says so; the file's other faces are imported.
TEST_F(MorvaneDialogTest, FaceLeftOutIsNamedInAWarning) {
  std::ostringstream comb;  // a comb of 2000 corners: its cut takes many steps
  comb << "xof 0302txt 0064\nMesh comb {\n 2003;\n";
  for (int i = 0; i < 500; ++i) comb << 2 * i << ";0;0;, " << 2 * i + 1 << ";0;0;,\n";
  for (int i = 499; i >= 0; --i) comb << 2 * i + 1 << ";5;0;, " << 2 * i << ";1;0;,\n";
  comb << "0;9;0;, 1;9;0;, 0;10;0;;\n 2;\n 2000;";
  for (int i = 0; i < 2000; ++i) comb << i << (i < 1999 ? "," : ";,\n");
  comb << " 3;2000,2001,2002;;\n}\n";
  std::ofstream(folder + "/comb.x") << comb.str();
  setenv("MORVANE_CUT_STEPS", "1000", 1);
  MessageCatcher warning;
  warning.Arm();
  MorvaneDialog dialog(QByteArray((folder + "/comb.x").c_str()), nullptr);
  unsetenv("MORVANE_CUT_STEPS");
  EXPECT_EQ(warning.seen, 1);
  EXPECT_EQ(warning.title, "Direct X Import");
  EXPECT_EQ(warning.text,
            "Warning: face 0 left out: its polygon of 2000 corners is too large to cut");
  ASSERT_EQ(dialog.Commands()->MeshCount(), 1);
  EXPECT_EQ(static_cast<Mesh3d*>(dialog.Commands()->ImportedObjects().get(0))->flat_face_count, 1);
}

// An LDraw model whose parts are not on the search path: a warning names them and the
// folders, and the parts that were found are imported.
TEST_F(MorvaneDialogTest, PartsNotFoundAreNamedInAWarning) {
  std::ofstream(folder + "/car.dat") << "1 4 0 0 0 1 0 0 0 1 0 0 0 1 wheel.dat\n"
                                        "3 16 0 0 0 1 0 0 0 1 0\n";
  SettingsWriteString("brick_in", "Specific Settings", "search_path",
                      (folder + "/ldraw/parts;").c_str());
  MessageCatcher warning;
  warning.Arm();
  MorvaneDialog dialog(QByteArray((folder + "/car.dat").c_str()), nullptr);
  EXPECT_EQ(warning.seen, 1);
  EXPECT_EQ(warning.title, "LDraw (Lego) Import");
  EXPECT_TRUE(warning.text.startsWith("1 part was not found:\n    wheel.dat\n"))
      << warning.text.toStdString();
  EXPECT_TRUE(warning.text.contains(QString::fromStdString("\n    " + folder + "/ldraw/parts\n")));
  EXPECT_EQ(dialog.Commands()->MeshCount(), 1) << "the model's own triangle";
}
