#include "plugin_frame/frame_importer.h"

#include <unistd.h>

#include <exception>
#include <memory>

#include "meshlib/object_list.h"
#include "plugin_frame/frame_gui.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/run_progress.h"
#include "settings/log_file.h"
#include "settings/path.h"

FrameImporter::FrameImporter(const FrameClassInfo& info) : FrameClass(info) {}

FrameImporter::~FrameImporter() {
  delete result_;
  for (ObjectList* list : earlier_results_) delete list;
}

void FrameImporter::DeleteThis() { delete this; }

void FrameImporter::Help() { RunHelp(); }

void FrameImporter::Configure() { RunConfigure(true, OptionsDialog::ImportTemplate); }

const char* FrameImporter::FileName() { return file_name_.c_str(); }

const char* FrameImporter::FileFilter() {
  // Asking for the filter loads and rewrites the settings, as every command does.
  std::unique_ptr<PluginSettings> settings(NewSettings());
  FileSlot slot = InputFile(*settings);
  filter_ = slot.filter != nullptr ? slot.filter : "";
  return filter_.c_str();
}

ObjectList* FrameImporter::NewResult() {
  // The host calls one import per importer; a second one still must not free meshes the
  // host may hold, so an earlier list lives on until the importer ends.
  if (result_ != nullptr) earlier_results_.push_back(result_);
  result_ = new ObjectList(release_object);
  return result_;
}

ObjectList* FrameImporter::Import() {
  DirectoryKeeper directory;
  std::unique_ptr<PluginSettings> settings(NewSettings());
  ObjectList* list = NewResult();
  FileSlot slot = InputFile(*settings);
  std::string chosen;
  if (slot.path != nullptr && slot.file_name != nullptr &&
      choose_file(true, ChooserFilter(slot), nullptr, slot.path->str(), slot.file_name->str(),
                  chosen)) {
    slot.file_name->set(chosen);
    slot.path->set(current_directory());
    std::string drive, folder, name, extension;
    split_path(chosen.c_str(), drive, folder, name, extension);
    file_name_ = name + extension;
    RunParse(*settings);
  }
  return list;
}

ObjectList* FrameImporter::ImportFile(const char* path) {
  DirectoryKeeper directory;
  std::unique_ptr<PluginSettings> settings(NewSettings());
  ObjectList* list = NewResult();
  FileSlot slot = InputFile(*settings);
  std::string given = path != nullptr ? path : "";
  // A relative name is taken relative to the directory of the caller, before the reader
  // moves into the file's folder; otherwise "models/cube.x" would be looked for in
  // "models/models/".
  std::string full = given;
  if (!given.empty() && !is_absolute_path(given.c_str())) {
    std::string here = current_directory();
    if (!here.empty()) full = make_path(nullptr, here.c_str(), given.c_str(), nullptr);
  }
  std::string drive, folder, name, extension;
  split_path(full.c_str(), drive, folder, name, extension);
  std::string target = drive + folder;
  if (target.empty()) target = ".";
  if (chdir(target.c_str()) != 0) {
    // The folder cannot be entered; the reader reports the missing file in its log.
  }
  if (slot.file_name != nullptr) slot.file_name->set(full);
  if (slot.path != nullptr) slot.path->set(current_directory());
  file_name_ = given;
  RunParse(*settings);
  return list;
}

void FrameImporter::RunParse(PluginSettings& settings) {
  FileSlot slot = InputFile(settings);
  const PluginStrings& s = Info().strings;
  const std::string title = std::string(s.short_name) + " " + s.run_word;
  std::string problem;
  bool cancelled = false;
  {
    ProgressCallbacks callbacks = frame_progress_callbacks(true);
    RunProgress progress(ProgressDialog::ImportProgress, title);
    LogFile log(settings.verbose_mode, settings.logfilename.c_str(), Info().log_title);
    OptionsDumpLayout layout{Info().dump_heading_colons, false};
    PluginRun run(settings, result_, callbacks, log, [this, &log, &settings, &layout, &slot] {
      write_options_dump(log, settings, layout, &slot, 1);
      DumpSpecific(log, settings);
    });
    run.stop_on_cancel = true;
    // Nothing may leave the library through the host's call; a run that fails this way ends
    // with what it has done so far and says why in its log.
    try {
      Parse(run);
    } catch (const RunCancelled&) {
      run.Log("Run cancelled\n");
      cancelled = true;
    } catch (const std::exception& error) {
      run.Log("Run stopped: %s\n", error.what());
    } catch (...) {
      run.Log("Run stopped\n");
    }
    problem = run.Problem();
  }
  if (cancelled) {
    // The user asked for nothing of this run: the meshes made so far go, and the host learns
    // from the mark that it keeps what it had.
    result_->clear();
    result_->mark_cancelled();
    return;
  }
  if (!problem.empty()) frame_report_problem(title, problem);
}
