// The main window over the core: start-up state, sheet and channel switching with the header
// captions, the help buttons, opening a file, the Song ID and address boxes; and as a desktop
// program: the status line after each command, the message log, recent files, dropped files
// opened by their kind, and the layout at other window sizes.

#include <QFile>
#include <QGroupBox>
#include <QMimeData>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <map>

#include "app/message_log.h"
#include "app/qt_ports.h"
#include "editing/song_file_actions.h"
#include "fakes.h"

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

QString status(MainWindow& w) {
    return w.statusBar()->currentMessage();
}

void drop(MainWindow& w, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDropEvent event(QPointF(200, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: the application only passes on drops of a drag it runs itself.
    static_cast<QObject&>(w).event(&event);
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
        auto* strip = w.findChild<ListenStrip*>("listenStrip");
        QVERIFY(strip->y() >= w.menu().bar->geometry().bottom());
        QCOMPARE(strip->geometry().bottom() + 1, w.clientArea()->y());
        for (const char* name : {"btnPlay", "btnStop", "spnTrack", "chkMuteSq1", "chkMuteSq2",
                                 "chkMuteTri", "chkMuteNoise"}) {
            auto* control = strip->findChild<QWidget*>(name);
            QVERIFY2(control && control->isVisible() && strip->rect().contains(control->geometry()),
                     name);
        }
        QCOMPARE(visibleGrids(w), QStringList{"stgCompSq1"});
        QCOMPARE(w.findChildren<SheetView*>().size(), 17);
        QCOMPARE(w.focusWidget(), w.sheets().view(0, SheetKind::Music));
    }

    // Each choice shows one grid, with the focus, and the captions and help buttons of its sheet.
    void switchingShowsOneGridWithItsCaptions() {
        MainWindow& w = fresh();
        const struct {
            const char* group;
            int item;
            QString grid;
            QStringList shown, hidden;
        } steps[] = {
            {"gbxSheet", 1, "stgLoopSq1", {"lblJump"}, {"lblVolume", "btnVolHelp"}},
            {"gbxChan", 2, "stgLoopSq3", {"lblJump"}, {}},
            {"gbxSheet", 2, "stgBreakSq3", {}, {"lblJump"}},
            {"gbxSheet", 3, "stgSongSq3", {"lblCurOct", "btnShwSngHelp"}, {}},
            {"gbxSheet", 4, "stgSong", {"btnImpRem"}, {"btnNoteHelp"}},
            {"gbxChan", 0, "stgSong", {}, {}},  // one grid for the four channels
            {"gbxChan", 1, "stgSong", {}, {}},
            {"gbxChan", 3, "stgSong", {}, {}},
            {"gbxSheet", 0, "stgCompSq4", {"btnVolHelp"}, {"lblJump"}},
        };
        for (const auto& step : steps) {
            choose(w, step.group, step.item);
            QCOMPARE(visibleGrids(w), QStringList{step.grid});
            QCOMPARE(w.focusWidget(), w.currentView());
            for (const QString& name : step.shown)
                QVERIFY2(shown(w, qPrintable(name)), qPrintable(name));
            for (const QString& name : step.hidden)
                QVERIFY2(!shown(w, qPrintable(name)), qPrintable(name));
        }
        QCOMPARE(w.document().currentChannel, 3);
    }

    // Select File opens through the file port; the Song ID boxes then walk the file's songs, a
    // sound effect turning the label red; a file of another kind is refused with a sound.
    void selectFileAndTheSongIdBoxes() {
        MainWindow& w = fresh();
        std::string path = writeFixture("demo.nsf", Layout::Nsf);
        fakes_->files.next = std::nullopt;  // cancelled: nothing changes
        w.findChild<QPushButton*>("btnSelectRom")->click();
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: ----"));
        fakes_->files.next = path;
        w.findChild<QPushButton*>("btnSelectRom")->click();
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: demo.nsf"));
        QCOMPARE(labelText(w, "lblSongID"), QString("Song ID:                 Of 4"));
        auto* box = w.findChild<QLineEdit*>("txtSongID");
        auto* updown = w.findChild<UpDown*>("SongIDUpDown");
        auto* address = w.findChild<QLineEdit*>("txtAddress");
        QVERIFY(box->isEnabled());
        QCOMPARE(updown->maximum(), 4);
        QCOMPARE(address->text().size(), 5);
        QVERIFY(w.document().readWriteAddress.empty());

        QString song1 = address->text();
        updown->upButton()->click();
        QCOMPARE(box->text(), QString("2"));
        QVERIFY(address->text() != song1);
        updown->upButton()->click();  // Song ID 3 is a sound effect
        auto* label = w.findChild<QLabel*>("lblSongID");
        QVERIFY(label->styleSheet().contains("red"));
        QCOMPARE(message(w),
                 QString("Caution! A sound effect is detected on this Song ID. Sound Effects are "
                         "not supported."));
        QCOMPARE(fakes_->sound.plays, 0);  // a caution comes without sound
        updown->upButton()->click();
        updown->upButton()->click();  // no wrapping past the count
        QCOMPARE(updown->position(), 4);
        QVERIFY(!label->styleSheet().contains("red"));
        QCOMPARE(message(w), QString());
        // What is typed is cleaned in the box and moves the up-down.
        box->selectAll();
        box->insert("a2");
        QCOMPARE(box->text(), QString("2"));
        QCOMPARE(updown->position(), 2);

        w.openFile(writeFile("notes.txt", Bytes(64, 0)));
        QCOMPARE(labelText(w, "lblLoadedFile"), QString("Loaded: demo.nsf"));
        QCOMPARE(w.document().file.path, path);
        QVERIFY(!message(w).isEmpty());
        QCOMPARE(fakes_->sound.plays, 1);
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
        QCOMPARE(fakes_->messages.boxes.size(), size_t(1));
        QVERIFY((fakes_->messages.boxes[0] ==
                 FakeMessages::Box{"Set address", "The value entered is not a hexadecimal."}));
        QCOMPARE(labelText(w, "lblCurAddress"), QString("Current Read/Write: $AD0"));

        box->clear();
        QTest::keyClicks(box, "123456");
        QCOMPARE(box->text(), QString("12345"));
    }

    void statusLineTellsEachOutcome() {
        MainWindow& w = fresh();
        std::string nsf = writeFixture("song.nsf", Layout::Nsf);
        fakes_->files.nextSave = path("tune.ksong");
        struct Step {
            const char* what;
            std::function<void()> run;
            QString status;  // a prefix for the texts with counts
        };
        const Step steps[] = {
            {"open", [&] { w.openFile(nsf); }, "Opened song.nsf: NSF, "},
            {"address", [&] { w.controls().btnAddress->click(); }, "Read/write address set to $"},
            {"read", [&] { w.controls().btnRead->click(); }, "Read 4 channels, "},
            {"add", [&] { w.controls().btnAddLines->click(); }, "Add lines"},
            {"undo", [&] { w.menu().undo->trigger(); }, "Undo: Add lines"},
            {"redo", [&] { w.menu().redo->trigger(); }, "Redo: Add lines"},
            {"undo twice", [&] { w.undo(), w.undo(); }, "Undo: Read Channel"},
            {"save as", [&] { w.menu().saveSongAs->trigger(); }, "Song file saved as "},
            {"save", [&] { w.menu().saveSong->trigger(); }, "Song file saved"},
            {"no address", [&] { w.controls().txtAddress->clear(), w.createCode(); },
             "Nothing written: Enter an address first."},
            {"not a file", [&] { w.openFile(path("none.nes")); }, "Not opened: "},
        };
        w.controls().txtNbLineAdd->setText("2");
        for (const Step& step : steps) {
            step.run();
            QVERIFY2(status(w).startsWith(step.status), qPrintable(step.what + (": " + status(w))));
        }
        QVERIFY(!QtSoundPort::soundFile().isEmpty());  // the error sound is built in
    }

    void messageLogKeepsEveryMessageWithItsTime() {
        MainWindow& w = fresh();
        QString longText(300, 'x');
        w.document().errors.report("first of the action");
        w.document().errors.caution(longText.toStdString());
        auto* box = w.findChild<QLineEdit*>("txtImpMess");
        QCOMPARE(box->cursorPosition(), 0);  // the start of a long message shows
        QCOMPARE(box->toolTip(), "first of the action\n" + longText);
        w.controls().txtAddress->clear();
        w.createCode();  // a new action: the tooltip starts over, the log goes on
        QCOMPARE(box->toolTip(), QString("Enter an address first."));
        const QStringList& log = w.messageLog().entries();
        QCOMPARE(log.size(), 3);
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  first of the action$")
                    .match(log[0])
                    .hasMatch());
        QVERIFY(log[2].endsWith("  Enter an address first."));
        w.findChild<QPushButton*>("btnMessageLog")->click();
        QVERIFY(w.messageLog().isVisible());
    }

    void recentFilesAndDropsOpenByKind() {
        MainWindow& w = fresh();
        for (const QString& f : w.recentFiles().files()) w.recentFiles().remove(f);
        std::string nsf = writeFixture("song.nsf", Layout::Nsf);
        std::string song = path("tune.ksong");
        QVERIFY(writeSongFile(song, w.document()).ok());
        std::string gone = writeFixture("gone.nes", Layout::Rom43);

        w.openFile(gone);
        drop(w, nsf);
        QCOMPARE(w.document().file.path, nsf);
        drop(w, song);
        QCOMPARE(w.songFiles().path(), song);
        QCOMPARE(w.document().file.path, nsf);  // a song file leaves the NES/NSF file open
        const QStringList names = {"tune.ksong", "song.nsf", "gone.nes"};
        QStringList listed;
        for (QAction* a : w.menu().recentFiles->actions()) listed << a->text().mid(3);
        QCOMPARE(listed, names);

        w.findChild<QAction*>("actRecent3")->trigger();
        QCOMPARE(w.document().file.path, gone);
        QVERIFY(QFile::remove(QString::fromStdString(gone)));
        w.findChild<QAction*>("actRecent1")->trigger();  // gone.nes, now at the top
        QCOMPARE(fakes_->messages.boxes.size(), size_t(1));
        QVERIFY(fakes_->messages.boxes[0].text.find("no longer exists") != std::string::npos);
        QCOMPARE(w.recentFiles().files().size(), 2);
        QCOMPARE(w.menu().recentFiles->actions().size(), 2);
    }

    void labelsNeverOverlapTheirNeighbours() {
        MainWindow& w = fresh();
        const WindowControls& c = w.controls();
        c.lblSongID->setText(QString::fromStdString(songIdLabel(255)));
        c.lblSongID->adjustSize();
        QVERIFY(c.lblSongID->geometry().right() < c.txtAddress->x());
        QVERIFY(c.lblCurAddress->geometry().right() < c.btnAddress->x());
        QVERIFY(c.btnAddress->sizeHint().width() <= c.btnAddress->width());
        for (QAbstractButton* sheet : c.sheetGroup->buttons()) {
            sheet->click();
            QList<QLabel*> shown;
            for (QLabel* label : w.clientArea()->findChildren<QLabel*>())
                if (label->isVisible() && label->y() == w.findChild<QLabel*>("lblNote")->y())
                    shown << label;
            std::sort(shown.begin(), shown.end(),
                      [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
            for (qsizetype i = 1; i < shown.size(); ++i)
                QVERIFY2(shown[i - 1]->x() + shown[i - 1]->sizeHint().width() < shown[i]->x(),
                         qPrintable(sheet->text() + ": " + shown[i]->objectName()));
        }
    }

    void resizingGrowsTheGridAndKeepsTheControlsByItsCorners() {
        MainWindow& w = fresh();
        QWidget* client = w.clientArea();
        auto geometryOf = [&](const char* name) {
            return client->findChild<QWidget*>(name)->geometry();
        };
        const char* right[] = {"btnRead", "gbxSheet", "btnRemLine", "btnImpRem", "btnMessageLog"};
        std::map<QString, QRect> before;
        for (const char* name : right) before[name] = geometryOf(name);
        const QRect grid = w.currentView()->geometry();
        const QRect box = geometryOf("txtImpMess");
        const QRect loaded = geometryOf("lblLoadedFile");

        w.resize(w.width() + 200, w.height() + 300);
        QCOMPARE(w.currentView()->geometry(), grid.adjusted(0, 0, 200, 300));
        for (const char* name : right) QCOMPARE(geometryOf(name), before[name].translated(200, 0));
        QCOMPARE(geometryOf("txtImpMess"), box.adjusted(0, 0, 200, 0));
        QCOMPARE(geometryOf("lblLoadedFile"), loaded);
        QCOMPARE(w.statusBar()->geometry().bottom(), w.height() - 1);

        // At its smallest the grid still ends below the last control of the right column.
        w.resize(100, 100);
        QCOMPARE(w.size(), w.minimumSize());
        QVERIFY(w.currentView()->geometry().bottom() > geometryOf("btnRemLine").bottom());
        QVERIFY(w.currentView()->geometry().bottom() < client->height());
    }
};

static RegisterGuiTest<MainWindowTest> registerMainWindow;

}  // namespace kestra::testing

#include "main_window_test.moc"
