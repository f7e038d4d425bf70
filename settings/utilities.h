// The small shared utilities: allocation, paths, text files, field splitter.
#pragma once

#include "settings/fields.h"
#include "settings/memory.h"
#include "settings/path.h"
#include "settings/text_file.h"
