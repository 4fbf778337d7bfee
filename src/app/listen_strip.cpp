#include "app/listen_strip.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace kestra {
namespace {

constexpr const char* kMuteCaptions[] = {"Square 1", "Square 2", "Triangle", "Noise"};
constexpr const char* kMuteNames[] = {"chkMuteSq1", "chkMuteSq2", "chkMuteTri", "chkMuteNoise"};

}  // namespace

ListenStrip::ListenStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("listenStrip");
    play_ = new QPushButton("Play", this);
    play_->setObjectName("btnPlay");
    play_->setGeometry(8, 3, 64, 24);
    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("btnStop");
    stop_->setGeometry(76, 3, 64, 24);

    auto* trackLabel = new QLabel("Track", this);
    trackLabel->setObjectName("lblTrack");
    trackLabel->move(156, 8);
    trackLabel->adjustSize();
    track_ = new QSpinBox(this);
    track_->setObjectName("spnTrack");
    track_->setRange(0, kLastTrack);
    track_->setGeometry(192, 4, 56, 22);

    auto* muteLabel = new QLabel("Mute:", this);
    muteLabel->setObjectName("lblMute");
    muteLabel->move(268, 8);
    muteLabel->adjustSize();
    int x = 306;
    for (size_t i = 0; i < mutes_.size(); ++i) {
        mutes_[i] = new QCheckBox(kMuteCaptions[i], this);
        mutes_[i]->setObjectName(kMuteNames[i]);
        mutes_[i]->move(x, 6);
        mutes_[i]->adjustSize();
        x += 80;
        connect(mutes_[i], &QCheckBox::toggled, this, [this] { emit muteChanged(muteMask()); });
    }
    // Sets the strip apart from the controls of the song below it.
    rule_ = new QFrame(this);
    rule_->setFrameShape(QFrame::HLine);
    rule_->setFrameShadow(QFrame::Sunken);

    // Clicking them leaves the keyboard with the grid, so editing goes on while listening.
    for (QWidget* w :
         std::initializer_list<QWidget*>{play_, stop_, mutes_[0], mutes_[1], mutes_[2], mutes_[3]})
        w->setFocusPolicy(Qt::TabFocus);

    connect(play_, &QPushButton::clicked, this, &ListenStrip::playClicked);
    connect(stop_, &QPushButton::clicked, this, &ListenStrip::stopClicked);
}

void ListenStrip::setPlayable(bool playable, int trackCount) {
    play_->setEnabled(playable);
    stop_->setEnabled(playable);
    track_->setMaximum(std::clamp(trackCount, 1, kLastTrack + 1) - 1);
}

void ListenStrip::resizeEvent(QResizeEvent*) {
    rule_->setGeometry(0, height() - 2, width(), 2);
}

int ListenStrip::track() const {
    return track_->value();
}

void ListenStrip::setTrack(int track) {
    track_->setValue(track);
}

unsigned ListenStrip::muteMask() const {
    unsigned mask = 0;
    for (size_t i = 0; i < mutes_.size(); ++i)
        if (mutes_[i]->isChecked()) mask |= 1u << i;
    return mask;
}

}  // namespace kestra
