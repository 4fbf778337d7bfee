// The main window over the core: start-up state, sheet and channel switching with the header
// captions, the help buttons, opening a file, the Song ID and address boxes.
#include "app/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "fakes.h"
#include "fixtures/fixture_builder.h"
#include "gui_test_registry.h"

namespace kestra::testing {

namespace {

QStringList visibleGrids(MainWindow& w) {
    QStringList names;
    for (auto* view : w.findChildren<SheetView*>())
        if (view->isVisible()) names << view->objectName();
    return names;
}

void choose(MainWindow& w, const char* group, int item) {
    auto* box = w.findChild<QGroupBox*>(group);
    auto radios = box->findChildren<QRadioButton*>();
    radios.at(item)->click();
}

QString labelText(MainWindow& w, const char* name) {
    return w.findChild<QLabel*>(name)->text();
}

bool shown(MainWindow& w, const char* name) {
    return w.findChild<QWidget*>(name)->isVisible();
}

}  // namespace

class MainWindowTest : public WindowTest {
    Q_OBJECT

  private slots:
    void startsOnTheMusicSheetOfSquare1() {
        MainWindow& w = fresh();
        QCOMPARE(w.windowTitle(), QString("Untitled[*] - Kestra Music Editor - Version 0.1"));
        QVERIFY(!w.isWindowModified());
        // The original client area sits whole under the menu bar and the listening strip.
        QCOMPARE(w.clientArea()->size(), QSize(801, 564));
        QCOMPARE(w.size(), QSize(801, 564 + w.clientArea()->y() + w.statusBar()->height()));
        QVERIFY(w.clientArea()->y() >= w.menu().bar->geometry().bottom());
        QCOMPARE(visibleGrids(w), QStringList{"stgCompSq1"});
        QCOMPARE(w.findChildren<SheetView*>().size(), 17);
        for (int ch = 0; ch < 4; ++ch)
            for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break}) {
                SheetView* view = w.sheets().view(ch, kind);
                QCOMPARE(view->model()->rowCount(), 1);
                QCOMPARE(view->model()->index(0, 1).data().toString(), QString("-0-"));
            }
        QCOMPARE(w.focusWidget(), w.sheets().view(0, SheetKind::Music));
    }

    void switchingShowsOneGridWithItsCaptions() {
        MainWindow& w = fresh();
        choose(w, "gbxSheet", 1);
        QCOMPARE(visibleGrids(w), QStringList{"stgLoopSq1"});
        QCOMPARE(labelText(w, "lblNote"), QString("Loop1"));
        QVERIFY(shown(w, "lblJump") && !shown(w, "lblVolume") && !shown(w, "btnVolHelp"));

        choose(w, "gbxChan", 2);  // the captions stay those of the Loop sheet
        QCOMPARE(visibleGrids(w), QStringList{"stgLoopSq3"});
        QCOMPARE(w.focusWidget(), w.sheets().view(2, SheetKind::Loop));
        QCOMPARE(labelText(w, "lblNote"), QString("Loop1"));
        QCOMPARE(w.document().currentChannel, 2);

        choose(w, "gbxSheet", 2);
        QCOMPARE(visibleGrids(w), QStringList{"stgBreakSq3"});
        QVERIFY(!shown(w, "lblJump"));

        choose(w, "gbxSheet", 3);
        QCOMPARE(visibleGrids(w), QStringList{"stgSongSq3"});
        QVERIFY(shown(w, "lblCurOct") && shown(w, "btnShwSngHelp"));

        choose(w, "gbxSheet", 4);
        for (int ch = 0; ch < 4; ++ch) {
            choose(w, "gbxChan", ch);
            QCOMPARE(visibleGrids(w), QStringList{"stgSong"});
        }
        QVERIFY(!shown(w, "btnNoteHelp") && shown(w, "btnImpRem"));

        choose(w, "gbxSheet", 0);
        QCOMPARE(visibleGrids(w), QStringList{"stgCompSq4"});
        QCOMPARE(labelText(w, "lblFlag"), QString("Flag"));
        QVERIFY(!shown(w, "lblJump") && shown(w, "btnVolHelp"));
    }

    void helpButtonsShowTheirOwnText() {
        MainWindow& w = fresh();
        w.findChild<QPushButton*>("btnVolHelp")->click();
        w.findChild<QPushButton*>("btnNoteHelp")->click();
        choose(w, "gbxSheet", 2);
        w.findChild<QPushButton*>("btnNoteHelp")->click();
        w.findChild<QPushButton*>("btnSheetHelp")->click();
        choose(w, "gbxSheet", 3);
        w.findChild<QPushButton*>("btnNoteHelp")->click();  // no window on the Song sheet
        auto& shownTexts = fakes_->help.shown;
        QCOMPARE(shownTexts.size(), size_t(4));
        QVERIFY(QString::fromStdString(shownTexts[0]).startsWith("Volume goes from 0 to F.\n"));
        QVERIFY(QString::fromStdString(shownTexts[1]).startsWith("Indicate the note played."));
        QVERIFY(QString::fromStdString(shownTexts[2]).startsWith("The first square for a break"));
        QVERIFY(QString::fromStdString(shownTexts[3]).startsWith("There are 4 loops"));
        QCOMPARE(w.findChild<QLabel*>("lblHelper")->text(), QString::fromStdString(shownTexts[3]));
    }

    void selectFileOpensThroughTheFilePort() {
        MainWindow& w = fresh();
        std::string path = writeFixture("demo.nsf", Layout::Nsf);
        fakes_->files.next = std::nullopt;  // cancelled: nothing changes
        w.findChild<QPushButton*>("btnSelectRom")->click();
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: ----"));

        fakes_->files.next = path;
        w.findChild<QPushButton*>("btnSelectRom")->click();
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: demo.nsf"));
        QCOMPARE(labelText(w, "lblSongID"), QString("Song ID:                 Of 4"));
        QVERIFY(w.findChild<QLineEdit*>("txtSongID")->isEnabled());
        QCOMPARE(w.findChild<UpDown*>("SongIDUpDown")->maximum(), 4);
        QCOMPARE(w.findChild<QLineEdit*>("txtAddress")->text().size(), 5);
        QVERIFY(w.document().readWriteAddress.empty());
    }

    void aFileOfAnotherKindIsRefused() {
        MainWindow& w = fresh();
        std::string good = writeFixture("song.nes", Layout::Rom43);
        w.openFile(good);
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: song.nes"));
        std::string bad = path("notes.txt");
        fixtures::writeBytes(bad, Bytes(64, 0));
        w.openFile(bad);
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: song.nes"));
        QCOMPARE(QString::fromStdString(w.document().file.path), QString::fromStdString(good));
        QVERIFY(!w.findChild<QLineEdit*>("txtImpMess")->text().isEmpty());
        QCOMPARE(fakes_->sound.plays, 1);
    }

    void songIdIsCleanedAndClamped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        for (auto [typed, kept] : {std::pair{"a2", "2"}, {"0", "1"}, {"9", "4"}, {"", "1"}})
            QTest::newRow(*typed ? typed : "empty") << QString(typed) << QString(kept);
    }
    void songIdIsCleanedAndClamped() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        MainWindow& w = fresh();
        w.openFile(writeFixture("demo.nsf", Layout::Nsf));
        auto* box = w.findChild<QLineEdit*>("txtSongID");
        box->selectAll();
        box->insert(typed);
        QCOMPARE(box->text(), kept);
        QCOMPARE(w.findChild<UpDown*>("SongIDUpDown")->position(), kept.toInt());
    }

    void soundEffectTurnsTheLabelRed() {
        MainWindow& w = fresh();
        w.openFile(writeFixture("demo.nsf", Layout::Nsf));
        auto* updown = w.findChild<UpDown*>("SongIDUpDown");
        auto* label = w.findChild<QLabel*>("lblSongID");
        QString song1 = w.findChild<QLineEdit*>("txtAddress")->text();
        updown->upButton()->click();
        QCOMPARE(w.findChild<QLineEdit*>("txtSongID")->text(), QString("2"));
        QVERIFY(w.findChild<QLineEdit*>("txtAddress")->text() != song1);
        updown->upButton()->click();  // Song ID 3 is a sound effect
        QVERIFY(label->styleSheet().contains("red"));
        QCOMPARE(w.findChild<QLineEdit*>("txtImpMess")->text(),
                 QString("Caution! A sound effect is detected on this Song ID. Sound Effects are "
                         "not supported."));
        QCOMPARE(fakes_->sound.plays, 0);  // a caution comes without sound
        updown->upButton()->click();
        updown->upButton()->click();  // no wrapping past the count
        QCOMPARE(updown->position(), 4);
        QVERIFY(!label->styleSheet().contains("red"));
        QCOMPARE(w.findChild<QLineEdit*>("txtImpMess")->text(), QString());
    }

    void addressBoxUpperCasesAndChecks() {
        MainWindow& w = fresh();
        auto* box = w.findChild<QLineEdit*>("txtAddress");
        box->clear();
        QTest::keyClicks(box, "ad0");
        QCOMPARE(box->text(), QString("AD0"));
        w.findChild<QPushButton*>("btnAddress")->click();
        QCOMPARE(labelText(w, "lblCurAddress"), QString("Current Read/Write: $AD0"));
        QCOMPARE(QString::fromStdString(w.document().readWriteAddress), QString("AD0"));

        box->setText("1G");
        w.findChild<QPushButton*>("btnAddress")->click();
        box->clear();
        w.findChild<QPushButton*>("btnAddress")->click();
        auto& boxes = fakes_->messages.boxes;
        QCOMPARE(boxes.size(), size_t(2));
        QVERIFY(boxes[0] ==
                (FakeMessages::Box{"Set address", "The value entered is not a hexadecimal."}));
        QCOMPARE(boxes[1].text, std::string("Please enter something in the text zone."));
        QCOMPARE(labelText(w, "lblCurAddress"), QString("Current Read/Write: $AD0"));

        QTest::keyClicks(box, "123456");
        QCOMPARE(box->text(), QString("12345"));
    }
};

namespace {
RegisterGuiTest<MainWindowTest> registerMainWindow;
}

}  // namespace kestra::testing

#include "main_window_test.moc"
