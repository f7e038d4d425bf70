// Runs of the example plug-in in a process without a QApplication, as the batch converter
// and the tests drive plug-ins: no window appears, and the runs behave as described for
// headless use.

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>

#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "settings/path.h"
#include "settings/settings_store.h"

namespace {

// "<title> Mmm dd yyyy hh:mm:ss VC++50", the day padded with a blank.
bool is_banner(const std::string& line, const std::string& title) {
  const std::string tail = " VC++50";
  if (line.size() != title.size() + 1 + 11 + 1 + 8 + tail.size()) return false;
  if (line.compare(0, title.size() + 1, title + " ") != 0 ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  std::string stamp = line.substr(title.size() + 1, 20);  // "Sep  4 1999 10:14:17"
  const std::string form = "Aaa Dd 9999 99:99:99";
  for (std::size_t i = 0; i < form.size(); ++i) {
    char c = stamp[i];
    bool ok = form[i] == 'A'   ? std::isupper(static_cast<unsigned char>(c))
              : form[i] == 'a' ? std::islower(static_cast<unsigned char>(c))
              : form[i] == 'D' ? (c == ' ' || std::isdigit(static_cast<unsigned char>(c)))
              : form[i] == 'd' || form[i] == '9' ? std::isdigit(static_cast<unsigned char>(c))
                                                 : c == form[i];
    if (!ok) return false;
  }
  return true;
}

class HeadlessRun : public ::testing::Test, protected TriRunFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin.loaded());
    Prepare();
  }

  // The export's input: the meshes of an import of the model.
  ObjectList* import_model(MeshImporter* importer) { return importer->ImportFile(model.c_str()); }

  // The names an export that may use the stored ones finds: "stored.tri" and "stored.lst".
  void store_output_names() {
    SettingsWriteString("tri_out", "Specific Settings", "file_name",
                        folder.file("stored.tri").c_str());
    SettingsWriteString("tri_out", "Specific Settings", "file_name2",
                        folder.file("stored.lst").c_str());
  }
};

}  // namespace

TEST_F(HeadlessRun, ImportFileReadsFinishesAndKeepsTheDirectory) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ASSERT_NE(importer, nullptr);
  ObjectList* objects = importer->ImportFile(model.c_str());
  ASSERT_NE(objects, nullptr);
  ASSERT_EQ(objects->count(), 2);  // the mesh without triangles is left out
  auto* top = static_cast<Mesh3d*>(objects->get(0));
  EXPECT_STREQ(top->name(), "cube_top");
  EXPECT_EQ(top->vertices, nullptr);  // reduced to the flat form
  EXPECT_EQ(top->flat_face_count, 2);
  EXPECT_STREQ(importer->FileName(), model.c_str());
  EXPECT_EQ(current_directory(), start_directory);
  EXPECT_EQ(stored("tri_in", "Specific Settings", "file_name"), model);
  EXPECT_EQ(stored("tri_in", "Specific Settings", "path"), folder.path());
  EXPECT_EQ(stored("tri_in", "Common Settings", "size_value"), "1.000000");
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ImportFileWithARelativeNameFindsTheFileFromTheCallersDirectory) {
  std::string sub = folder.file("models");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  write_file(sub + "/cube.tri", two_mesh_file());
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->ImportFile("models/cube.tri");
  EXPECT_EQ(objects->count(), 2);
  EXPECT_STREQ(importer->FileName(), "models/cube.tri");
  EXPECT_EQ(current_directory(), folder.path());
  EXPECT_EQ(chdir(start_directory.c_str()), 0);
  importer->DeleteThis();
}

TEST_F(HeadlessRun, VerboseImportWritesBannerDumpMessagesAndStatisticsBesideTheFile) {
  SettingsWriteInt("tri_in", "Common Settings", "verbose_mode", 1);
  SettingsWriteDouble("tri_in", "Common Settings", "size_value", 2.0);
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->ImportFile(model.c_str());
  ASSERT_EQ(objects->count(), 2);
  // The log name has no folder: it lands in the folder of the imported file.
  std::vector<std::string> lines = split_lines(read_file(folder.file("triin.log")));
  ASSERT_GE(lines.size(), 14u);
  EXPECT_TRUE(is_banner(lines[0], "Triangle Import Plugin 0.1")) << lines[0];
  EXPECT_EQ(lines[1], "Options:");
  EXPECT_EQ(lines[2], "\t Common:");
  EXPECT_EQ(lines[3], "\t current directory: " + folder.path());
  EXPECT_EQ(lines[7], "\t size_value: 2.000000");
  EXPECT_EQ(lines[8], "\t Log File: triin.log");
  EXPECT_EQ(lines[10], "\t path: " + folder.path() + ":");
  EXPECT_EQ(lines[11], "\t file_name: " + model);
  EXPECT_EQ(lines[12], "Parsing " + model + " started ...");
  EXPECT_EQ(lines[13], "Statistic:");
  EXPECT_EQ(lines.back(), "Parsing finished");
  // No status line reaches the log.
  for (const std::string& line : lines) EXPECT_EQ(line.find("Sizing"), std::string::npos);
  auto* top = static_cast<Mesh3d*>(objects->get(0));
  EXPECT_EQ(top->bbox_max.z, 2.0);  // scaled by size_value
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ReaderThatThrowsKeepsItsMeshesAndLogsWhy) {
  write_file(model, "mesh first\ntri 0 0 0 1 0 0 0 1 0\nmesh second\nfail\n");
  SettingsWriteInt("tri_in", "Common Settings", "verbose_mode", 1);
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->ImportFile(model.c_str());
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(objects->count(), 1);
  std::vector<std::string> lines = split_lines(read_file(folder.file("triin.log")));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Run stopped: reader failed");
  EXPECT_EQ(current_directory(), start_directory);
  EXPECT_EQ(stored("tri_in", "Specific Settings", "file_name"), model);
  importer->DeleteThis();
}

TEST_F(HeadlessRun, VerboseTwoWritesNoLog) {
  SettingsWriteInt("tri_in", "Common Settings", "verbose_mode", 2);
  MeshImporter* importer = CreateImporter(plugin.import_class());
  importer->ImportFile(model.c_str());
  EXPECT_EQ(read_file(folder.file("triin.log")), "");
  EXPECT_FALSE(std::ifstream(folder.file("triin.log")).good());
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ImportWithoutWindowsGivesAnEmptyListAndStillSaves) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = importer->Import();
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(objects->count(), 0);
  EXPECT_STREQ(importer->FileName(), "");
  EXPECT_EQ(stored("tri_in", "Common Settings", "verbose_mode"), "0");
  importer->DeleteThis();
}

TEST_F(HeadlessRun, FileFilterRewritesTheSettings) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  EXPECT_STREQ(importer->FileFilter(), "Triangle File (*.tri)|*.tri|All Files (*.*)|*.*||");
  EXPECT_EQ(stored("tri_in", "Common Settings", "logfilename"), "triin.log");
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ConfigureAndHelpWithoutWindowsShowNothingAndRewriteTheSettings) {
  SettingsWriteString("tri_out", "Common Settings", "size_value", "2.5");
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  exporter->Help();
  exporter->Configure();
  EXPECT_EQ(stored("tri_out", "Common Settings", "size_value"), "2.500000");
  exporter->DeleteThis();
}

TEST_F(HeadlessRun, ExportModeZeroActsAsCancelled) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = import_model(importer);
  store_output_names();
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  exporter->Export(objects, EXPORT_ASK, nullptr);
  exporter->DeleteThis();
  EXPECT_FALSE(std::ifstream(folder.file("stored.tri")).good());
  EXPECT_EQ(stored("tri_out", "Common Settings", "ld_mode"), "0");  // saved all the same
  EXPECT_EQ(current_directory(), start_directory);
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ExportModeOneUsesTheStoredNames) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = import_model(importer);
  store_output_names();
  SettingsWriteInt("tri_out", "Common Settings", "ld_mode", 1);
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  exporter->Export(objects, EXPORT_ASK_OR_STORED, nullptr);
  exporter->DeleteThis();
  EXPECT_EQ(read_file(folder.file("stored.lst")), "cube_top 2\nwedge 1\n");
  EXPECT_EQ(read_file(folder.file("stored.tri")).substr(0, 14), "mesh cube_top\n");
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ExportModeTwoAppendsEachFilesExtensionToTheGivenNames) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = import_model(importer);
  std::string first = folder.file("out");
  std::string second = folder.file("list");
  ExportFileNames names{first.c_str(), second.c_str()};
  SettingsWriteInt("tri_out", "Common Settings", "verbose_mode", 1);
  SettingsWriteString("tri_out", "Common Settings", "logfilename", folder.file("x.log").c_str());
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  exporter->Export(objects, EXPORT_GIVEN_NAMES, &names);
  exporter->DeleteThis();
  EXPECT_EQ(read_file(folder.file("list.lst")), "cube_top 2\r\nwedge 1\r\n");
  EXPECT_EQ(stored("tri_out", "Specific Settings", "file_name"), first + ".tri");
  EXPECT_EQ(stored("tri_out", "Specific Settings", "file_name2"), second + ".lst");
  EXPECT_EQ(stored("tri_out", "Specific Settings", "path"), "");  // no chooser: unchanged
  std::vector<std::string> log = split_lines(read_file(folder.file("x.log")));
  ASSERT_GE(log.size(), 18u);
  EXPECT_EQ(log[7], "\t LineDelimiter: 0");
  EXPECT_EQ(log[13], "\t ext: tri");
  EXPECT_EQ(log[15], "\t file_name2: " + second + ".lst");
  EXPECT_EQ(log[17], "\t radius: 0.100000");
  // The host's list and its objects are untouched.
  EXPECT_EQ(objects->count(), 2);
  importer->DeleteThis();
}

TEST_F(HeadlessRun, ExportModeTwoWithoutNamesWritesNothing) {
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ObjectList* objects = import_model(importer);
  std::string first = folder.file("out");
  ExportFileNames only_first{first.c_str(), nullptr};
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  exporter->Export(objects, EXPORT_GIVEN_NAMES, nullptr);
  exporter->Export(objects, EXPORT_GIVEN_NAMES, &only_first);
  exporter->DeleteThis();
  EXPECT_FALSE(std::ifstream(folder.file("out.tri")).good());
  importer->DeleteThis();
}
