#include "apps/MorvaneOGL/scene_progress_dialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

SceneProgressDialog::SceneProgressDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Progress");
  text_ = new QLabel;
  bar_ = new QProgressBar;
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  percent_ = new QLabel(" 0 %");
  percent_->setMinimumWidth(percent_->fontMetrics().horizontalAdvance(" 100 % "));
  auto* row = new QHBoxLayout;
  row->addWidget(bar_, 1);
  row->addWidget(percent_);
  cancel_ = new QPushButton("Cancel");
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addLayout(row);
  layout->addLayout(buttons);
  setMinimumWidth(320);
  // Input reaches this dialog alone while the views are half built.
  setWindowModality(Qt::ApplicationModal);
}

void SceneProgressDialog::Finish() { hide(); }

void SceneProgressDialog::Step(const QString& text, int percent) {
  if (!text.isEmpty()) text_->setText(text);
  bar_->setValue(percent);
  percent_->setText(QString(" %1 %").arg(percent));
  // Paint and take Cancel; the dialog is modal, so no other window takes input meanwhile.
  QCoreApplication::processEvents();
}

QString SceneProgressDialog::Text() const { return text_->text(); }

int SceneProgressDialog::Percent() const { return bar_->value(); }

QString SceneProgressDialog::PercentText() const { return percent_->text(); }
