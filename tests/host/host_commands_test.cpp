// The converter's commands without a window: name check, import by name, clear, export refusals,
// counters, with the delivered plug-ins and a scripted user.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "host/extension_table.h"
#include "host/host_commands.h"
#include "host/plugin_manager.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "support/temp_folder.h"

namespace {

// Records what the commands tell the user and answers the "Change Name" dialog from a script.
class ScriptedUser : public HostUserInterface {
 public:
  void ShowMessage(const char* text, const char* title) override {
    messages.push_back(std::string(title) + ": " + text);
  }
  bool AskNewName(const std::string& old_name, const std::string& proposal,
                  std::string& entered) override {
    asked.push_back(old_name + " -> " + proposal);
    if (answers.empty()) return false;  // Cancel
    entered = answers.front();
    answers.pop_front();
    return true;
  }
  void ShowImportedFile(const std::string& file_name) override { files.push_back(file_name); }
  void SetBusy(bool busy) override { busy_calls.push_back(busy); }

  std::vector<std::string> messages, asked, files;
  std::deque<std::string> answers;
  std::vector<bool> busy_calls;
};

Mesh3d* mesh_named(const char* name) {
  auto* mesh = new Mesh3d(3, name);
  mesh->add_triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  mesh->to_flat();
  mesh->drop_tables();
  return mesh;
}

std::string name_at(const ObjectList& list, int i) {
  return static_cast<Obj3d*>(list.get(i))->name();
}

class HostCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    plugins.Scan(MORVANE_BINARY_DIR "/bin/plugin/", PLUGIN_INTERFACE_VERSION);
    ASSERT_GE(plugins.ClassCount(), 2) << "the delivered plug-ins are built";
    commands = new HostCommands(plugins, user);
    extensions.Append(".x", "XFILE ASCII (*.x)");
    extensions.Append(".dxf", "AutoCad (*.dxf)");
  }
  void TearDown() override {
    delete commands;  // importers end before the plug-ins are unloaded
  }
  std::string write_model(const char* name, const char* text) {
    std::string path = folder + "/" + name;
    std::ofstream(path) << text;
    return path;
  }

  TempFolder temp_{"host_commands_test"};
  const std::string folder = temp_.path();
  PluginManager plugins;
  ScriptedUser user;
  HostCommands* commands = nullptr;
  ExtensionTable extensions;
  ObjectList own{release_object};  // objects the tests make themselves
};

const char kCube[] =
    "xof 0302txt 0064\nMesh cube {\n 8;\n"
    " 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;,\n"
    " 0.0;0.0;1.0;, 1.0;0.0;1.0;, 1.0;1.0;1.0;, 0.0;1.0;1.0;;\n"
    " 6;\n 4;0,3,2,1;, 4;4,5,6,7;, 4;0,1,5,4;, 4;2,3,7,6;, 4;1,2,6,5;, 4;3,0,4,7;;\n}\n";

}  // namespace

TEST_F(HostCommandsTest, AutomaticNameCheckSkipsTakenNamesWithoutRegardToCase) {
  own.append(mesh_named("CUBE"));
  own.append(mesh_named("cube_0"));
  ASSERT_EQ(commands->TakeObjects(&own, NAME_CHECK_AUTOMATIC), 2);
  std::string path = write_model("cube.x", kCube);
  EXPECT_EQ(commands->ImportByName(path.c_str(), extensions, 0, NAME_CHECK_AUTOMATIC), 1);
  ASSERT_EQ(commands->ImportedObjects().count(), 3);
  EXPECT_EQ(name_at(commands->ImportedObjects(), 2), "cube_1");
  EXPECT_EQ(user.files, std::vector<std::string>{"cube.x"});
  EXPECT_EQ(commands->MeshCount(), 3);
  EXPECT_EQ(commands->FaceCount(), 14);
  EXPECT_EQ(commands->VertexCount(), 14);
}

TEST_F(HostCommandsTest, EqualNamesInsideOneImportAreCheckedToo) {
  own.append(mesh_named("a"));
  own.append(mesh_named("a"));
  own.append(mesh_named("A"));
  commands->TakeObjects(&own, NAME_CHECK_AUTOMATIC);
  EXPECT_EQ(name_at(commands->ImportedObjects(), 1), "a_0");
  EXPECT_EQ(name_at(commands->ImportedObjects(), 2), "A_1");
}

TEST_F(HostCommandsTest, ThousandsOfEqualNamesEachGetTheNextFreeNumber) {
  own.append(mesh_named("part_5"));
  for (int i = 0; i < 3000; ++i) own.append(mesh_named(i % 2 ? "PART" : "part"));
  ASSERT_EQ(commands->TakeObjects(&own, NAME_CHECK_AUTOMATIC), 3001);
  EXPECT_EQ(name_at(commands->ImportedObjects(), 1), "part");
  EXPECT_EQ(name_at(commands->ImportedObjects(), 2), "PART_0");
  EXPECT_EQ(name_at(commands->ImportedObjects(), 6), "PART_4");
  EXPECT_EQ(name_at(commands->ImportedObjects(), 7), "part_6");  // "part_5" was taken
  EXPECT_EQ(name_at(commands->ImportedObjects(), 3000), "PART_2999");
  for (int32_t i = 0; i < 3001; ++i)
    EXPECT_FALSE(commands->NameIsFree(name_at(commands->ImportedObjects(), i).c_str()));
}

TEST_F(HostCommandsTest, ManualNameCheckAsksUntilTheNameIsFreeAndCancelStopsTheTaking) {
  own.append(mesh_named("box"));
  commands->TakeObjects(&own, NAME_CHECK_NONE);
  ObjectList second(release_object);
  second.append(mesh_named("box"));
  second.append(mesh_named("box"));
  second.append(mesh_named("free"));
  user.answers = {"BOX", "lid"};  // taken, then free
  // The first clash is renamed to "lid"; the second is cancelled, and "free" stays out too.
  EXPECT_EQ(commands->TakeObjects(&second, NAME_CHECK_MANUAL), 1);
  EXPECT_EQ(user.asked, (std::vector<std::string>{"box -> box_0", "box -> box_0", "box -> box_0"}));
  ASSERT_EQ(commands->ImportedObjects().count(), 2);
  EXPECT_EQ(name_at(commands->ImportedObjects(), 1), "lid");
}

TEST_F(HostCommandsTest, UnknownNameCheckModeTakesNothing) {
  own.append(mesh_named("x"));
  EXPECT_EQ(commands->TakeObjects(&own, 3), 0);
  EXPECT_EQ(commands->ImportedObjects().count(), 0);
}

TEST_F(HostCommandsTest, ExtensionWithoutDeliveredClassIsNotRecognized) {
  // A row whose class is not loaded, and no row at all; no delivered class lists either.
  std::string path = write_model("MODEL.DXF", "dxf bytes");
  EXPECT_EQ(commands->ImportByName(path.c_str(), extensions, 1, NAME_CHECK_AUTOMATIC), 0);
  std::string other = write_model("model.iob", "iob bytes");
  commands->ImportByName(other.c_str(), extensions, 1, NAME_CHECK_AUTOMATIC);
  EXPECT_EQ(user.messages, (std::vector<std::string>{"Error: Extension not recognized!",
                                                     "Error: Extension not recognized!"}));
  EXPECT_EQ(commands->ImporterCount(), 0);
}

TEST_F(HostCommandsTest, EmptyImportByNameClearsNothingAndKeepsItsImporter) {
  own.append(mesh_named("kept"));
  commands->TakeObjects(&own, NAME_CHECK_AUTOMATIC);
  std::string path = write_model("empty.x", "xof 0302txt 0064\n");
  EXPECT_EQ(commands->ImportByName(path.c_str(), extensions, 1, NAME_CHECK_AUTOMATIC), 0);
  EXPECT_EQ(commands->ImportedObjects().count(), 1);
  EXPECT_EQ(commands->ImporterCount(), 1);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(HostCommandsTest, ClearFlagEmptiesTheListEvenWhenTheImportGaveNothing) {
  std::string path = write_model("cube.x", kCube);
  commands->ImportByName(path.c_str(), extensions, 0, NAME_CHECK_AUTOMATIC);
  ASSERT_EQ(commands->MeshCount(), 1);
  // Without windows the interactive import acts as a cancelled file chooser.
  commands->Import(1, NAME_CHECK_AUTOMATIC);
  EXPECT_EQ(user.messages, std::vector<std::string>{"Info: Nothing to import"});
  EXPECT_EQ(commands->ImportedObjects().count(), 0);
  EXPECT_EQ(commands->MeshCount(), 0);
  EXPECT_EQ(commands->ImporterCount(), 1) << "the empty importer stays until the next clear";
}

TEST_F(HostCommandsTest, ExportRefusesAnEmptyListAndMarksItselfBusy) {
  commands->Export();
  EXPECT_EQ(user.messages, std::vector<std::string>{"Error: Object List is empty"});
  EXPECT_TRUE(user.busy_calls.empty());

  std::string path = write_model("cube.x", kCube);
  commands->ImportByName(path.c_str(), extensions, 0, NAME_CHECK_AUTOMATIC);
  ASSERT_TRUE(commands->SelectExportClass("Direct 3D (*.x)"));
  std::string base = folder + "/out";
  ExportFileNames names = {base.c_str(), nullptr};
  commands->Export(EXPORT_GIVEN_NAMES, &names);
  EXPECT_EQ(user.busy_calls, (std::vector<bool>{true, false}));
  EXPECT_FALSE(commands->Busy());
  EXPECT_EQ(access((base + ".x").c_str(), R_OK), 0);
}

TEST_F(HostCommandsTest, StatisticsLineKeepsPercentSignsInNames) {
  own.append(mesh_named("100% done"));
  commands->TakeObjects(&own, NAME_CHECK_NONE);
  EXPECT_EQ(StatisticsLine(commands->ImportedObjects(), 0), "\t1\tMESH\t100% done\t1\t3");
}

TEST_F(HostCommandsTest, FifoNamedAsAModelIsNotWaitedOn) {
  std::string fifo = folder + "/pipe.x";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(commands->ImportByName(fifo.c_str(), extensions, 0, NAME_CHECK_AUTOMATIC), 0);
  EXPECT_EQ(commands->ImporterCount(), 1);
}

TEST_F(HostCommandsTest, RowOfAMissingClassFallsBackToTheClassListingTheExtension) {
  ExtensionTable table;
  table.Append(".X", "DirectX of a plug-in not installed (*.x)");
  table.Append(".xx", "Also missing (*.xx)");
  std::string path = write_model("cube.X", kCube);
  EXPECT_EQ(commands->ImportByName(path.c_str(), table, 0, NAME_CHECK_AUTOMATIC), 1);
  EXPECT_EQ(commands->MeshCount(), 1);
  // "XFILE ASCII (*.x)" lists "*.x", not "*.xx".
  std::string other = write_model("cube.xx", kCube);
  EXPECT_EQ(commands->ImportByName(other.c_str(), table, 0, NAME_CHECK_AUTOMATIC), 0);
  ASSERT_FALSE(user.messages.empty());
  EXPECT_EQ(user.messages.back(), "Error: Extension not recognized!");
}
