#pragma once

#include <QDialog>
#include <QPointer>

#include "plugin_frame/progress_callbacks.h"

class QLabel;
class QProgressBar;

// The modeless progress dialog of a run: "File Progress:" bar 1003 with its percentage 1004,
// and for import runs "Mesh Progress:" bar 1006 with 1007; the status text 1005; Cancel (2).
//
// It is a top-level window without a parent, kept above its owner (the application's active
// window), because Qt disables every child of a disabled widget and the owner is disabled
// while the dialog is open. Cancel sets a flag that CancelRequested and StopRequested report;
// it does not close the dialog: the run ends and closes it.
class ProgressDialog : public QDialog, public ProgressSink {
  Q_OBJECT
 public:
  // The numbers of the controls.
  enum ControlId : int {
    kIdCancel = 2,
    kIdFileBar = 1003,
    kIdFilePercent,  // 1004
    kIdStatus,       // 1005
    kIdMeshBar,      // 1006
    kIdMeshPercent,  // 1007
  };

  enum Variant { ImportProgress, ExportProgress };

  // owner null: the application's active window, if any.
  ProgressDialog(Variant variant, const QString& title, QWidget* owner = nullptr);
  // Re-enables the owner if this dialog disabled it.
  ~ProgressDialog() override;

  // Shows the dialog without a modal loop and disables the owner when it was enabled.
  // Returns false (owner left enabled) when the window could not be shown.
  bool CreateModeless();

  void SetStatus(const char* text) override;
  void SetFileProgress(int percent) override;
  void SetMeshProgress(int percent) override;

  // Pumps messages, returns the cancel flag and clears it.
  bool CancelRequested();
  // The cancel flag as it stands, without pumping and without clearing it: import runs ask
  // at every progress report and stop once it is set.
  bool StopRequested() override { return stop_; }

  QWidget* Owner() const { return owner_; }

 public slots:
  // Escape and the window's close button act as Cancel: they set the flag only.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetBar(QProgressBar* bar, QLabel* text, int percent);

  QPointer<QWidget> owner_;
  bool disabled_owner_ = false;
  bool cancel_ = false;
  bool stop_ = false;  // set with cancel_, never cleared
  QProgressBar* file_bar_ = nullptr;
  QLabel* file_text_ = nullptr;
  QProgressBar* mesh_bar_ = nullptr;
  QLabel* mesh_text_ = nullptr;
  QLabel* status_ = nullptr;
};
