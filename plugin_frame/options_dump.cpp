#include "plugin_frame/options_dump.h"

#include <string>

#include "settings/c_numeric.h"
#include "settings/log_file.h"
#include "settings/path.h"

const char* format_lf(double value, char buffer[64]) {
  CNumericScope numbers;
  std::snprintf(buffer, 64, "%lf", value);
  return buffer;
}

void write_options_dump(LogFile& log, const PluginSettings& settings,
                        const OptionsDumpLayout& layout, const FileSlot* files, int file_count) {
  const char* colon = layout.heading_colons ? ":" : "";
  char number[64];
  log.LogWrite("Options:\n");
  log.LogWrite("\t Common%s\n", colon);
  log.LogWrite("\t current directory: %s\n", current_directory().c_str());
  log.LogWrite("\t verbose_mode: %d\n", settings.verbose_mode);
  log.LogWrite("\t swap_mode: %d\n", settings.swap_mode);
  log.LogWrite("\t unify_mode: %d\n", settings.unify_mode);
  if (layout.line_delimiter) log.LogWrite("\t LineDelimiter: %d\n", settings.ld_mode);
  log.LogWrite("\t size_value: %s\n", format_lf(settings.size_value, number));
  log.LogWrite("\t Log File: %s\n", settings.logfilename.c_str());
  log.LogWrite("\t File format specific%s\n", colon);
  for (int k = 0; k < file_count; ++k) {
    const FileSlot& slot = files[k];
    std::string suffix = k == 0 ? std::string() : std::to_string(k + 1);
    log.LogWrite("\t path%s: %s:\n", suffix.c_str(),
                 slot.path != nullptr ? slot.path->c_str() : "");
    log.LogWrite("\t file_name%s: %s\n", suffix.c_str(),
                 slot.file_name != nullptr ? slot.file_name->c_str() : "");
    if (slot.ext != nullptr) log.LogWrite("\t ext%s: %s\n", suffix.c_str(), slot.ext);
  }
}
