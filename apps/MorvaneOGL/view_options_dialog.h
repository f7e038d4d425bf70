#pragma once

#include <QDialog>

#include "apps/MorvaneOGL/morvane_ogl_view.h"

class QButtonGroup;
class QCheckBox;
class QListWidget;

// "View Options": the four views, the "&Render Mode" and "&Fast Render Mode" radio groups
// (values 0 to 5) of the view chosen in the list, "&View Titles" and "&Model colours" (meshes
// that carry a colour are drawn in it). Works on a copy of the modes and the flags; the caller
// takes them back after "&OK".
class ViewOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  ViewOptionsDialog(const ViewModes pairs[4], int view_title, int model_colours = 0,
                    QWidget* parent = nullptr);

  ViewModes Pair(int view_kind) const;
  int ViewTitle() const { return view_title_; }
  int ModelColours() const { return model_colours_; }

  QListWidget* Views() const { return views_; }
  QButtonGroup* RenderModes() const { return modes_; }
  QButtonGroup* FastRenderModes() const { return fast_modes_; }
  QCheckBox* Titles() const { return titles_; }
  QCheckBox* ModelColoursBox() const { return model_colours_box_; }

 private:
  void ShowPair(int view_kind);

  ViewModes pairs_[4];
  int view_title_;
  int model_colours_;
  int shown_ = 3;
  QListWidget* views_;
  QButtonGroup* modes_;
  QButtonGroup* fast_modes_;
  QCheckBox* titles_;
  QCheckBox* model_colours_box_;
};
