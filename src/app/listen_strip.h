// The listening controls in a slim strip under the menu bar: "Play" (the sheets as they stand;
// its menu, or Shift, plays the file on disk), "From Line", "Stop", "Follow", the track (counted
// from 0, as NSF players count) and a mute box per channel, always in view while playing.
#pragma once

#include <QWidget>
#include <array>

class QAction;
class QCheckBox;
class QFrame;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace kestra {

inline constexpr const char* kListenTitle = "Play";

class ListenStrip : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kHeight = 30;
    // NSF files number their tracks with one byte.
    static constexpr int kLastTrack = 255;

    explicit ListenStrip(QWidget* parent);
    int track() const;
    void setTrack(int track);
    // Play and Stop only for a file that can be played (an NSF); the Track box holds its
    // tracks 0..count-1.
    void setPlayable(bool playable, int trackCount = kLastTrack + 1);
    // Bit 0 Square 1 ... bit 3 Noise, as the player takes it.
    unsigned muteMask() const;
    bool follow() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  signals:
    // file: play the file as it is on disk rather than the sheets.
    void playClicked(bool file);
    void playFromLineClicked();
    void stopClicked();
    void muteChanged(unsigned mask);
    void followChanged(bool on);

  private:
    QToolButton* play_;
    QPushButton* fromLine_;
    QPushButton* stop_;
    QCheckBox* follow_;
    QSpinBox* track_;
    QFrame* rule_;
    std::array<QCheckBox*, 4> mutes_{};
};

}  // namespace kestra
