#include "plugin_frame/export_mesh.h"

#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_settings.h"

ExportMesh::ExportMesh(Mesh3d& mesh, const PluginSettings& settings, bool with_edges)
    : mesh_(mesh),
      bbox_empty_(mesh.bbox_empty),
      bbox_min_(mesh.bbox_min),
      bbox_max_(mesh.bbox_max) {
  mesh_.from_flat(with_edges);
  mesh_.scale_mesh(settings.size_value);
  if (settings.swap_mode != 0) mesh_.swap_axes(settings.swap_mode);
}

ExportMesh::~ExportMesh() {
  mesh_.drop_tables();
  mesh_.bbox_empty = bbox_empty_;
  mesh_.bbox_min = bbox_min_;
  mesh_.bbox_max = bbox_max_;
}
