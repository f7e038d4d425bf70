// Compiles the scene into the display lists of the current OpenGL context (a context that
// shares its lists with every view): one geometry list per mesh, made from the mesh's flat
// form as vertex arrays, which the front and back lists both call; boxes, one list per light
// and the scene frame. Edge mode's list and the normal needles are compiled when first drawn.
// A paint then only calls lists.
#pragma once

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

// Builds lists 1, 4, 5, 7 ... 14, 15, 16 and 17 under their fixed names (and empties 3 and 6
// until they are first drawn), replacing earlier ones and the geometry lists of the last
// build. colours receives one colour per object-list position: a palette colour drawn from the
// generator in list order for every position, replaced by the mesh's own colour when the
// scene shows model colours and the mesh carries one. Meshes are read through their flat form
// only; the working arrays of one mesh (about 60 bytes per face) live while its geometry list
// compiles. progress (may be empty) hears of every few thousand faces; when it says stop the
// build ends there, every model list is left empty (views draw nothing until the next build)
// and 0 is returned. Returns 0 and builds nothing when the scene has no object list.
int build_model_lists(const ViewerScene& scene, std::vector<ObjectColour>& colours,
                      const BuildProgress& progress = BuildProgress());

// Compiles Edge mode's list 3 (edges) and the normal needles' list 6 (normals) from the scene
// and colours when they were asked for and not yet compiled since the last build.
void compile_lists_on_demand(const ViewerScene& scene, const std::vector<ObjectColour>& colours,
                             bool edges, bool normals);

// True when the last build put see-through meshes into lists 16 and 17.
bool model_has_see_through();

// Compiles the list of light `index` (0 ... 7) from element `index` of lights: the state of
// that light when it is a Light3d, otherwise a list that switches the light off.
void compile_light_list(const ObjectList& lights, int32_t index);
