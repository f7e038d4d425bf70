#pragma once

#include <QDialog>

class ObjectList;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The statistics dialog: one line per mesh of the object list ("Nr.", "Type", "Name", "Faces",
// "Vertices"), the first selected; a double-click (and, in the viewer, "&Details") opens the
// detail dialog of the line's mesh, whose OK renames it and replaces the line in place.
// Each row keeps its statistics line as the item's data (Qt::UserRole).
class StatisticsDialog : public QDialog {
  Q_OBJECT
 public:
  // with_details: the viewer's "&Details" button and the detail dialog's "&Cancel".
  StatisticsDialog(ObjectList& objects, bool with_details, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  // The statistics lines as shown, in order.
  QStringList Lines() const;
  // Opens the detail dialog of a row, as a double-click does.
  void ShowDetails(QTreeWidgetItem* item);

 private:
  void AddLine(int position, int row);

  ObjectList& objects_;
  bool with_details_;
  QTreeWidget* list_;
};
