#include "app/bit_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/bit_dialog.h"

namespace kestra {
namespace {

constexpr const char* kBoxNames[8] = {"chkOne",  "chkTwo", "chkThree", "chkFour",
                                      "chkFive", "chkSix", "chkSeven", "chkEight"};
QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPushButton* bigButton(std::string_view caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text(caption), parent);
    button->setObjectName(name);
    QFont font = button->font();
    if (font.pointSize() > 0)
        font.setPointSize(font.pointSize() + 6);
    else
        font.setPixelSize(font.pixelSize() + 8);
    font.setBold(true);
    button->setFont(font);
    return button;
}

}  // namespace

BitDialog::BitDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmBinary");
    setWindowTitle(text(kBitDialogTitle));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(text(kBitDialogInfo), this);
    info->setObjectName("lblInfo");
    layout->addWidget(info);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(this);
        boxes_[i]->setObjectName(kBoxNames[i]);
        layout->addWidget(boxes_[i]);
    }
    auto* infoTwo = new QLabel(text(kBitDialogInfoTwo), this);
    infoTwo->setObjectName("lblInfoTwo");
    layout->addWidget(infoTwo);

    auto* cancel = bigButton(kBitDialogCancel, "lblCancel", this);
    auto* ok = bigButton(kBitDialogOk, "lblOk", this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Return means OK wherever the focus is; Escape already means Cancel.
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    prepare(BitKind::Flag, std::string(kNoBits));
}

void BitDialog::prepare(BitKind kind, const std::string& bits) {
    const auto& captions = bitDialogCaptions(kind);
    const auto checks = bitDialogChecks(bits);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setText(text(captions[i]));
        boxes_[i]->setChecked(checks[i]);
    }
}

std::string BitDialog::chosenBits() const {
    std::array<bool, 8> checks{};
    for (size_t i = 0; i < boxes_.size(); ++i) checks[i] = boxes_[i]->isChecked();
    return bitTextOfChecks(checks);
}

std::string BitDialog::editBits(BitKind kind, const std::string& bits) {
    prepare(kind, bits);
    boxes_[0]->setFocus();
    return exec() == QDialog::Accepted ? chosenBits() : std::string(kNoBits);
}

}  // namespace kestra
