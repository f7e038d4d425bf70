// Where the plug-in classes keep their options in the settings store: the two sections of
// every class, the names of the common options, the specific options that several classes or
// the batch converter share, and the owners of the delivered classes. Plain names, so that
// programs without the frame's windows (the batch converter) write where the classes read.
#pragma once

// Section names of every plug-in class.
#define FRAME_COMMON_SECTION "Common Settings"
#define FRAME_SPECIFIC_SECTION "Specific Settings"

// "Common Settings".
inline constexpr char kVerboseModeKey[] = "verbose_mode";
inline constexpr char kSwapModeKey[] = "swap_mode";
inline constexpr char kUnifyModeKey[] = "unify_mode";
inline constexpr char kLdModeKey[] = "ld_mode";
inline constexpr char kSizeValueKey[] = "size_value";
inline constexpr char kLogFileNameKey[] = "logfilename";

// "Specific Settings".
inline constexpr char kSmoothAngleKey[] = "smooth_angle";
inline constexpr char kEdgeAngleKey[] = "edge_angle";
inline constexpr char kRadiusKey[] = "radius";
inline constexpr char kSearchPathKey[] = "search_path";
inline constexpr char kWriteMeshColoursKey[] = "write_mesh_colours";
inline constexpr char kOneMeshPerColourKey[] = "one_mesh_per_colour";
// Import of a format whose convention is y up: 1 (the default) turns the model z up.
inline constexpr char kTurnYUpKey[] = "turn_y_up";

// Owners of the delivered classes.
inline constexpr char kXFileInOwner[] = "xfile_in";
inline constexpr char kBrickInOwner[] = "brick_in";
inline constexpr char kXFileOutOwner[] = "xfile_out";
inline constexpr char kPovUdoOwner[] = "pvu_out";
inline constexpr char kPolyRayUdoOwner[] = "plu_out";
inline constexpr char kPovWireUdoOwner[] = "pvwu_out";
inline constexpr char kPovBlobWireUdoOwner[] = "pvbwu_out";
inline constexpr char kPov3UdoOwner[] = "pv3u_out";
inline constexpr char kGlbOutOwner[] = "glb_out";
inline constexpr char kGltfOutOwner[] = "gltf_out";
inline constexpr char kObjOutOwner[] = "obj_out";
inline constexpr char kStlOutOwner[] = "stl_out";
inline constexpr char kPlyOutOwner[] = "ply_out";
inline constexpr char kPovSceneOwner[] = "povscene_out";
// Owners of the import classes of today's exchange formats (plug-in library formats_in).
inline constexpr char kGltfInOwner[] = "gltf_in";
inline constexpr char kObjInOwner[] = "obj_in";
inline constexpr char kStlInOwner[] = "stl_in";
inline constexpr char kPlyInOwner[] = "ply_in";
inline constexpr char kColladaInOwner[] = "dae_in";
inline constexpr char kFbxInOwner[] = "fbx_in";
inline constexpr char k3dsInOwner[] = "3ds_in";
inline constexpr char kOffInOwner[] = "off_in";
