#include "app/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kestra {

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setPosition(int position) {
    position_ = std::clamp(position, 1, maximum_);
}

void UpDown::setMaximum(int maximum) {
    maximum_ = std::max(1, maximum);
    position_ = std::clamp(position_, 1, maximum_);
}

void UpDown::step(int delta) {
    setPosition(position_ + delta);
    emit clicked();
}

}  // namespace kestra
