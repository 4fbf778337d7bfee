// What the window tests share: the headers they use, the list of test classes, recording stand-ins
// for the window's ports whose Qt versions would open modal windows, and a base class that makes
// and shows the window.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/audio_preview.h"
#include "app/help_window.h"
#include "app/listen_strip.h"
#include "app/main_window.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "core/fake_ports.h"
#include "fixtures/fixture_builder.h"
#include "format/read_song.h"
#include "model/ports.h"
#include "rom/file_bytes.h"
#include "rom/layout.h"

namespace kestra::testing {

// The Qt Test classes of the GUI test program: each file registers its class here.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
inline std::vector<TestFactory>& guiTestRegistry() {
    static std::vector<TestFactory> registry;
    return registry;
}
template <class T>
struct RegisterGuiTest {
    RegisterGuiTest() {
        guiTestRegistry().push_back([] { return std::make_unique<T>(); });
    }
};

struct FakeSaveChanges : SaveChangesPort {
    SaveChoice answer = SaveChoice::Discard;
    std::vector<std::string> questions;
    SaveChoice askSaveChanges(const std::string&, const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
};

// Records what the window asks of the player; no sound device needed.
struct FakePlayer : PreviewPort {
    struct Play {
        Bytes file;
        int track;
        unsigned muteMask;
        long long startMs;
    };
    std::vector<Play> plays;
    std::vector<unsigned> muteChanges;
    int stops = 0;
    std::optional<std::string> reply;
    std::optional<long long> position;  // what positionMs answers while "playing"
    std::optional<std::string> play(const Bytes& file, int track, unsigned muteMask,
                                    long long startMs) override {
        plays.push_back({file, track, muteMask, startMs});
        return reply;
    }
    void stop() override { ++stops; }
    std::optional<long long> positionMs() const override { return position; }
    void setMutedVoices(unsigned mask) override { muteChanges.push_back(mask); }
};

struct FakeHelp : HelpPort {
    std::vector<std::string> shown;
    void showHelp(const std::string& text) override { shown.push_back(text); }
};

struct Fakes {
    FakeMessages messages;
    FakeFiles files;
    FakeBitDialog bits;
    FakeKeyboard keyboard;
    FakeSound sound;
    FakeHelp help;
    FakeSaveChanges saveChanges;
    FakePlayer player;
    // In AppPorts' order; each port has its own type, so no two can be swapped.
    AppPorts ports(bool realPlayer = false) {
        return {&messages, &bits, &keyboard,    &files,
                &sound,    &help, &saveChanges, realPlayer ? nullptr : &player};
    }
};

// Watches every table model of the window for the whole test: a model that breaks Qt's rules
// fails the test at the signal that broke them.
inline std::vector<std::unique_ptr<QAbstractItemModelTester>> watchModels(MainWindow& w) {
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break,
                               SheetKind::MySong, SheetKind::FourChan})
            if (kind != SheetKind::FourChan || ch == 0)
                testers.push_back(std::make_unique<QAbstractItemModelTester>(
                    w.sheets().model(ch, kind),
                    QAbstractItemModelTester::FailureReportingMode::QtTest));
    return testers;
}

// A shown window over recording ports, its models watched for the whole test.
struct TestWindow {
    Fakes fakes;
    MainWindow window;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    explicit TestWindow(bool realPlayer = false) : window(fakes.ports(realPlayer)) {
        testers = watchModels(window);
        window.show();
    }
};

// Base of the window test classes: one window at a time, fresh() starts over with new fakes;
// the sample songs can be written as fixture files into the class's own folder.
class WindowTest : public QObject {
  protected:
    MainWindow& fresh() {
        current_.reset();
        current_ = std::make_unique<TestWindow>();
        fakes_ = &current_->fakes;
        return current_->window;
    }
    MainWindow* window() const { return current_ ? &current_->window : nullptr; }
    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }
    // Shown, exposed and active: what key shortcuts need.
    MainWindow& activeWindow() {
        MainWindow& w = fresh();
        if (!QTest::qWaitForWindowExposed(&w)) qFatal("window never shown");
        w.activateWindow();
        return w;
    }
    // Writes bytes as `name` into the class's folder; the path.
    std::string writeFile(const char* name, const Bytes& bytes) const {
        std::string p = path(name);
        if (!fixtures::writeBytes(p, bytes)) qFatal("cannot write %s", name);
        return p;
    }
    std::string writeFixture(const char* name, Layout layout) const {
        return writeFile(name, fixtures::buildFile(layout, fixtures::sampleSongs()).bytes);
    }
    // Opens file in w and reads the song whose header Song ID songId (0: the one shown) points at.
    static MainWindow& openAndRead(MainWindow& w, const std::string& file, int songId = 0) {
        w.openFile(file);
        if (songId > 0) {
            w.controls().songIdUpDown->setPosition(songId);
            w.songIdUpDownClick();
        }
        w.controls().btnAddress->click();
        w.controls().btnRead->click();
        return w;
    }
    // The bytes of a file the test made; a missing one ends the run.
    static Bytes onDisk(const std::string& p) {
        auto bytes = readFileBytes(p);
        if (!bytes) qFatal("cannot read %s: %s", p.c_str(), bytes.error().c_str());
        return *bytes;
    }
    static QString message(MainWindow& w) { return w.controls().txtImpMess->text(); }

    Fakes* fakes_ = nullptr;  // those of the window fresh() made last

  private:
    std::unique_ptr<TestWindow> current_;
    QTemporaryDir dir_;
};

}  // namespace kestra::testing
