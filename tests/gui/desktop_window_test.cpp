// The window as a desktop program: the status line after each command, the message log, recent
// files, dropped files opened by their kind, and the layout at other window sizes.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <map>

#include "app/main_window.h"
#include "app/message_log.h"
#include "app/qt_ports.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "editing/song_file_actions.h"
#include "fakes.h"
#include "gui_test_registry.h"
#include "rom/layout.h"

namespace kestra::testing {

namespace {

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

class DesktopWindowTest : public WindowTest {
    Q_OBJECT

  private slots:
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

namespace {
RegisterGuiTest<DesktopWindowTest> registerDesktopWindow;
}

}  // namespace kestra::testing

#include "desktop_window_test.moc"
