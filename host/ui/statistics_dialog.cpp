#include "host/ui/statistics_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/host_commands.h"
#include "host/ui/detail_dialog.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"

namespace {

const int kPositionRole = Qt::UserRole + 1;

}  // namespace

StatisticsDialog::StatisticsDialog(ObjectList& objects, bool with_details, QWidget* parent)
    : QDialog(parent), objects_(objects), with_details_(with_details) {
  setWindowTitle("Statistics");
  list_ = new QTreeWidget;
  list_->setColumnCount(5);
  list_->setHeaderLabels({"Nr.", "Type", "Name", "Faces", "Vertices"});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item, int) { ShowDetails(item); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  if (with_details_) {
    QPushButton* details = buttons->addButton("&Details", QDialogButtonBox::ActionRole);
    connect(details, &QPushButton::clicked, this, [this]() { ShowDetails(list_->currentItem()); });
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(560, 320);

  if (objects_.count() == 0) return;
  for (int32_t i = 0; i < objects_.count(); ++i) AddLine(i, list_->topLevelItemCount());
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  setWindowTitle("Morvane Statistic");
  for (int c = 0; c < 5; ++c)
    if (c != 2) list_->resizeColumnToContents(c);
}

void StatisticsDialog::AddLine(int position, int row) {
  std::string line = StatisticsLine(objects_, position);
  if (line.empty()) return;
  QString text = QString::fromUtf8(line.c_str());
  QStringList columns = text.split('\t');
  columns.removeFirst();  // the line starts with a tab
  auto* item = new QTreeWidgetItem(columns);
  item->setData(0, Qt::UserRole, text);
  item->setData(0, kPositionRole, position);
  for (int c : {0, 3, 4}) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  list_->insertTopLevelItem(row, item);
}

QStringList StatisticsDialog::Lines() const {
  QStringList lines;
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    lines << list_->topLevelItem(i)->data(0, Qt::UserRole).toString();
  return lines;
}

void StatisticsDialog::ShowDetails(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  int position = item->data(0, kPositionRole).toInt();
  auto* object = static_cast<Obj3d*>(objects_.get(position));
  if (object == nullptr || object->kind() != 0) return;
  DetailDialog detail(*static_cast<Mesh3d*>(object), with_details_, this);
  if (detail.exec() != QDialog::Accepted) return;
  int row = list_->indexOfTopLevelItem(item);
  delete list_->takeTopLevelItem(row);
  AddLine(position, row);
  list_->setCurrentItem(list_->topLevelItem(row));
}
