// A plug-in library for the host tests. One source, built several times: TEST_CLASS_SET picks
// the class table, TEST_VERSION the reported interface version, TEST_OMIT_VERSION leaves the
// LibVersion export out.
#include <string>

#include "plugin_api/plugin_api.h"

#ifndef TEST_VERSION
#define TEST_VERSION PLUGIN_INTERFACE_VERSION
#endif

namespace {

class TestImporter final : public MeshImporter {
 public:
  void DeleteThis() override { delete this; }
  void Help() override {}
  void Configure() override {}
  ObjectList* ImportFile(const char* path) override {
    file_name_ = path;
    return nullptr;
  }
  ObjectList* Import() override { return nullptr; }
  const char* FileName() override { return file_name_.c_str(); }
  const char* FileFilter() override { return "Test (*.tst)|*.tst||"; }

 private:
  std::string file_name_;
};

class TestExporter final : public MeshExporter {
 public:
  void DeleteThis() override { delete this; }
  void Help() override {}
  void Configure() override {}
  void Export(ObjectList*, ExportMode, ExportFileNames*) override {}
};

class TestClass final : public ClassDescription {
 public:
  TestClass(const char* name, int super_class_id, std::uint32_t class_id)
      : name_(name), super_class_id_(super_class_id), class_id_(class_id) {}
  int ClassPublicFlag() override { return 1; }
  PluginObject* Create() override {
    if (super_class_id_ == MESH_EXPORT_CLASS) return new TestExporter;
    return new TestImporter;
  }
  const char* ClassName() override { return name_; }
  int SuperClassID() override { return super_class_id_; }
  std::uint32_t ClassID() override { return class_id_; }

 private:
  const char* name_;
  int super_class_id_;
  std::uint32_t class_id_;
};

#if TEST_CLASS_SET == 0
TestClass classes[] = {{"Test Import (*.tst)", MESH_IMPORT_CLASS, 0x7E570001u}};
#elif TEST_CLASS_SET == 1
TestClass classes[] = {{"Two Import (*.two)", MESH_IMPORT_CLASS, 0x7E570002u},
                       {"Two Export (*.two)", MESH_EXPORT_CLASS, 0x7E570003u}};
#elif TEST_CLASS_SET == 2
TestClass classes[] = {{"Other Kind", 0x2000, 0x0000ABCDu}};
#elif TEST_CLASS_SET == 3
// Claims two classes but gives a description only for the first.
TestClass classes[] = {{"Gap Import (*.gap)", MESH_IMPORT_CLASS, 0x7E570004u}};
#endif

#if TEST_CLASS_SET == 3
const int class_count = 2;
#elif TEST_CLASS_SET == 4
const int class_count = 0;
#else
const int class_count = sizeof(classes) / sizeof(classes[0]);
#endif

}  // namespace

extern "C" const char* LibName(void) { return TEST_LIB_NAME; }

extern "C" int LibNumberClasses(void) { return class_count; }

extern "C" ClassDescription* LibClassDescription(int index) {
#if TEST_CLASS_SET == 4
  (void)index;
  return nullptr;
#else
  const int available = sizeof(classes) / sizeof(classes[0]);
  if (index < 0 || index >= available) return nullptr;
  return &classes[index];
#endif
}

#ifndef TEST_OMIT_VERSION
extern "C" int LibVersion(void) { return TEST_VERSION; }
#endif
