// RecordList: a growable array of five-int32 records (default room for 32). The LDraw
// importer keeps a triangle's three corner indices in the first three values.
#pragma once

#include <cstdint>

#include "meshlib/growable_array.h"

struct Record5 {
  int32_t v[5];
};

using RecordList = GrowableArray<Record5, 32>;
