#include "host/ui/detail_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "meshlib/mesh3d.h"

namespace {

// The longest name the dialog takes, as the hosts' name buffers hold it.
constexpr int kMaxName = 1022;

QString three_decimals(double value) {
  // "%.3lf" with ".", whatever the user's locale.
  return QString::number(value, 'f', 3);
}

}  // namespace

DetailDialog::DetailDialog(Mesh3d& mesh, bool with_cancel, QWidget* parent)
    : QDialog(parent), mesh_(mesh) {
  setWindowTitle("Morvane Detailed Statistics");
  auto* form = new QFormLayout;
  name_ = new QLineEdit(QString::fromUtf8(mesh.name()));
  name_->setMaxLength(kMaxName);
  name_->setObjectName("Name");
  form->addRow("Name", name_);
  auto add = [form, this](const QString& label, const QString& text) {
    auto* field = new QLineEdit(text);
    field->setReadOnly(true);
    field->setObjectName(label);
    form->addRow(label, field);
  };
  add("Type", "MESH");
  add("Faces", QString::number(mesh.flat_face_count));
  add("Vertices", QString::number(mesh.flat_vertex_count));
  add("Min X", three_decimals(mesh.bbox_min.x));
  add("Min Y", three_decimals(mesh.bbox_min.y));
  add("Min Z", three_decimals(mesh.bbox_min.z));
  add("Max X", three_decimals(mesh.bbox_max.x));
  add("Max Y", three_decimals(mesh.bbox_max.y));
  add("Max Z", three_decimals(mesh.bbox_max.z));

  // The colour the mesh carries from its file: a swatch and "#RRGGBB finish", or "-".
  auto* colour_row = new QHBoxLayout;
  auto* swatch = new QLabel;
  swatch->setObjectName("Swatch");
  swatch->setFixedSize(32, 18);
  auto* colour = new QLineEdit;
  colour->setReadOnly(true);
  colour->setObjectName("Colour");
  if (mesh.has_appearance != 0) {
    const std::string text = colour_text(mesh.appearance);
    colour->setText(QString::fromStdString(text) + " " + finish_word(mesh.appearance.finish));
    swatch->setStyleSheet(QString("background-color: %1; border: 1px solid gray;")
                              .arg(QString::fromStdString(text.substr(0, 7))));
  } else {
    colour->setText("-");
    swatch->setStyleSheet("border: 1px solid gray;");
  }
  colour_row->addWidget(swatch);
  colour_row->addWidget(colour);
  form->addRow("Colour", colour_row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  if (with_cancel) buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(340);
}

QString DetailDialog::Field(const QString& label) const {
  auto* field = findChild<QLineEdit*>(label);
  return field != nullptr ? field->text() : QString();
}

void DetailDialog::accept() {
  mesh_.set_name(name_->text().toUtf8().constData());
  QDialog::accept();
}
