#include "app/listen_strip.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

namespace kestra {
namespace {

constexpr const char* kMuteCaptions[] = {"Square 1", "Square 2", "Triangle", "Noise"};
constexpr const char* kMuteNames[] = {"chkMuteSq1", "chkMuteSq2", "chkMuteTri", "chkMuteNoise"};

}  // namespace

ListenStrip::ListenStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("listenStrip");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(4);

    play_ = new QToolButton(this);
    play_->setObjectName("btnPlay");
    play_->setText("Play");
    play_->setToolTip("Play the sheets as they stand, without writing them (Shift: the file)");
    play_->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(play_);
    QAction* sheets = menu->addAction("Play Sheets");
    sheets->setObjectName("actPlaySheets");
    QAction* file = menu->addAction("Play File");
    file->setObjectName("actPlayFile");
    QAction* fromLine = menu->addAction("Play from Line");
    fromLine->setShortcut(Qt::CTRL | Qt::Key_Space);
    fromLine->setShortcutContext(Qt::WindowShortcut);
    play_->setMenu(menu);
    // The shortcut must work while the menu is closed.
    parent->addAction(fromLine);
    connect(play_, &QToolButton::clicked, this,
            [this] { emit playClicked(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
    connect(sheets, &QAction::triggered, this, [this] { emit playClicked(false); });
    connect(file, &QAction::triggered, this, [this] { emit playClicked(true); });
    connect(fromLine, &QAction::triggered, this, &ListenStrip::playFromLineClicked);
    row->addWidget(play_);

    fromLine_ = new QPushButton("From Line", this);
    fromLine_->setObjectName("btnPlayFromLine");
    fromLine_->setToolTip("Play from the first time the selected line plays (Ctrl+Space)");
    connect(fromLine_, &QPushButton::clicked, this, &ListenStrip::playFromLineClicked);
    row->addWidget(fromLine_);

    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("btnStop");
    connect(stop_, &QPushButton::clicked, this, &ListenStrip::stopClicked);
    row->addWidget(stop_);

    follow_ = new QCheckBox("Follow", this);
    follow_->setObjectName("chkFollow");
    follow_->setToolTip("Mark and scroll to the playing line of the sheet shown");
    follow_->setChecked(true);
    connect(follow_, &QCheckBox::toggled, this, &ListenStrip::followChanged);
    row->addSpacing(8);
    row->addWidget(follow_);

    auto* trackLabel = new QLabel("Track", this);
    trackLabel->setObjectName("lblTrack");
    track_ = new QSpinBox(this);
    track_->setObjectName("spnTrack");
    track_->setRange(0, kLastTrack);
    row->addSpacing(8);
    row->addWidget(trackLabel);
    row->addWidget(track_);

    auto* muteLabel = new QLabel("Mute:", this);
    muteLabel->setObjectName("lblMute");
    row->addSpacing(8);
    row->addWidget(muteLabel);
    for (size_t i = 0; i < mutes_.size(); ++i) {
        mutes_[i] = new QCheckBox(kMuteCaptions[i], this);
        mutes_[i]->setObjectName(kMuteNames[i]);
        row->addWidget(mutes_[i]);
        connect(mutes_[i], &QCheckBox::toggled, this, [this] { emit muteChanged(muteMask()); });
    }
    row->addStretch(1);
    // Sets the strip apart from the controls of the song below it.
    rule_ = new QFrame(this);
    rule_->setFrameShape(QFrame::HLine);
    rule_->setFrameShadow(QFrame::Sunken);

    // Clicking them leaves the keyboard with the grid, so editing goes on while listening.
    for (QWidget* w : std::initializer_list<QWidget*>{play_, fromLine_, stop_, follow_, mutes_[0],
                                                      mutes_[1], mutes_[2], mutes_[3]})
        w->setFocusPolicy(Qt::TabFocus);
}

void ListenStrip::setPlayable(bool playable, int trackCount) {
    play_->setEnabled(playable);
    fromLine_->setEnabled(playable);
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

bool ListenStrip::follow() const {
    return follow_->isChecked();
}

unsigned ListenStrip::muteMask() const {
    unsigned mask = 0;
    for (size_t i = 0; i < mutes_.size(); ++i)
        if (mutes_[i]->isChecked()) mask |= 1u << i;
    return mask;
}

}  // namespace kestra
