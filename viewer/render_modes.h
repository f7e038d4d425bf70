// The seven render modes of a view and the colours the model build gives its objects.
#pragma once

#include <cstdint>

#include "meshlib/vec3d.h"

enum RenderMode : int32_t {
  kRenderBox = 0,
  kRenderEdge = 1,
  kRenderWire = 2,
  kRenderShade = 3,
  kRenderDouble = 4,
  kRenderPoint = 5,
  kRenderDoubleWire = 6,  // reachable only by key "7"
};

enum PolygonMode : int32_t { kPolygonPoint = 0, kPolygonLine = 1, kPolygonFill = 2 };

// Display-list names, one name space shared by the four views. 4, 5, 16 and 17 name the face
// passes, which are drawn from buffer objects (draw_model_list) and are not lists.
enum ModelList : uint32_t {
  kListBoxes = 1,
  kListEdges = 3,
  kListFront = 4,
  kListBack = 5,
  kListNormals = 6,
  kListFirstLight = 7,  // 7 ... 14: lights 0 ... 7
  kListSceneFrame = 15,
  kListFrontSeeThrough = 16,  // see-through model colours, drawn after the opaque lists
  kListBackSeeThrough = 17,
  kListLastFixed = 17,
};
const int32_t kMaxLights = 8;

// How a render mode draws: face culling, polygon mode, whether it may light (User view
// only), and the display lists it calls (list_count of them).
struct RenderModeState {
  int32_t cull;
  int32_t polygon_mode;
  int32_t lighting;
  int32_t list_count;
  uint32_t lists[2];
};

// The state of mode m; 0 and the state of Box for a mode outside 0 ... 6.
int render_mode_state(int32_t m, RenderModeState& out);

// The 93 colours the objects draw from.
const int32_t kPaletteSize = 93;
extern const double kViewerPalette[kPaletteSize][3];

// Draws the next colour of the standard generator `rand`: kViewerPalette[rand() % 93]. The
// viewer never seeds the generator, so the colour sequence is the same in every run.
void next_object_colour(Vec3d& out);
