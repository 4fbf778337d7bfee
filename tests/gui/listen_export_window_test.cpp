// The listening strip and "Export Patch..." in the window: what Play hands the player (the file
// as it is on disk now, the track, the muted channels), its refusals, and the patch written; and
// the audio source the sound output pulls from.
#include <QSpinBox>
#include <cstdlib>

#include "fakes.h"
#include "preview/nsf_render.h"
#include "rom/crc32.h"
#include "rom/ips_patch.h"
#include "rom/patch_export.h"

namespace kestra::testing {

namespace {

int peak(const QByteArray& bytes) {
    int p = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        auto s = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8);
        p = std::max(p, std::abs(static_cast<int>(s)));
    }
    return p;
}

}  // namespace

class ListenExportWindowTest : public WindowTest {
    Q_OBJECT

    static const std::string& lastBox(Fakes& f) { return f.messages.boxes.back().text; }

  private slots:
    void playIsForNsfFilesUpToTheirTrackCount() {
        {
            TestWindow t(/*realPlayer=*/true);  // refused before any player is asked
            t.window.listenStrip().findChild<QAbstractButton*>("btnPlay")->click();
            QVERIFY((t.fakes.messages.boxes.at(0) ==
                     FakeMessages::Box{kListenTitle, kSelectFileFirst}));
        }
        MainWindow& w = fresh();
        auto* play = w.listenStrip().findChild<QAbstractButton*>("btnPlay");
        auto* stop = w.listenStrip().findChild<QPushButton*>("btnStop");
        auto* track = w.listenStrip().findChild<QSpinBox*>("spnTrack");
        w.openFile(writeFixture("game.nes", Layout::Rom43));
        QVERIFY(!play->isEnabled() && !stop->isEnabled());
        std::string nsf = writeFixture("song.nsf", Layout::Nsf);
        w.openFile(nsf);
        QVERIFY(play->isEnabled() && stop->isEnabled());
        QCOMPARE(track->maximum(), int(onDisk(nsf)[6]) - 1);
    }

    void playTakesTheFileOnDiskTheTrackAndTheMutes() {
        MainWindow& w = fresh();
        std::string path = writeFixture("song.nsf", Layout::Nsf);
        w.openFile(path);
        ListenStrip& strip = w.listenStrip();
        auto* track = strip.findChild<QSpinBox*>("spnTrack");
        QCOMPARE(track->value(), 0);  // Song ID 1
        w.controls().txtSongID->setText("3");
        QCOMPARE(track->value(), 2);
        track->setValue(1);  // the user's choice stands until the Song ID changes

        strip.findChild<QCheckBox*>("chkMuteSq2")->click();
        strip.findChild<QCheckBox*>("chkMuteNoise")->click();
        QCOMPARE(fakes_->player.muteChanges.back(), 0b1010u);
        strip.findChild<QAbstractButton*>("btnPlay")->click();
        QCOMPARE(fakes_->player.plays.size(), size_t(1));
        QCOMPARE(fakes_->player.plays[0].track, 1);
        QCOMPARE(fakes_->player.plays[0].muteMask, 0b1010u);
        QVERIFY(fakes_->player.plays[0].file == onDisk(path));

        // Muting applies at once while playing; the next press reads the file again.
        strip.findChild<QCheckBox*>("chkMuteSq2")->click();
        QCOMPARE(fakes_->player.muteChanges.back(), 0b1000u);
        Bytes changed = onDisk(path);
        changed.back() ^= 0xFF;
        QVERIFY(fixtures::writeBytes(path, changed));
        strip.findChild<QAbstractButton*>("btnPlay")->click();
        QVERIFY(fakes_->player.plays.back().file == changed);
        QCOMPARE(fakes_->player.plays.back().muteMask, 0b1000u);
        QVERIFY(fakes_->messages.boxes.empty());

        int stops = fakes_->player.stops;
        strip.findChild<QPushButton*>("btnStop")->click();
        QCOMPARE(fakes_->player.stops, stops + 1);
        w.openFile(writeFixture("other.nsf", Layout::Nsf));  // another file stops the song
        QCOMPARE(fakes_->player.stops, stops + 2);

        // A player's refusal is shown as it is given.
        fakes_->player.reply = "Track 9 does not exist.";
        strip.findChild<QAbstractButton*>("btnPlay")->click();
        QCOMPARE(lastBox(*fakes_), std::string("Track 9 does not exist."));
    }

    // An NSF whose driver walks the streams: Play takes the edited sheets (the file stays as it
    // is), "Play File" the file; From Line starts where the selected line first plays, and
    // Follow marks the line at the player's position without moving the selection.
    void playsTheSheetsFollowsAndStartsFromALine() {
        MainWindow& w = fresh();
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
        fixtures::installWalkerDriver(built.bytes, 3);
        const std::string file = writeFile("walk.nsf", built.bytes);
        openAndRead(w, file);
        SheetView* music = w.currentView();
        music->selectCell(0, music::kVol);
        QTest::keyClick(music, Qt::Key_7);
        QTest::keyClick(music, Qt::Key_3);

        ListenStrip& strip = w.listenStrip();
        strip.findChild<QAbstractButton*>("btnPlay")->click();
        QCOMPARE(fakes_->player.plays.size(), size_t(1));
        QVERIFY(fakes_->player.plays[0].file != built.bytes);
        QVERIFY(onDisk(file) == built.bytes);
        strip.findChild<QAction*>("actPlayFile")->trigger();
        QVERIFY(fakes_->player.plays.back().file == built.bytes);

        int row = 1;
        while (row < music->model()->rowCount() &&
               music->model()->index(row, music::kNote).data().toString() == "---")
            ++row;
        QVERIFY(row + 1 < music->model()->rowCount());
        music->selectCell(row, music::kNote);
        strip.findChild<QPushButton*>("btnPlayFromLine")->click();
        for (const auto& box : fakes_->messages.boxes) QFAIL(box.text.c_str());
        const long long startMs = fakes_->player.plays.back().startMs;
        QVERIFY(startMs > 0);
        fakes_->player.position = startMs;
        w.followPlayback();
        QCOMPARE(music->playingRow(), row);
        QCOMPARE(music->currentIndex().row(), row);
        strip.findChild<QCheckBox*>("chkFollow")->click();
        QCOMPARE(music->playingRow(), -1);
        strip.findChild<QCheckBox*>("chkFollow")->click();
        strip.findChild<QPushButton*>("btnStop")->click();
        QCOMPARE(music->playingRow(), -1);
    }

    void exportPatchDiffsTheFileAsSelected() {
        MainWindow& w = fresh();
        w.menu().exportPatch->trigger();
        QCOMPARE(lastBox(*fakes_), std::string(kSelectFileFirst));

        std::string rom = writeFixture("game.nes", Layout::Rom49);
        w.openFile(rom);
        Bytes opened = onDisk(rom);
        w.menu().exportPatch->trigger();
        QCOMPARE(lastBox(*fakes_), std::string(kNothingToExport));
        QCOMPARE(fakes_->files.saveAsked, 0);

        Bytes changed = opened;
        changed[0x20] ^= 0x55;
        QVERIFY(fixtures::writeBytes(rom, changed));
        std::string out = path("game.ips");
        fakes_->files.nextSave = out;
        // Changed by another program: refused. Once the change counts as the editor's own
        // (as after "Create Code"), the patch carries it.
        w.menu().exportPatch->trigger();
        QVERIFY(lastBox(*fakes_).find(kFileChangedOnDisk) != std::string::npos);
        w.document().file.identity = readIdentifiedFile(rom)->identity;
        w.menu().exportPatch->trigger();
        QCOMPARE(fakes_->files.suggested, out);
        QVERIFY2(lastBox(*fakes_).find("CRC32 of the original: " + crc32Text(crc32(opened))) !=
                     std::string::npos,
                 lastBox(*fakes_).c_str());
        auto patched = applyIpsPatch(opened, onDisk(out));
        QVERIFY2(patched.ok(), patched.error().c_str());
        QVERIFY(*patched == changed);

        // Selecting the file again makes its bytes now the ones a patch starts from...
        w.openFile(rom);
        w.menu().exportPatch->trigger();
        QCOMPARE(lastBox(*fakes_), std::string(kNothingToExport));
        // ... unless a backup of it is kept: then the patch holds every change since.
        QVERIFY(fixtures::writeBytes(rom + ".bak", opened));
        w.openFile(rom);
        w.menu().exportPatch->trigger();
        QVERIFY(*applyIpsPatch(opened, onDisk(out)) == changed);
        QVERIFY(lastBox(*fakes_).find(crc32Text(crc32(opened))) != std::string::npos);
    }

    void sourceGivesWholeFramesOfSound() {
        fixtures::BuildOptions tone;
        tone.nsfCode = fixtures::NsfCode::Tone;
        auto renderer = preview::NsfRenderer::open(
            fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs(), tone).bytes);
        QVERIFY(renderer.ok());
        QVERIFY(!renderer->startTrack(0));
        NsfAudioSource source(std::make_unique<preview::NsfRenderer>(std::move(*renderer)));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QVERIFY(source.isSequential());
        QVERIFY(source.bytesAvailable() > 0);
        QByteArray first = source.read(4410 * 4 + 3);
        QVERIFY(first.size() > 0);
        QCOMPARE(first.size() % 4, 0);  // whole stereo frames only
        QVERIFY(peak(first) > 2000);
        source.setMutedVoices(0x1F);
        QByteArray muted = source.read(4096 * 4);
        QVERIFY(peak(muted.right(2048 * 4)) < 64);
    }
};

static RegisterGuiTest<ListenExportWindowTest> registerListenExportWindow;

}  // namespace kestra::testing

#include "listen_export_window_test.moc"
