// The export plug-in library "formats_out": five classes that write the host's meshes in the
// exchange formats of today's modelling programs, game engines, web viewers and 3D printers.

#include "plugin_frame/settings_keys.h"
#include "plugins/formats_out/formats_export.h"

namespace {

#define FORMAT_STRINGS(help, short_name) \
  { help, short_name, "Configuration", "Help", "Export" }

}  // namespace

const FormatClass kFormatClasses[5] = {
    {"glTF 2.0 binary (*.glb)",
     0x6A3F51C2,
     kGlbOutOwner,
     "glbout.log",
     {"glTF Binary Export Plugin 1.0",
      FORMAT_STRINGS("\tglTF Binary Export\n\n- Exports glTF 2.0 binary file (*.glb)\n- One node "
                     "and mesh per object\n- A material per colour and finish\n- Angle for mesh "
                     "smoothing\n- Y up; the size option gives metres",
                     "GLB"),
      true},
     "glTF 2.0 Binary File  (*.glb)|*.glb|All Files             (*.*)|*.*||",
     "glb",
     nullptr,
     true,
     FormatKind::kGlb},
    {"glTF 2.0 (*.gltf)",
     0x6A3F51C3,
     kGltfOutOwner,
     "gltfout.log",
     {"glTF Export Plugin 1.0",
      FORMAT_STRINGS("\tglTF Export\n\n- Exports glTF 2.0 file (*.gltf)\n  with its buffer "
                     "(*.bin)\n- One node and mesh per object\n- A material per colour and "
                     "finish\n- Angle for mesh smoothing\n- Y up; the size option gives metres",
                     "GLTF"),
      true},
     "glTF 2.0 File  (*.gltf)|*.gltf|All Files      (*.*)|*.*||",
     "gltf",
     "bin",
     true,
     FormatKind::kGltf},
    {"Wavefront OBJ (*.obj)",
     0x0B7C2E94,
     kObjOutOwner,
     "objout.log",
     {"Wavefront OBJ Export Plugin 1.0",
      FORMAT_STRINGS("\tOBJ Export\n\n- Exports Wavefront OBJ file (*.obj)\n  with its "
                     "material library (*.mtl)\n- One group and material per object\n- Angle "
                     "for mesh smoothing\n- Y up",
                     "OBJ"),
      true},
     "Wavefront OBJ File  (*.obj)|*.obj|All Files           (*.*)|*.*||",
     "obj",
     "mtl",
     true,
     FormatKind::kObj},
    {"STL (*.stl)",
     0x0B7C2E95,
     kStlOutOwner,
     "stlout.log",
     {"STL Export Plugin 1.0",
      FORMAT_STRINGS("\tSTL Export\n\n- Exports binary STL file (*.stl)\n- One solid of all "
                     "objects\n- Z up, as printers expect",
                     "STL"),
      true},
     "STL File  (*.stl)|*.stl|All Files (*.*)|*.*||",
     "stl",
     nullptr,
     false,
     FormatKind::kStl},
    {"Stanford PLY (*.ply)",
     0x0B7C2E96,
     kPlyOutOwner,
     "plyout.log",
     {"Stanford PLY Export Plugin 1.0",
      FORMAT_STRINGS("\tPLY Export\n\n- Exports binary PLY file (*.ply)\n- Vertex colours "
                     "from the objects' colours",
                     "PLY"),
      true},
     "Stanford PLY File  (*.ply)|*.ply|All Files          (*.*)|*.*||",
     "ply",
     nullptr,
     false,
     FormatKind::kPly},
};

namespace {

template <int Index>
PluginObject* create_format_export() {
  return new FormatExport(kFormatClasses[Index]);
}

FrameClassDescription glb_class(kFormatClasses[0].class_name, MESH_EXPORT_CLASS,
                                kFormatClasses[0].class_id, create_format_export<0>);
FrameClassDescription gltf_class(kFormatClasses[1].class_name, MESH_EXPORT_CLASS,
                                 kFormatClasses[1].class_id, create_format_export<1>);
FrameClassDescription obj_class(kFormatClasses[2].class_name, MESH_EXPORT_CLASS,
                                kFormatClasses[2].class_id, create_format_export<2>);
FrameClassDescription stl_class(kFormatClasses[3].class_name, MESH_EXPORT_CLASS,
                                kFormatClasses[3].class_id, create_format_export<3>);
FrameClassDescription ply_class(kFormatClasses[4].class_name, MESH_EXPORT_CLASS,
                                kFormatClasses[4].class_id, create_format_export<4>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("Exchange Formats Export Lib", &glb_class, &gltf_class, &obj_class,
                       &stl_class, &ply_class)
