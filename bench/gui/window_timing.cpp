// Times the editor window: start-up to the first shown window, switching sheets, and reading a
// song of 10,000 lines into the sheets (with the views brought up to date and painted).
// Run under Xvfb or with QT_QPA_PLATFORM=offscreen.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "model/heap_tuning.h"
#include "app/main_window.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "fixtures/fixture_builder.h"
#include "format/read_song.h"

namespace {

class Yes : public kestra::MessagePort {
  public:
    void messageBox(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    bool confirm(const std::string&, const std::string&) override { return true; }
};

class Silent : public kestra::SoundPort {
  public:
    void playErrorSound() override {}
};

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// count notes of one line each (base 0x21), or of four lines each (base 0x61).
kestra::fixtures::ChannelStream notes(int count, int base = 0x21) {
    kestra::Bytes bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(base + i % 24));
    bytes.push_back(0x17);
    return kestra::fixtures::ChannelStream{bytes, {}};
}

void paint(QWidget& w) {
    QApplication::processEvents();
    w.repaint();
}

}  // namespace

// The resident memory of this process, from /proc.
double residentMb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %lf kB", &kb) == 1) break;
    std::fclose(f);
    return kb / 1024;
}

// Pages this process touched for the first time so far: each costs a trap into the kernel.
long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

int main(int argc, char** argv) {
    QElapsedTimer total;
    total.start();
    kestra::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    Yes yes;
    Silent silent;
    kestra::AppPorts ports;
    ports.messages = &yes;
    ports.sound = &silent;

    QElapsedTimer t;
    t.start();
    kestra::MainWindow window(ports);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::fprintf(stderr, "window not exposed\n");
    paint(window);
    std::printf("start-up: window built and shown in %.1f ms (%.1f ms since main)\n", msSince(t),
                msSince(total));

    QTemporaryDir dir;
    kestra::fixtures::SongSpec song;
    song.channels[0] = notes(10000);
    song.channels[1] = notes(10000);
    // Four-line notes, so that the four channels fit the file.
    song.channels[2] = notes(2500, 0x61);
    song.channels[3] = notes(2500, 0x61);
    auto file = kestra::fixtures::buildFile(kestra::Layout::Nsf, {song});
    std::string path = dir.filePath("long.nsf").toStdString();
    kestra::fixtures::writeBytes(path, file.bytes);
    window.openFile(path);
    window.controls().btnAddress->click();

    t.restart();
    window.controls().btnRead->click();
    paint(window);
    std::printf(
        "read a 4 x 10,000-line song into the sheets and paint it (target 30 ms): %.1f ms (%d "
        "lines)\n",
        msSince(t), window.currentView()->model()->rowCount());
    std::printf("memory held after reading: %.1f MB\n", residentMb());

    // The first key edit after reading copies the shared records of the sheet it changes.
    kestra::SheetView* music = window.currentView();
    auto timeKey = [&](int row, Qt::Key key, Qt::KeyboardModifiers mods, const char* what) {
        music->selectCell(row, kestra::music::kVol);
        paint(window);
        const long faults = minorFaults();
        t.restart();
        QTest::keyClick(music, key, mods);
        paint(window);
        std::printf("%s, and paint (target 5 ms): %.1f ms (%ld page faults)\n", what, msSince(t),
                    minorFaults() - faults);
    };
    timeKey(5000, Qt::Key_7, Qt::NoModifier, "first key edit after reading");
    timeKey(5001, Qt::Key_7, Qt::NoModifier, "the next key edit");
    timeKey(5001, Qt::Key_Z, Qt::ControlModifier, "undo it");
    auto timeClick = [&](QPushButton* button, const char* what) {
        music->selectCell(5000, kestra::music::kVol);
        paint(window);
        const long faults = minorFaults();
        t.restart();
        button->click();
        const double acted = msSince(t);
        paint(window);
        std::printf("%s, and paint (target 5 ms): %.1f ms (the command %.1f ms, %ld page faults)\n",
                    what, msSince(t), acted, minorFaults() - faults);
    };
    window.controls().txtNbLineAdd->setText("100");
    timeClick(window.controls().btnAddLines, "Add lines (100 into 10,000)");
    timeClick(window.controls().btnRemLine, "Remove Line");
    // Again, as in an editing session: the memory freed by the last command is reused.
    timeClick(window.controls().btnAddLines, "Add lines again");
    timeClick(window.controls().btnRemLine, "Remove Line again");
    timeKey(5000, Qt::Key_Z, Qt::ControlModifier, "undo Remove Line");
    timeKey(5000, Qt::Key_Y, Qt::ControlModifier, "redo it");

    // The core's part alone, after the window's cold read: the same read into a document of its
    // own.
    kestra::Document coreOnly;
    coreOnly.file = window.document().file;
    coreOnly.readWriteAddress = window.document().readWriteAddress;
    t.restart();
    kestra::readChannel(coreOnly, &yes);
    std::printf("read the song again in the core alone: %.1f ms\n", msSince(t));

    auto sheetRadios = window.findChild<QGroupBox*>("gbxSheet")->findChildren<QRadioButton*>();
    auto chanRadios = window.findChild<QGroupBox*>("gbxChan")->findChildren<QRadioButton*>();
    std::vector<double> switches;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < sheetRadios.size(); ++i) {
            t.restart();
            sheetRadios[(i + 1) % sheetRadios.size()]->click();
            paint(window);
            switches.push_back(msSince(t));
        }
        t.restart();
        chanRadios[round % chanRadios.size()]->click();
        paint(window);
        switches.push_back(msSince(t));
    }
    std::sort(switches.begin(), switches.end());
    double sum = 0;
    for (double s : switches) sum += s;
    std::printf(
        "switch sheet or channel and paint: mean %.2f ms, median %.2f ms, max %.2f ms "
        "(%zu switches)\n",
        sum / static_cast<double>(switches.size()), switches[switches.size() / 2], switches.back(),
        switches.size());

    sheetRadios[0]->click();
    chanRadios[0]->click();
    kestra::SheetView* view = window.currentView();
    std::vector<double> scrolls;
    for (int step = 0; step < 50; ++step) {
        t.restart();
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() * step / 49);
        paint(window);
        scrolls.push_back(msSince(t));
    }
    std::sort(scrolls.begin(), scrolls.end());
    std::printf("scroll the 10,000-line Music sheet and paint: median %.2f ms, max %.2f ms\n",
                scrolls[scrolls.size() / 2], scrolls.back());

    t.restart();
    window.controls().btnShow->click();
    paint(window);
    std::printf("Show Song and paint: %.1f ms; memory held after it (target 150 MB): %.1f MB\n",
                msSince(t), residentMb());
    return 0;
}
