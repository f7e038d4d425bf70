#include "plugin_frame/frame_exporter.h"

#include <exception>
#include <memory>
#include <string>

#include "plugin_frame/frame_gui.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/run_progress.h"
#include "settings/log_file.h"
#include "settings/path.h"

FrameExporter::FrameExporter(const FrameClassInfo& info) : FrameClass(info) {}

FrameExporter::~FrameExporter() = default;

void FrameExporter::DeleteThis() { delete this; }

void FrameExporter::Help() { RunHelp(); }

void FrameExporter::Configure() { RunConfigure(false, DialogTemplate()); }

int FrameExporter::DialogTemplate() const { return OptionsDialog::ExportTemplate; }

void FrameExporter::Export(ObjectList* objects, ExportMode mode, ExportFileNames* names) {
  DirectoryKeeper directory;
  std::unique_ptr<PluginSettings> settings(NewSettings());
  FileSlot files[2] = {};
  int count = OutputFiles(*settings, files);
  if (count < 0) count = 0;
  if (count > 2) count = 2;
  for (int k = 0; k < count; ++k)
    if (files[k].path == nullptr || files[k].file_name == nullptr) return;

  bool write = false;
  if (mode == EXPORT_GIVEN_NAMES) {
    const char* given[2] = {names != nullptr ? names->first : nullptr,
                            names != nullptr ? names->second : nullptr};
    write = true;
    for (int k = 0; k < count; ++k)
      if (given[k] == nullptr || *given[k] == '\0')
        write = false;  // nothing to write to: nothing is written
    if (write) {
      for (int k = 0; k < count; ++k) {
        std::string name = given[k];
        if (files[k].ext != nullptr && *files[k].ext != '\0')
          name += std::string(".") + files[k].ext;
        files[k].file_name->set(name);
      }
    }
  } else if (frame_has_widgets()) {
    bool cancelled = false;
    for (int k = 0; k < count && !cancelled; ++k) {
      std::string chosen;
      if (choose_file(false, files[k].filter, files[k].ext, files[k].path->str(),
                      files[k].file_name->str(), chosen)) {
        files[k].file_name->set(chosen);
        files[k].path->set(current_directory());
      } else {
        cancelled = true;  // the choosers after this one are skipped
      }
    }
    write = !cancelled || mode != EXPORT_ASK;
  } else {
    // No windows to ask with: mode 0 gives up as a cancelled chooser does, any other
    // mode goes on with the stored names.
    write = mode != EXPORT_ASK;
  }
  if (!write || objects == nullptr) return;

  const PluginStrings& s = Info().strings;
  ProgressCallbacks callbacks = frame_progress_callbacks(false);
  RunProgress progress(ProgressDialog::ExportProgress,
                       std::string(s.short_name) + " " + s.run_word);
  LogFile log(settings->verbose_mode, settings->logfilename.c_str(), Info().log_title);
  OptionsDumpLayout layout{Info().dump_heading_colons, true};
  PluginSettings& current = *settings;
  PluginRun run(current, objects, callbacks, log, [this, &log, &current, &layout, &files, count] {
    write_options_dump(log, current, layout, files, count);
    DumpSpecific(log, current);
  });
  // Nothing may leave the library through the host's call; a run that fails this way ends
  // with what it has done so far and says why in its log.
  try {
    Write(run);
  } catch (const std::exception& error) {
    run.Log("Run stopped: %s\n", error.what());
  } catch (...) {
    run.Log("Run stopped\n");
  }
}
