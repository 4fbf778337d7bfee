#include "app/message_log.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace kestra {

MessageLog::MessageLog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMessageLog");
    setWindowTitle("Message Log");
    resize(640, 320);
    view_ = new QPlainTextEdit(this);
    view_->setObjectName("txtMessageLog");
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* clear = buttons->addButton("Clear", QDialogButtonBox::ResetRole);
    connect(clear, &QPushButton::clicked, this, [this] {
        entries_.clear();
        view_->clear();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
}

void MessageLog::add(const QString& text) {
    QString entry = QTime::currentTime().toString("HH:mm:ss") + "  " + text;
    entries_ << entry;
    view_->appendPlainText(entry);
}

}  // namespace kestra
