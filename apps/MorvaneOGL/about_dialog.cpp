#include "apps/MorvaneOGL/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "host/host_settings.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("MorvaneOGL Info");
  auto* icon = new QLabel;
  icon->setPixmap(QIcon(":/morvaneogl/morvaneogl.svg").pixmap(64, 64));
  auto* name = new QLabel("MorvaneOGL");
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  auto* build = new QLabel(QString::asprintf("Build: %ld", static_cast<long>(VIEWER_BUILD)));
  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(build);
  texts->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addLayout(texts, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}
