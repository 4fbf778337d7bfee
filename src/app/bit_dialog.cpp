#include "app/bit_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestra {
namespace {

constexpr const char* kBoxNames[8] = {"chkOne",  "chkTwo", "chkThree", "chkFour",
                                      "chkFive", "chkSix", "chkSeven", "chkEight"};
constexpr const char* kFlagCaptions[8] = {"Disable pitch effect",
                                          "Toggle a 'connect' on notes",
                                          "Have higher speed",
                                          "To have an higher octave",
                                          "??",
                                          "??",
                                          "??",
                                          "??"};
constexpr const char* kToneCaptions[8] = {"Duty Cycle 50%", "Duty Cycle 25%", "No effect",
                                          "No effect",      "No effect",      "No effect",
                                          "No effect",      "No effect"};

QPushButton* bigButton(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    QFont font = button->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    button->setFont(font);
    return button;
}

}  // namespace

BitDialog::BitDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmBinary");
    setWindowTitle("Flag/Tony Type");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel("Check to...", this);
    info->setObjectName("lblInfo");
    layout->addWidget(info);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(this);
        boxes_[i]->setObjectName(kBoxNames[i]);
        layout->addWidget(boxes_[i]);
    }
    auto* infoTwo = new QLabel("Ok to confirm, Cancel to cancel.", this);
    infoTwo->setObjectName("lblInfoTwo");
    layout->addWidget(infoTwo);

    auto* cancel = bigButton("Cancel", "lblCancel", this);
    auto* ok = bigButton("OK", "lblOk", this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    prepare(BitKind::Flag, "--");
}

void BitDialog::prepare(BitKind kind, const std::string& bits) {
    std::string shown = bits == "--" || bits.size() != 8 ? std::string("00000000") : bits;
    const auto& captions = kind == BitKind::Flag ? kFlagCaptions : kToneCaptions;
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setText(captions[i]);
        boxes_[i]->setChecked(shown[i] == '1');
    }
}

std::string BitDialog::chosenBits() const {
    std::string bits;
    for (QCheckBox* box : boxes_) bits += box->isChecked() ? '1' : '0';
    return bits;
}

std::string BitDialog::editBits(BitKind kind, const std::string& bits) {
    prepare(kind, bits);
    boxes_[0]->setFocus();
    return exec() == QDialog::Accepted ? chosenBits() : std::string("--");
}

}  // namespace kestra
