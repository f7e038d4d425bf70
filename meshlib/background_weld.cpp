#include "meshlib/background_weld.h"

#include "meshlib/mesh3d.h"

BackgroundWeld::BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t* memo)
    : helper_([&mesh, positions, memo](std::vector<int32_t>& corners) {
        mesh.add_indexed_triangles(positions, corners.data(),
                                   static_cast<int32_t>(corners.size() / 3), memo);
      }) {}
