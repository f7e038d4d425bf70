// The export plug-in library "rayinc_out": five classes that write the host's meshes into a
// ray-tracer include file (".inc") and a Moray wireframe object file (".udo").

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/edge_object.h"
#include "plugins/rayinc_out/inc_writers.h"
#include "plugins/rayinc_out/rayinc_export.h"
#include "plugins/rayinc_out/rayinc_settings.h"

namespace {

void write_union(const IncStream& out, const Mesh3d& mesh, const EdgeObject&,
                 FaceNormalCache* normals, const RayIncSettings& s, WriterReport* report) {
  write_pov_union(out, mesh, s.smooth_angle, report, normals);
}

void write_polyray(const IncStream& out, const Mesh3d& mesh, const EdgeObject&,
                   FaceNormalCache* normals, const RayIncSettings& s, WriterReport* report) {
  write_polyray_object(out, mesh, s.smooth_angle, report, normals);
}

void write_wire(const IncStream& out, const Mesh3d&, const EdgeObject& edges, FaceNormalCache*,
                const RayIncSettings& s, WriterReport* report) {
  write_pov_wire(out, edges, s.radius, report);
}

void write_blob(const IncStream& out, const Mesh3d&, const EdgeObject& edges, FaceNormalCache*,
                const RayIncSettings& s, WriterReport* report) {
  write_pov_blob(out, edges, s.radius, report);
}

void write_mesh(const IncStream& out, const Mesh3d& mesh, const EdgeObject&,
                FaceNormalCache* normals, const RayIncSettings& s, WriterReport* report) {
  write_pov_mesh(out, mesh, s.smooth_angle, report, normals);
}

#define RAYINC_STRINGS(help, short_name) \
  { help, short_name, "Configuration", "Help", "Export" }

}  // namespace

const RayIncClass kRayIncClasses[5] = {
    {"POV-Ray Moray (*.inc, *.udo)",
     0x23705684,
     kPovUdoOwner,
     "pvuout.log",
     {"POVRAY / UDO Export Plugin 0.2",
      RAYINC_STRINGS("\tPOV/UDO Export\n\n- Exports POV-Ray file (*.inc)\n- Exports Moray UDO file "
                     "(*.udo)\n- Supports mesh objects\n- Angle for mesh smoothing\n- Angle for "
                     "visible edge detection\n\nIf using POV-Ray Ver. 3 and higher\nuse POV3/UDO "
                     "export:\n It makes meshes instead of unions with\ntriangles. POV-Ray stores "
                     "and raytraces\nmeshes more efficient.\n\nKelmar 1997",
                     "POV/UDO"),
      true},
     kPovIncFilter,
     write_union,
     false,
     OptionsDumpAt::BeforeIncOpen},
    {"PolyRay Moray (*.inc, *.udo)",
     0x61E47590,
     kPolyRayUdoOwner,
     "pluout.log",
     {"POLYRAY / UDO Export Plugin 0.2",
      RAYINC_STRINGS("\tPOLY/UDO Export\n\n- Exports Poly-Ray file (*.inc)\n- Exports Moray UDO "
                     "file (*.udo)\n- Supports mesh objects\n- Angle for mesh smoothing\n- Angle "
                     "for visible edge detection\n\nKelmar 1997",
                     "POLY/UDO"),
      true},
     kPolyRayIncFilter,
     write_polyray,
     false,
     OptionsDumpAt::AfterStarted},
    {"POV-Ray Moray (Wire) (*.inc, *.udo)",
     0x1C6D0EA9,
     kPovWireUdoOwner,
     "pvwuout.log",
     {"POVRAY Wire / UDO Export Plugin 0.2",
      RAYINC_STRINGS("\tPOV Wire/UDO Export\n\n- Exports POV-Ray file (*.inc)\n- Exports Moray "
                     "UDO file (*.udo)\n- Supports mesh objects\n\nFor each edge a cylinder and "
                     "two spheres are written.\n- Angle for visible edge detection\n- Radius for "
                     "wire\n\nKelmar 1997",
                     "POV Wire/UDO"),
      true},
     kPovIncFilter,
     write_wire,
     true,
     OptionsDumpAt::AfterStarted},
    {"POV-Ray Moray (Blob) (*.inc, *.udo)",
     0x68196F97,
     kPovBlobWireUdoOwner,
     "pvbwuout.log",
     {"POVRAY Blob Wire / UDO Export Plugin 0.2",
      RAYINC_STRINGS("\tPOV Blob Wire/UDO Export\n\n- Exports POV-Ray file (*.inc)\n- Exports "
                     "Moray UDO file (*.udo)\n- Supports mesh objects\n\nFor each edge some "
                     "blobs are written.\n- Angle for visible edge detection\n- Radius for "
                     "wire\n\nKelmar 1997",
                     "POV Blob Wire/UDO"),
      true},
     kPovIncFilter,
     write_blob,
     true,
     OptionsDumpAt::AfterStarted},
    {"POV-Ray3 Moray (*.inc, *.udo)",
     0x51EB2083,
     kPov3UdoOwner,
     "pv3uout.log",
     {"POVRAY 3/ UDO Export Plugin 0.2",
      RAYINC_STRINGS("\tPOV3/UDO Export\n\n- Exports POV-Ray 3 file (*.inc)\n- Exports Moray "
                     "UDO file (*.udo)\n- Supports mesh objects\n- Angle for mesh smoothing\n- "
                     "Angle for visible edge detection\n\nKelmar 1997",
                     "POV 3/UDO"),
      true},
     kPovIncFilter,
     write_mesh,
     false,
     OptionsDumpAt::Never},
};

namespace {

template <int Index>
PluginObject* create_rayinc_export() {
  return new RayIncExport(kRayIncClasses[Index]);
}

FrameClassDescription pov_class(kRayIncClasses[0].class_name, MESH_EXPORT_CLASS,
                                kRayIncClasses[0].class_id, create_rayinc_export<0>);
FrameClassDescription polyray_class(kRayIncClasses[1].class_name, MESH_EXPORT_CLASS,
                                    kRayIncClasses[1].class_id, create_rayinc_export<1>);
FrameClassDescription pov_wire_class(kRayIncClasses[2].class_name, MESH_EXPORT_CLASS,
                                     kRayIncClasses[2].class_id, create_rayinc_export<2>);
FrameClassDescription pov_blob_class(kRayIncClasses[3].class_name, MESH_EXPORT_CLASS,
                                     kRayIncClasses[3].class_id, create_rayinc_export<3>);
FrameClassDescription pov3_class(kRayIncClasses[4].class_name, MESH_EXPORT_CLASS,
                                 kRayIncClasses[4].class_id, create_rayinc_export<4>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("PovRay PolyRay Export Lib", &pov_class, &polyray_class, &pov_wire_class,
                       &pov_blob_class, &pov3_class)
