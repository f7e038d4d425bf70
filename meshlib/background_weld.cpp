#include "meshlib/background_weld.h"

#include "meshlib/mesh3d.h"

BackgroundWeld::BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t position_count,
                               int32_t* memo)
    : mesh_(mesh), positions_(positions), memo_(memo) {
  if (mesh.vertices != nullptr && mesh.faces != nullptr &&
      position_count <= mesh.vertices->capacity()) {
    linker_.reset(new BatchThread([this](std::vector<int32_t>& welded) {
      mesh_.link_triangles(welded.data(), static_cast<int32_t>(welded.size() / 3));
    }));
    welder_.reset(new BatchThread([this](std::vector<int32_t>& corners) {
      welded_.resize(corners.size());
      mesh_.weld_corners(positions_, corners.data(), static_cast<int32_t>(corners.size() / 3),
                         memo_, welded_.data());
      linker_->add(welded_);
    }));
  } else {
    welder_.reset(new BatchThread([this](std::vector<int32_t>& corners) {
      mesh_.add_indexed_triangles(positions_, corners.data(),
                                  static_cast<int32_t>(corners.size() / 3), memo_);
    }));
  }
}

// The welder goes first: it may still be handing a batch to the linker.
BackgroundWeld::~BackgroundWeld() {
  welder_.reset();
  linker_.reset();
}

void BackgroundWeld::finish() {
  welder_->finish();
  if (linker_) linker_->finish();
}
