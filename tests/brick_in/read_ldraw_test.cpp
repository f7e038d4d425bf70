// The LDraw import class end to end: settings in the store, ImportFile, the finished meshes
// and the log.
#include <gtest/gtest.h>

#include <memory>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"
#include "plugin_frame/plugin_run.h"
#include "plugin_frame/progress_callbacks.h"
#include "plugins/brick_in/ldraw_import.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/read_ldraw.h"
#include "settings/log_file.h"
#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

namespace {

const char kSquareQuad[] = "4 16 0 0 0 1 0 0 1 0 1 0 0 1\n";

// One import by name with the given search path, verbose, logging into the temp folder.
class Import {
 public:
  Import(const TempFolder& t, const std::string& model, const std::string& search_path,
         unsigned swap_mode = 0, unsigned unify_mode = 0) {
    {
      LDrawSettings settings;
      settings.search_path = search_path;
      settings.verbose_mode = 1;
      settings.swap_mode = static_cast<uint16_t>(swap_mode);
      settings.unify_mode = static_cast<uint16_t>(unify_mode);
      settings.size_value = 1.0;
      settings.logfilename = t / "brickin.log";
    }
    importer_ = CreateImporter(&ldraw_import_class);
    objects_ = importer_->ImportFile(model.c_str());
    log = t.read("brickin.log");
  }
  ~Import() { importer_->DeleteThis(); }

  std::vector<std::string> names() const {
    std::vector<std::string> n;
    for (int32_t i = 0; i < objects_->count(); ++i)
      n.push_back(static_cast<Obj3d*>(objects_->get(i))->name());
    return n;
  }
  Mesh3d* mesh(int32_t i) const { return static_cast<Mesh3d*>(objects_->get(i)); }
  int32_t count() const { return objects_->count(); }

  std::string log;

 private:
  MeshImporter* importer_ = nullptr;
  ObjectList* objects_ = nullptr;
};

std::size_t position_of(const std::string& text, const std::string& what) {
  std::size_t p = text.find(what);
  EXPECT_NE(p, std::string::npos) << "missing: " << what << "\nin:\n" << text;
  return p;
}

}  // namespace

TEST(LDrawImport, TwoPlacementsBecomeNumberedColouredMeshesWithDefaultLast) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model =
      t.write("m.dat", ref_line(4, 0, 0, 0, "3001.dat") + "3 16 0 0 0 1 0 0 0 1 0\n" +
                           ref_line(1, 0, 0, 0, "3001.dat"));
  Import run(t, model, t / "parts;");
  EXPECT_EQ(run.names(), (std::vector<std::string>{"3001_0_C4", "3001_1_C1", "_default"}));
  EXPECT_EQ(run.mesh(0)->flat_face_count, 2);
  EXPECT_EQ(run.mesh(0)->flat_vertex_count, 4);  // the quad's diagonal corners weld
  EXPECT_EQ(run.mesh(2)->flat_face_count, 1);
  EXPECT_EQ(run.mesh(0)->vertices, nullptr);  // reduced to the flat form
  // "Used Parts" names 3001.dat once
  std::size_t used = position_of(run.log, "Used Parts\nRef Name: 3001.dat\nScene Elements\n");
  EXPECT_LT(used, run.log.size());
}

TEST(LDrawImport, LogFollowsTheImportOrder) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model = t.write("m.dat", ref_line(4, 0, 0, 0, "3001.dat"));
  Import run(t, model, t / "parts;");
  std::size_t banner = position_of(run.log, "LDraw DAT Import Plugin 0.3 ");
  std::size_t started = position_of(run.log, "Parsing " + model + " started ...\n");
  std::size_t options = position_of(run.log, "Options:\n\t Common:\n\t current directory: ");
  std::size_t search = position_of(run.log, "\t part search path" + t / "parts;" + "\n");
  std::size_t reference =
      position_of(run.log, "Part Reference: 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n");
  std::size_t used = position_of(run.log, "Used Parts\n");
  std::size_t scene = position_of(run.log,
                                  "Scene Name: 3001_0_C4 (4) [Solid Red]\n"
                                  "Scene Name: _default (0) [Solid Black]\n");
  std::size_t stats = position_of(run.log, "Statistic:\nObject   : 3001_0_C4\n");
  std::size_t finished = position_of(run.log, "Parsing finished\n");
  EXPECT_EQ(banner, 0u);
  EXPECT_LT(started, options);
  EXPECT_LT(options, search);
  EXPECT_LT(search, reference);
  EXPECT_LT(reference, used);
  EXPECT_LT(used, scene);
  EXPECT_LT(scene, stats);
  EXPECT_LT(stats, finished);
  position_of(run.log, "\t File format specific:\n\t path: " + t.path());
  position_of(run.log, "\t file_name: " + model + "\n");
}

TEST(LDrawImport, ColoursAreDescribedInTheSceneLog) {
  TempFolder t;
  t.write("p.dat", kSquareQuad);
  std::string model =
      t.write("m.dat", ref_line(40, 0, 0, 0, "p.dat") + ref_line(16, 0, 0, 0, "p.dat") +
                           ref_line(41, 0, 0, 0, "p.dat") + ref_line(300, 0, 0, 0, "p.dat") +
                           ref_line(15, 0, 0, 0, "p.dat") + ref_line(99, 0, 0, 0, "p.dat") +
                           "1 0x2FF0000 0 0 0 1 0 0 0 1 0 0 0 1 p.dat\n");
  Import run(t, model, "");
  // Transparent colours name colour - 32: 40 is Dark Grey, 41 Light Blue.
  position_of(run.log,
              "Scene Name: p_0_C40 (40) [Clear Dark Grey]\n"
              "Scene Name: p_1_C16 (16) \n"
              "Scene Name: p_2_C41 (41) [Clear Light Blue]\n"
              "Scene Name: p_3_C300 (300) \n"
              "Scene Name: p_4_C15 (15) [Solid White]\n"
              "Scene Name: p_5_C99 (99) color unknown\n"
              "Scene Name: p_6_C50266112 (50266112) color unknown\n");
  EXPECT_EQ(run.count(), 7);
  position_of(run.log, "Min : <0.000000,0.000000,0.000000>\n");
}

TEST(LDrawImport, AxesTurnBeforeTheCommonSwap) {
  TempFolder t;
  t.write("p.dat", "3 16 1 2 3 1 2 3 1 2 3\n");
  std::string model = t.write("m.dat", ref_line(4, 0, 0, 0, "p.dat"));
  {
    Import run(t, model, "");
    ASSERT_EQ(run.count(), 1);
    const Vec3d& v = run.mesh(0)->flat_vertices[0];
    EXPECT_DOUBLE_EQ(v.x, 1);
    EXPECT_DOUBLE_EQ(v.y, 3);
    EXPECT_DOUBLE_EQ(v.z, -2);
  }
  Import swapped(t, model, "", 1);  // then x <-> y
  const Vec3d& v = swapped.mesh(0)->flat_vertices[0];
  EXPECT_DOUBLE_EQ(v.x, 3);
  EXPECT_DOUBLE_EQ(v.y, 1);
  EXPECT_DOUBLE_EQ(v.z, -2);
}

TEST(LDrawImport, UnifyTurnsAgainstWoundNeighboursOnlyWhenAsked) {
  TempFolder t;
  // Two triangles that both run along their shared edge from (0,0,0) to (1,0,0).
  t.write("p.dat", "3 16 0 0 0 1 0 0 0 1 0\n3 16 0 0 0 1 0 0 0 -1 0\n");
  std::string model = t.write("m.dat", ref_line(4, 0, 0, 0, "p.dat"));
  // +1 when face f runs from flat vertex a to b, -1 when from b to a.
  auto direction = [](const Mesh3d& m, int f, int a, int b) {
    const int32_t* v = m.flat_faces[f].v;
    for (int k = 0; k < 3; ++k) {
      if (v[k] == a && v[(k + 1) % 3] == b) return 1;
      if (v[k] == b && v[(k + 1) % 3] == a) return -1;
    }
    return 0;
  };
  for (unsigned unify : {0u, 1u}) {
    Import run(t, model, "", 0, unify);
    ASSERT_EQ(run.count(), 1);
    const Mesh3d& m = *run.mesh(0);
    ASSERT_EQ(m.flat_face_count, 2);
    const int along = direction(m, 0, 0, 1) * direction(m, 1, 0, 1);
    EXPECT_EQ(along, unify ? -1 : 1) << "unify " << unify;
  }
}

TEST(LDrawImport, MissingModelGivesNothingAndLogsIt) {
  TempFolder t;
  Import run(t, t / "absent.dat", "");
  EXPECT_EQ(run.count(), 0);
  std::size_t missing = position_of(run.log, "File " + t / "absent.dat" + " not found\n");
  EXPECT_LT(missing, position_of(run.log, "Parsing finished\n"));
}

TEST(LDrawImport, SearchPathOrderAndMissingFinalSemicolon) {
  TempFolder t;
  t.write("one/p.dat", "3 16 0 0 0 1 0 0 0 1 0\n");
  t.write("two/p.dat", kSquareQuad);
  t.write("two/q.dat", kSquareQuad);
  std::string model =
      t.write("models/m.dat", ref_line(4, 0, 0, 0, "p.dat") + ref_line(4, 0, 0, 0, "q.dat"));
  {
    Import both(t, model, t / "one;" + t / "two;");
    ASSERT_EQ(both.names(), (std::vector<std::string>{"p_0_C4", "q_0_C4"}));
    EXPECT_EQ(both.mesh(0)->flat_face_count, 1);
  }
  Import first_only(t, model, t / "one;" + t / "two");
  EXPECT_EQ(first_only.names(), (std::vector<std::string>{"p_0_C4"}));
  position_of(first_only.log, "\tFile q.dat not found\n");
}

// Without windows (the batch converter) the parts that were not found and the folders that
// were searched go to standard error, after the run; the parts that were found still come.
TEST(LDrawImport, PartsNotFoundAreNamedOnStandardErrorWithTheFoldersSearched) {
  TempFolder t;
  t.write("ldraw/parts/3001.dat", kSquareQuad);
  t.write("ldraw/p/stud.dat", kSquareQuad);
  const std::string search = t / "ldraw/parts;" + t / "ldraw/p;";
  struct Case {
    std::vector<std::string> missing;  // referred to, in this order, each twice
    std::string listed;                // the names and the count the message gives
  };
  const Case cases[] = {
      {{"s\\gone.dat"}, "1 part was not found:\n    s\\gone.dat\n"},
      {{"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "f.dat", "g.dat"},
       "7 parts were not found:\n    a.dat\n    b.dat\n    c.dat\n    d.dat\n    e.dat\n"
       "    and 2 more\n"},
  };
  for (const Case& c : cases) {
    std::string text = ref_line(4, 0, 0, 0, "3001.dat");
    for (int twice = 0; twice < 2; ++twice)
      for (const std::string& name : c.missing) text += ref_line(4, 0, 0, 0, name);
    const std::string model = t.write("models/car.dat", text);
    testing::internal::CaptureStderr();
    std::vector<std::string> names;
    {
      Import run(t, model, search);
      names = run.names();
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(names, std::vector<std::string>{"3001_0_C4"});
    EXPECT_EQ(err, "LDraw (Lego) Import: " + c.listed + "\nLooked in:\n    " + t / "ldraw/parts" +
                       "\n    " + t / "ldraw/p" + "\n    " + t / "models/" +
                       "\n\nThe folders are set in the import options (Add Part Directory).\n");
  }
  // A model whose parts are all found says nothing.
  const std::string whole = t.write("models/brick.dat", ref_line(4, 0, 0, 0, "3001.dat"));
  testing::internal::CaptureStderr();
  { Import run(t, whole, search); }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(LDrawImport, CorpusPyramidImportsEveryReference) {
  std::string corpus = std::string(MORVANE_CORPUS_DIR) + "/ldraw";
  std::string model = corpus + "/models/pyramid.ldr";
  if (TempFolder::read_file(model).empty()) GTEST_SKIP() << "no corpus at " << corpus;
  TempFolder t;
  Import run(t, model, corpus + "/parts;" + corpus + "/p;");
  std::vector<std::string> expected;
  for (int i = 0; i < 12; ++i) {
    int colour = i < 6 ? 1 : i < 10 ? 4 : 14;
    expected.push_back("3001_" + std::to_string(i) + "_C" + std::to_string(colour));
  }
  expected.push_back("3003_0_C0");
  EXPECT_EQ(run.names(), expected);
  EXPECT_EQ(run.log.find("not found"), std::string::npos);
  EXPECT_EQ(run.log.find("ERROR"), std::string::npos);
  for (int32_t i = 0; i < run.count(); ++i) EXPECT_GT(run.mesh(i)->flat_face_count, 100);
  // 3001 is placed on z-up axes: its top face sits at LDraw y = -24 - 0 -> system z = 24
  position_of(run.log, "Ref Name: s\\3001s01.dat\n");
}

namespace {

// Records what the run shows in its progress window.
class RecordingSink : public ProgressSink {
 public:
  void SetStatus(const char* text) override { statuses.push_back(text); }
  void SetFileProgress(int percent) override { file_percents.push_back(percent); }
  void SetMeshProgress(int) override {}
  std::vector<std::string> statuses;
  std::vector<int> file_percents;
};

}  // namespace

TEST(ReadLDraw, StatusLinesFrameTheRunAndFollowEachMesh) {
  TempFolder t;
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  t.write("p.dat", kSquareQuad);
  std::string model = t.write("m.dat", ref_line(4, 0, 0, 0, "p.dat") + kSquareQuad);
  LDrawSettings settings;
  settings.file_name.set(model);
  settings.search_path = "";
  RecordingSink sink;
  ProgressSink* previous = set_progress_sink(&sink);
  reset_progress_memory();
  ObjectList objects(release_object);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  LogFile log;
  PluginRun run(settings, &objects, callbacks, log, [] {});
  read_ldraw(run);
  set_progress_sink(previous);
  EXPECT_EQ(sink.statuses,
            (std::vector<std::string>{
                "Parsing " + model + " started ...      \n", "Sizing: p_0_C4\n",
                "Swapping axis: p_0_C4\n", "Unifying: p_0_C4\n", "Reducing: p_0_C4\n",
                "Sizing: _default\n", "Swapping axis: _default\n", "Unifying: _default\n",
                "Reducing: _default\n", "Parsing finished       \n"}));
  EXPECT_EQ(objects.count(), 2);
  ASSERT_FALSE(sink.file_percents.empty());
  EXPECT_EQ(sink.file_percents.front(), 0);
}

// A model of many references has its meshes built on a helper thread ahead of the hand-over:
// they still come in the model's order, and a run stopped by Cancel keeps exactly the meshes
// handed over until then (those built ahead are freed).
TEST(ReadLDraw, ManyReferencesComeInOrderAndCancelKeepsOnlyThoseHandedOver) {
  // Asks to stop once the list holds stop_after meshes.
  class StoppingSink : public RecordingSink {
   public:
    bool StopRequested() override { return stop_after >= 0 && list->count() >= stop_after; }
    int32_t stop_after = -1;
    const ObjectList* list = nullptr;
  };
  TempFolder t;
  TempFolder store;
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  t.write("p.dat", kSquareQuad);
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += ref_line(i % 15 + 1, 2.0 * i, 0, 0, "p.dat");
  std::string model = t.write("m.dat", lines);
  for (int32_t stop_after : {-1, 30}) {
    LDrawSettings settings;
    settings.file_name.set(model);
    settings.search_path = "";
    ObjectList objects(release_object);
    StoppingSink sink;
    sink.stop_after = stop_after;
    sink.list = &objects;
    ProgressSink* previous = set_progress_sink(&sink);
    reset_progress_memory();
    LogFile log;
    ProgressCallbacks callbacks = frame_progress_callbacks(true);
    PluginRun run(settings, &objects, callbacks, log, [] {});
    run.stop_on_cancel = true;
    bool cancelled = false;
    try {
      read_ldraw(run);
    } catch (const RunCancelled&) {
      cancelled = true;
    }
    set_progress_sink(previous);
    EXPECT_EQ(cancelled, stop_after >= 0);
    EXPECT_EQ(objects.count(), cancelled ? 30 : 100);
    for (int32_t i = 0; i < objects.count(); ++i)
      EXPECT_EQ(std::string(static_cast<Obj3d*>(objects.get(i))->name()),
                "p_" + std::to_string(i) + "_C" + std::to_string(i % 15 + 1));
  }
}
