// Builds the scene for the views in the current OpenGL context (a context that shares its
// lists and buffers with every view): each mesh's faces as indexed vertices in buffer objects,
// made once from the mesh's flat form and drawn by the front and back passes of every view;
// display lists for the boxes, each light and the scene frame. Edge mode's list and the normal
// needles are compiled when first drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "meshlib/vec3d.h"

class ObjectList;
class ViewerScene;

// The colour an object-list position is drawn in: a palette colour, or with model colours on
// the mesh's own colour and opacity.
struct ObjectColour {
  Vec3d palette = {0.0, 0.0, 0.0};  // drawn from the palette for every position
  Vec3d rgb = {0.0, 0.0, 0.0};      // what is drawn: the palette colour or the model's
  double alpha = 1.0;
  bool from_model = false;
  // A model colour that is not opaque: blended, after the opaque meshes.
  bool see_through() const;
};

// Told the build's progress in percent (0 ... 100) as it goes; returns false to stop it.
using BuildProgress = std::function<bool(int percent)>;

// Builds the faces of the front and back passes (4, 5 and the see-through 16, 17) into buffer
// objects and lists 1, 7 ... 14 and 15 under their fixed names (and empties 3 and 6 until they
// are first drawn), replacing the last build's lists and deleting its buffers. colours
// receives one colour per object-list position: a palette colour drawn from the generator in
// list order for every position, replaced by the mesh's own colour when the scene shows model
// colours and the mesh carries one. Meshes are read through their flat form only, a window
// of consecutive faces (at least an eighth of the mesh) at a time; the working arrays (about
// 40 bytes per face of the window and 8 per vertex of the mesh) live while the mesh's faces
// are made, and each batch of at most 65,536 vertices goes to its buffers as soon as it is
// made. progress (may be empty) hears of every few thousand faces; when it says stop the
// build ends there, its buffers are deleted, every model list is left empty (views draw
// nothing until the next build) and 0 is returned. Returns 0 and builds nothing when the
// scene has no object list or there is no current context.
int build_model_lists(const ViewerScene& scene, std::vector<ObjectColour>& colours,
                      const BuildProgress& progress = BuildProgress());

// Compiles Edge mode's list 3 (edges) and the normal needles' list 6 (normals) from the scene
// and colours when they were asked for and not yet compiled since the last build.
void compile_lists_on_demand(const ViewerScene& scene, const std::vector<ObjectColour>& colours,
                             bool edges, bool normals);

// Blending for see-through model colours, around what they draw, and back to the views' own
// state (no blending, depth writes on), which every view sets before it draws. Compiled into
// lists as well, so the state is set rather than saved and restored.
void begin_see_through();
void end_see_through();

// Draws what name stands for in the current context: the faces of the last build for the
// passes 4, 5, 16 and 17, otherwise display list name.
void draw_model_list(uint32_t name);

// True when the last build has faces for the see-through passes 16 and 17.
bool model_has_see_through();

// Bytes of vertices and indices the last build handed to buffer objects.
size_t model_geometry_bytes();

// Compiles the list of light `index` (0 ... 7) from element `index` of lights: the state of
// that light when it is a Light3d, otherwise a list that switches the light off.
void compile_light_list(const ObjectList& lights, int32_t index);
