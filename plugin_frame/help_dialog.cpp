#include "plugin_frame/help_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kHelpText = 2048;
}

HelpDialog::HelpDialog(const QString& title, const char* help_text, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setProperty("controlId", kIdText);
  text_->setReadOnly(true);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  text_->setPlainText(QString::fromUtf8(help_text != nullptr ? help_text : "").left(kHelpText));
  text_->setMinimumSize(360, 220);
  layout->addWidget(text_);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setProperty("controlId", kIdOk);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  layout->addLayout(row);
}

QString HelpDialog::Text() const { return text_->toPlainText(); }
