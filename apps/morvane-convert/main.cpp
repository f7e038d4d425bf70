// morvane-convert: converts model files through the Morvane plug-ins without a window.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "apps/morvane-convert/batch_converter.h"
#include "apps/morvane-convert/convert_options.h"
#include "settings/memory.h"

int main(int argc, char* argv[]) {
  install_must_new_handler();
  // Past a file size limit a write fails with an error the plug-ins handle (the output is
  // not renamed into place) instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  ConvertOptions options;
  std::string error;
  if (!ParseConvertOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "morvane-convert: %s\nTry 'morvane-convert --help'.\n", error.c_str());
    return 2;
  }
  switch (options.action) {
    case ConvertOptions::Help:
      std::fputs(ConvertUsage(), stdout);
      return 0;
    case ConvertOptions::Version:
      std::puts("morvane-convert 3.5");
      return 0;
    default:
      return RunBatchConversion(options, stdout, stderr);
  }
}
