// Listening: the audio source the sound output pulls from, and refusals of "Play".
#include "app/audio_preview.h"

#include <QTest>
#include <cstdlib>

#include "fixtures/fixture_builder.h"
#include "gui_test_registry.h"
#include "preview/nsf_render.h"

namespace kestra::testing {

namespace {

Bytes toneNsf() {
    fixtures::BuildOptions options;
    options.nsfCode = fixtures::NsfCode::Tone;
    return fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs(), options).bytes;
}

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

class AudioPreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void sourceGivesWholeFramesOfSound() {
        auto renderer = preview::NsfRenderer::open(toneNsf());
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

    void playRefusesWhatCannotBePlayed() {
        AudioPreview audio;
        auto rom = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs()).bytes;
        auto err = audio.play(rom, 0, 0);
        QVERIFY(err);
        QVERIFY(err->find("needs an NSF file") != std::string::npos);
        QVERIFY(!audio.isPlaying());
        err = audio.play(toneNsf(), 7, 0);
        QVERIFY(err);
        QVERIFY(err->find("Track 7 does not exist") != std::string::npos);
        QVERIFY(!audio.isPlaying());
        audio.stop();  // stopping when nothing plays does nothing
    }
};

namespace {
RegisterGuiTest<AudioPreviewTest> registerAudioPreview;
}

}  // namespace kestra::testing

#include "audio_preview_test.moc"
