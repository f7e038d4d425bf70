// The numbers of the specific fields of the ray-tracer classes' options dialog.
#pragma once

enum RayIncControl : int {
  kSmoothAngleControl = 1032,
  kEdgeAngleControl = 1033,
  kWireRadiusControl = 1034,
};
