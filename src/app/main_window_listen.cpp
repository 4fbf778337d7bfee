// The main window's listening: Play of the sheets as they stand (written into a copy of the file
// in memory only) or of the file on disk, Play from the selected line, and Follow, which marks the
// line the driver is playing in the sheet shown.
#include <QThread>
#include <QTimer>

#include "app/audio_preview.h"
#include "app/listen_strip.h"
#include "app/main_window.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "format/read_song.h"
#include "model/guard.h"
#include "preview/nsf_render.h"

namespace kestra {
namespace {

// How far a timeline runs: longer than nearly every song takes to go round once.
constexpr int kTimelineSeconds = 600;
// How often Follow looks where the sound is: a few times a frame of the screen is too often.
constexpr int kFollowIntervalMs = 40;

}  // namespace

void MainWindow::connectListening() {
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(kFollowIntervalMs);
    connect(followTimer_, &QTimer::timeout, this, &MainWindow::followPlayback);
    connect(listen_, &ListenStrip::playClicked, this, &MainWindow::play);
    connect(listen_, &ListenStrip::playFromLineClicked, this, &MainWindow::playFromLine);
    connect(listen_, &ListenStrip::stopClicked, this, &MainWindow::stopPlaying);
    connect(listen_, &ListenStrip::muteChanged, this,
            [this](unsigned mask) { player_->setMutedVoices(mask); });
    connect(listen_, &ListenStrip::followChanged, this, [this](bool) { followPlayback(); });
}

std::optional<listen::PlayableSong> MainWindow::playable(bool file) {
    if (!doc_.file.isOpen()) {
        ports_.messages->messageBox(kListenTitle, kSelectFileFirst);
        return std::nullopt;
    }
    // Read again at each press: after "Create Code" the patched file is what plays.
    auto bytes = readFileBytes(doc_.file.path);
    if (!bytes) {
        ports_.messages->messageBox(kListenTitle, bytes.error());
        return std::nullopt;
    }
    if (auto why = preview::previewRefusal(*bytes)) {
        ports_.messages->messageBox(kListenTitle, *why);
        return std::nullopt;
    }
    // Sheets that hold nothing yet have no song to play: the file's song stands in.
    if (file || doc_.sheets == Sheets{})
        return listen::playableTrack(std::move(*bytes), doc_.file.path, listen_->track());
    std::optional<listen::PlayableSong> song;
    const std::string address = c_.txtAddress->text().toStdString();
    const int songId = c_.songIdUpDown->position();
    // The encoder's messages go to the "Important message" box, as Create Code's do.
    runGuarded(ports_.messages, [&] { song = listen::playableSheets(doc_, address, songId); });
    return song;
}

void MainWindow::play(bool file) {
    auto song = playable(file);
    if (!song) return;
    computeTimeline(*song, listen_->track());
    if (startPlaying(std::move(*song), 0))
        report(QString("Playing %1, track %2")
                   .arg(file ? "the file" : "the sheets")
                   .arg(listen_->track()));
}

void MainWindow::playFromLine() {
    auto song = playable(false);
    if (!song) return;
    const int track = listen_->track();
    auto timeline = listen::runTimeline(song->nsf, track, kTimelineSeconds * 60, song->places);
    if (!timeline) {
        ports_.messages->messageBox(kListenTitle, timeline.error());
        return;
    }
    SheetView* view = currentView();
    const int row = view->currentIndex().isValid() ? view->currentIndex().row() : 0;
    const listen::SheetLine line{doc_.frames.currentFrame, row};
    auto frame = timeline->firstFrameOf(doc_.currentChannel, line);
    if (!frame) {
        ports_.messages->messageBox(
            kListenTitle, "Line " + std::to_string(row) + " is not played in the first " +
                              std::to_string(kTimelineSeconds / 60) + " minutes of the song" +
                              (timeline->stopped.empty() ? "." : ": " + timeline->stopped));
        return;
    }
    const long long startMs = timeline->msAtFrame(*frame);
    ++playGeneration_;
    timeline_ = std::make_shared<const listen::Timeline>(std::move(*timeline));
    if (startPlaying(std::move(*song), startMs))
        report(QString("Playing from line %1, track %2").arg(row).arg(listen_->track()));
}

bool MainWindow::startPlaying(listen::PlayableSong song, long long startMs) {
    if (auto err = player_->play(song.nsf, listen_->track(), listen_->muteMask(), startMs)) {
        ports_.messages->messageBox(kListenTitle, *err);
        report("Not playing: " + QString::fromStdString(*err));
        return false;
    }
    followTimer_->start();
    return true;
}

void MainWindow::computeTimeline(const listen::PlayableSong& song, int track) {
    const int generation = ++playGeneration_;
    timeline_.reset();
    auto result = std::make_shared<std::optional<listen::Timeline>>();
    QThread* worker = QThread::create([result, nsf = song.nsf, places = song.places, track] {
        auto t = listen::runTimeline(nsf, track, kTimelineSeconds * 60, places);
        if (t) *result = std::move(*t);
    });
    connect(worker, &QThread::finished, this, [this, worker, result, generation] {
        worker->deleteLater();
        if (generation != playGeneration_ || !*result) return;
        timeline_ = std::make_shared<const listen::Timeline>(std::move(**result));
        followPlayback();
    });
    worker->start();
}

void MainWindow::stopPlaying() {
    const bool wasPlaying = followTimer_ && followTimer_->isActive();
    player_->stop();
    ++playGeneration_;
    timeline_.reset();
    if (followTimer_) followTimer_->stop();
    followPlayback();
    if (wasPlaying) report("Stopped");
}

void MainWindow::followPlayback() {
    std::optional<listen::SheetLine> playing;
    auto position = player_->positionMs();
    if (listen_->follow() && timeline_ && position)
        playing = timeline_->lineAt(doc_.currentChannel, timeline_->frameAtMs(*position));
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break}) {
            const bool here =
                ch == doc_.currentChannel && playing && playing->frame == doc_.frames.currentFrame;
            sheets_->view(ch, kind)->setPlayingRow(here ? playing->line : -1);
        }
}

}  // namespace kestra
