// The colour and finish a mesh may carry: its texts, its words and its physically based pair.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "meshlib/appearance.h"
#include "meshlib/mesh3d.h"

namespace {

Appearance rgba(double r, double g, double b, double a) {
  Appearance x;
  x.rgba[0] = r, x.rgba[1] = g, x.rgba[2] = b, x.rgba[3] = a;
  return x;
}

}  // namespace

TEST(Appearance, ColourTextIsSixDigitsWhenOpaqueAndEightOtherwise) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    Appearance a;
    const char* text;
  };
  const Case cases[] = {
      {rgba(180 / 255.0, 0, 0, 1), "#B40000"},
      {rgba(1, 1, 1, 1), "#FFFFFF"},
      {rgba(0.2, 0.4, 0.6, 128 / 255.0),
       "#336699"
       "80"},
      {rgba(0.2, 0.4, 0.6, 0.999), "#336699"},  // rounds to opaque
      {rgba(-1, 2, nan, 1), "#00FF00"},         // clamped; not a number counts as 0
      {rgba(0, 0, 0, 0), "#00000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(colour_text(c.a), c.text);
}

TEST(Appearance, FinishWordsReadBackAndOtherWordsAreRefused) {
  const Finish all[] = {Finish::kPlastic, Finish::kTransparent, Finish::kChrome, Finish::kMetal,
                        Finish::kPearl,   Finish::kRubber,      Finish::kGlow};
  const char* const words[] = {"plastic", "transparent", "chrome", "metal",
                               "pearl",   "rubber",      "glow"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_STREQ(finish_word(all[i]), words[i]);
    Finish back = Finish::kGlow;
    ASSERT_TRUE(finish_from_word(words[i], &back)) << words[i];
    EXPECT_EQ(back, all[i]);
  }
  Finish kept = Finish::kMetal;
  for (const char* word : {"Chrome", "", "plastics", "gold"})
    EXPECT_FALSE(finish_from_word(word, &kept)) << word;
  EXPECT_FALSE(finish_from_word(nullptr, &kept));
  EXPECT_EQ(kept, Finish::kMetal);
  EXPECT_STREQ(finish_word(static_cast<Finish>(99)), "plastic");
}

TEST(Appearance, FinishesSurviveThePhysicallyBasedPair) {
  struct Case {
    Finish finish;
    double alpha;
    bool emissive;
  };
  const Case cases[] = {
      {Finish::kPlastic, 1, false}, {Finish::kTransparent, 0.5, false}, {Finish::kChrome, 1, false},
      {Finish::kMetal, 1, false},   {Finish::kPearl, 1, false},         {Finish::kRubber, 1, false},
      {Finish::kGlow, 1, true},
  };
  for (const Case& c : cases) {
    Appearance a = rgba(0.5, 0.5, 0.5, c.alpha);
    a.finish = c.finish;
    double metallic = -1, roughness = -1;
    finish_to_pbr(a, &metallic, &roughness);
    EXPECT_TRUE(metallic >= 0 && metallic <= 1 && roughness >= 0 && roughness <= 1);
    EXPECT_EQ(finish_from_pbr(metallic, roughness, c.alpha, c.emissive), c.finish)
        << finish_word(c.finish);
  }
}

TEST(Appearance, EqualityComparesEveryField) {
  Appearance a;
  EXPECT_EQ(a, Appearance());
  Appearance b = a;
  b.specular[2] = 0.1;
  EXPECT_NE(a, b);
  b = a;
  b.emissive[0] = 0.1;
  EXPECT_NE(a, b);
  b = a;
  b.finish = Finish::kChrome;
  EXPECT_NE(a, b);
  b = a;
  b.specular_power = 1;
  EXPECT_NE(a, b);
  b = a;
  b.rgba[3] = 0.5;
  EXPECT_NE(a, b);
}

TEST(Appearance, MeshHasNoneUntilGivenAndKeepsItThroughFlatFormAndAxes) {
  Mesh3d mesh(4, "m");
  EXPECT_EQ(mesh.has_appearance, 0);
  mesh.add_triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  Appearance chrome = rgba(0.8, 0.8, 0.8, 1);
  chrome.finish = Finish::kChrome;
  mesh.has_appearance = 1;
  mesh.appearance = chrome;
  mesh.to_flat();
  mesh.drop_tables();
  mesh.from_flat();
  mesh.swap_axes(2);
  mesh.scale_mesh(3.0);
  EXPECT_EQ(mesh.has_appearance, 1);
  EXPECT_EQ(mesh.appearance, chrome);
}
