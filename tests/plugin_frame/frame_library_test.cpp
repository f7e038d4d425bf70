#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "plugin_frame/frame_gui.h"
#include "plugin_frame/read_number_field.h"

TEST(FrameLibrary, ExampleLibraryAnswersTheFourExports) {
  TriPlugin plugin;
  ASSERT_TRUE(plugin.loaded());
  auto name = reinterpret_cast<LibNameFunction>(plugin.symbol("LibName"));
  auto number = reinterpret_cast<LibNumberClassesFunction>(plugin.symbol("LibNumberClasses"));
  auto describe =
      reinterpret_cast<LibClassDescriptionFunction>(plugin.symbol("LibClassDescription"));
  auto version = reinterpret_cast<LibVersionFunction>(plugin.symbol("LibVersion"));
  ASSERT_TRUE(name && number && describe && version);
  EXPECT_STREQ(name(), "Triangle Test Lib");
  EXPECT_EQ(number(), 2);
  EXPECT_EQ(version(), PLUGIN_INTERFACE_VERSION);
  EXPECT_EQ(describe(-1), nullptr);
  EXPECT_EQ(describe(2), nullptr);
  ClassDescription* import_class = describe(0);
  ASSERT_NE(import_class, nullptr);
  EXPECT_STREQ(import_class->ClassName(), "Triangle (*.tri)");
  EXPECT_EQ(import_class->SuperClassID(), MESH_IMPORT_CLASS);
  EXPECT_EQ(import_class->ClassID(), 0x7E570001u);
  EXPECT_EQ(import_class->ClassPublicFlag(), 1);
  EXPECT_EQ(describe(1)->SuperClassID(), MESH_EXPORT_CLASS);
}

TEST(FrameLibrary, OnlyTheFourExportsAreVisible) {
  TriPlugin plugin;
  ASSERT_TRUE(plugin.loaded());
  EXPECT_EQ(plugin.symbol("frame_has_widgets"), nullptr);
  EXPECT_EQ(plugin.symbol("_Z17frame_has_widgetsv"), nullptr);
  EXPECT_EQ(plugin.symbol("_Z16progress_percentjj"), nullptr);
}

TEST(FrameLibrary, CreateMakesTypedObjectsThatEndThemselves) {
  TriPlugin plugin;
  ASSERT_TRUE(plugin.loaded());
  MeshImporter* importer = CreateImporter(plugin.import_class());
  ASSERT_NE(importer, nullptr);
  EXPECT_STREQ(importer->FileName(), "");
  importer->DeleteThis();
  EXPECT_EQ(CreateImporter(plugin.export_class()), nullptr);
  MeshExporter* exporter = CreateExporter(plugin.export_class());
  ASSERT_NE(exporter, nullptr);
  exporter->DeleteThis();
}

TEST(ConvertFilter, PairsBecomeQtFiltersAndStarDotStarMatchesEverything) {
  EXPECT_EQ(convert_filter("Desc|*.x|All Files (*.*)|*.*||"), "Desc (*.x);;All Files (*)");
  EXPECT_EQ(convert_filter("Direct X Ascii File            (*.x)|*.x|All Files (*.*)|*.*||"),
            "Direct X Ascii File (*.x);;All Files (*)");
  EXPECT_EQ(convert_filter("Models|*.dat;*.ldr|"), "Models (*.dat *.ldr)");
  EXPECT_EQ(convert_filter(""), "");
  EXPECT_EQ(convert_filter(nullptr), "");
}

TEST(ParseLeadingNumber, TakesTheLeadingNumberWithAPoint) {
  double value = -1;
  EXPECT_TRUE(parse_leading_number("2,5", &value));
  EXPECT_EQ(value, 2.0);
  EXPECT_TRUE(parse_leading_number("  +1.25e1abc", &value));
  EXPECT_EQ(value, 12.5);
  EXPECT_TRUE(parse_leading_number("-.5", &value));
  EXPECT_EQ(value, -0.5);
}

TEST(ParseLeadingNumber, RefusesTextWithoutANumberAndNonFiniteValues) {
  double value = 7;
  EXPECT_FALSE(parse_leading_number("abc", &value));
  EXPECT_FALSE(parse_leading_number(",5", &value));
  EXPECT_FALSE(parse_leading_number("+-1", &value));
  EXPECT_FALSE(parse_leading_number("inf", &value));
  EXPECT_FALSE(parse_leading_number("nan", &value));
  EXPECT_FALSE(parse_leading_number("1e999", &value));
  EXPECT_EQ(value, 7.0);
}

TEST(Format3f, ThreeDecimalsWithAPoint) {
  char buffer[64];
  EXPECT_STREQ(format_3f(2.0, buffer), "2.000");
  EXPECT_STREQ(format_3f(2.71828, buffer), "2.718");
  EXPECT_STREQ(format_3f(-70.0, buffer), "-70.000");
}
