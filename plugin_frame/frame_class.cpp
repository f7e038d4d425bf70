#include "plugin_frame/frame_class.h"

#include <unistd.h>

#include <memory>

#include "plugin_frame/frame_gui.h"
#include "plugin_frame/help_dialog.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/run_progress.h"
#include "settings/path.h"

RunProgress::RunProgress(ProgressDialog::Variant variant, const std::string& title) {
  ProgressSink* sink;
  if (frame_has_widgets()) {
    dialog_ = std::make_unique<ProgressDialog>(variant, QString::fromUtf8(title.c_str()));
    dialog_->CreateModeless();
    sink = dialog_.get();
  } else {
    terminal_ = std::make_unique<TerminalProgress>(stderr);
    sink = terminal_.get();
  }
  previous_ = set_progress_sink(sink);
}

RunProgress::~RunProgress() { set_progress_sink(previous_); }

DirectoryKeeper::DirectoryKeeper() : directory_(current_directory()) {}

DirectoryKeeper::~DirectoryKeeper() {
  if (!directory_.empty() && chdir(directory_.c_str()) != 0) {
    // The folder is gone; the process stays where the command left it.
  }
}

void FrameClass::FillSpecific(OptionsDialog&, PluginSettings&) {}

void FrameClass::TakeSpecific(const OptionsDialog&, PluginSettings&) {}

void FrameClass::DumpSpecific(LogFile&, PluginSettings&) {}

void FrameClass::RunHelp() {
  if (!frame_has_widgets()) return;
  const PluginStrings& s = info_.strings;
  QString title =
      QString::fromUtf8(s.short_name) + QLatin1Char(' ') + QString::fromUtf8(s.help_word);
  HelpDialog dialog(title, s.help, frame_owner_window());
  dialog.exec();
}

void FrameClass::RunConfigure(bool import_class, int dialog_template) {
  // Loaded now and saved when it ends, whether the dialog is confirmed or not.
  std::unique_ptr<PluginSettings> settings(NewSettings());
  if (!frame_has_widgets() || settings == nullptr) return;
  const PluginStrings& s = info_.strings;
  QString title =
      QString::fromUtf8(s.short_name) + QLatin1Char(' ') + QString::fromUtf8(s.configuration);
  OptionsDialog dialog(static_cast<OptionsDialog::Template>(dialog_template), title,
                       frame_owner_window());
  dialog.SetCommonOptions(settings->verbose_mode, settings->swap_mode, settings->unify_mode,
                          settings->ld_mode, settings->size_value, settings->logfilename);
  FillSpecific(dialog, *settings);
  if (dialog.exec() == QDialog::Accepted) {
    settings->SetCommonOptions(dialog.VerboseMode(), dialog.SwapMode(), dialog.UnifyMode(),
                               import_class ? 0 : dialog.LdMode(), dialog.SizeValue(),
                               dialog.LogFileName().c_str());
    TakeSpecific(dialog, *settings);
  }
}
