// PointList: a growable array of positions (default room for 32).
#pragma once

#include "meshlib/growable_array.h"
#include "meshlib/vec3d.h"

using PointList = GrowableArray<Vec3d, 32>;
