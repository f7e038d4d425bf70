#pragma once

#include <cstdio>
#include <string>

#include "apps/morvane-convert/convert_options.h"

// One run of the batch converter: loads the plug-ins, imports every input by name into one
// object list (clashing names renamed automatically) and exports the list once, without any
// window, through the same plug-in interface as the graphical hosts.
//
// The plug-ins read and write their options in the user's settings store; a batch run works
// on a private copy of it, with this run's overrides applied, and discards the copy at the
// end, so the options the user keeps for the graphical programs never change.
//
// Returns the exit status: 0 done, 1 a conversion failed (one line on err names the file and
// the reason), 2 a wrong command line.
int RunBatchConversion(const ConvertOptions& options, std::FILE* out, std::FILE* err);
