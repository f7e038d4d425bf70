#include <gtest/gtest.h>

#include <string>

#include "host/extension_table.h"

TEST(ExtensionTable, ConverterDefaultsAreTheNineRowsThenTheDeliveredFormats) {
  ExtensionTable table = DefaultExtensionTable(HostProgram::Converter);
  ASSERT_EQ(table.Count(), 19);
  EXPECT_STREQ(table.Extension(0), ".3ds");
  EXPECT_STREQ(table.ClassName(1), "3D Studio (*.3ds, *.prj)");
  EXPECT_STREQ(table.Extension(4), ".lwo");
  EXPECT_STREQ(table.ClassName(4), "Lightwave (*.lwo)");
  EXPECT_STREQ(table.Extension(8), ".obj");
  EXPECT_STREQ(table.ClassName(8), "WaveFront (*.obj)");
  EXPECT_STREQ(table.Extension(9), ".x");
  EXPECT_STREQ(table.ClassName(9), "XFILE ASCII (*.x)");
  EXPECT_STREQ(table.Extension(10), ".dat");
  EXPECT_STREQ(table.ClassName(10), "LDraw (*.dat)");
  EXPECT_STREQ(table.Extension(11), ".ldr");
  EXPECT_STREQ(table.ClassName(11), "LDraw (*.dat)");
  const ExtensionTable added = ExchangeFormatRows();
  ASSERT_EQ(added.Count(), 7);
  for (int row = 0; row < added.Count(); ++row) {
    EXPECT_STREQ(table.Extension(12 + row), added.Extension(row));
    EXPECT_STREQ(table.ClassName(12 + row), added.ClassName(row));
  }
  EXPECT_EQ(table.Extension(19), nullptr);
  EXPECT_EQ(table.ClassName(-1), nullptr);
}

TEST(ExtensionTable, ViewerDiffersOnlyInTheLightwaveRow) {
  ExtensionTable converter = DefaultExtensionTable(HostProgram::Converter);
  ExtensionTable viewer = DefaultExtensionTable(HostProgram::Viewer);
  ASSERT_EQ(viewer.Count(), converter.Count());
  for (int row = 0; row < viewer.Count(); ++row) {
    EXPECT_STREQ(viewer.Extension(row), converter.Extension(row));
    if (row != 4) {
      EXPECT_STREQ(viewer.ClassName(row), converter.ClassName(row)) << row;
    }
  }
  EXPECT_STREQ(viewer.ClassName(4), "Lightwave (*.lwo, *.lws)");
}

TEST(ExtensionTable, LookupIgnoresAsciiCaseAndTakesTheFirstRow) {
  ExtensionTable table;
  table.Append(".iob", "Imagine");
  table.Append(".IOB", "Second");
  table.Append(".ä", "Umlaut");
  EXPECT_STREQ(table.FindClassName(".IoB"), "Imagine");
  EXPECT_STREQ(table.FindClassName(".ä"), "Umlaut");
  // Only ASCII letters fold.
  EXPECT_EQ(table.FindClassName(".Ä"), nullptr);
  EXPECT_EQ(table.FindClassName(".io"), nullptr);
  EXPECT_EQ(table.FindClassName(".iobx"), nullptr);
  EXPECT_EQ(table.FindClassName(""), nullptr);
  EXPECT_EQ(table.FindClassName(nullptr), nullptr);
}

TEST(ExtensionTable, DeliveredFormatsAreFoundByDefault) {
  ExtensionTable table = DefaultExtensionTable(HostProgram::Viewer);
  EXPECT_STREQ(table.FindClassName(".X"), "XFILE ASCII (*.x)");
  EXPECT_STREQ(table.FindClassName(".Dat"), "LDraw (*.dat)");
  EXPECT_STREQ(table.FindClassName(".LDR"), "LDraw (*.dat)");
}

TEST(ExtensionTable, ClearEmptiesTheTable) {
  ExtensionTable table = DefaultExtensionTable(HostProgram::Converter);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.FindClassName(".3ds"), nullptr);
}

TEST(ExtensionTable, ExchangeFormatsNameTheirImportClasses) {
  ExtensionTable table = DefaultExtensionTable(HostProgram::Converter);
  const struct {
    const char* extension;
    const char* class_name;
  } rows[] = {
      {".GLB", "glTF 2.0 (*.gltf, *.glb)"},
      {".gltf", "glTF 2.0 (*.gltf, *.glb)"},
      {".stl", "STL (*.stl)"},
      {".ply", "Stanford PLY (*.ply)"},
      {".dae", "COLLADA (*.dae)"},
      {".fbx", "Autodesk FBX (*.fbx)"},
      {".off", "Object File Format (*.off)"},
      // Rows of the original table, which the import falls back from (HostCommands).
      {".obj", "WaveFront (*.obj)"},
      {".3ds", "3D Studio (*.3ds, *.prj)"},
  };
  for (const auto& row : rows) EXPECT_STREQ(table.FindClassName(row.extension), row.class_name);
}
