// IndexList: a growable array of int32 indices (default room for 4).
#pragma once

#include <cstdint>

#include "meshlib/growable_array.h"

using IndexList = GrowableArray<int32_t, 4>;
