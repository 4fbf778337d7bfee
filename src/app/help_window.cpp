#include "app/help_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestra {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmHelp");
    setWindowTitle("Help");
    setModal(true);
    resize(564, 480);
    setMinimumSize(564, 480);

    help_ = new QLabel(this);
    help_->setObjectName("lblHelp");
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setTextFormat(Qt::PlainText);
    help_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* credits = new QVBoxLayout;
    const char* const creditTexts[] = {
        "Kestra Music Editor - Version 0.1",
        "A song editor for the music of an NES sound driver.",
        "Read a song, edit its sheets, and create its code back into the file.",
    };
    int n = 1;
    for (const char* line : creditTexts) {
        auto* label = new QLabel(line, this);
        label->setObjectName(QString("lblCredits%1").arg(n++));
        credits->addWidget(label);
    }

    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("btnOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addLayout(credits);
    bottom->addStretch();
    bottom->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(help_);
    layout->addStretch();
    layout->addLayout(bottom);
}

void HelpWindow::setText(const std::string& text) {
    help_->setText(QString::fromStdString(text));
    // A long text in a large font or scale widens the window rather than being cut.
    layout()->activate();
    resize(size().expandedTo(sizeHint()));
}

QString HelpWindow::text() const {
    return help_->text();
}

void HelpWindow::showHelp(const std::string& text) {
    setText(text);
    exec();
}

}  // namespace kestra
