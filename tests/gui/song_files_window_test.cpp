// The File and Edit menus of the window: their actions and shortcuts, song files opened and saved
// through the dialogs, the title with its modified mark, and the question before closing.
#include <QFileInfo>

#include "fakes.h"
#include "model/song_file.h"

namespace kestra::testing {

namespace {

void addLines(MainWindow& w, int count) {
    w.findChild<QLineEdit*>("txtNbLineAdd")->setText(QString::number(count));
    w.controls().btnAddLines->click();
}

int shownRows(MainWindow& w) {
    return w.currentView()->model()->rowCount();
}

QString titleOf(const char* name) {
    return QString(name) + "[*] - Kestra Music Editor - Version 0.1";
}

}  // namespace

class SongFilesWindowTest : public WindowTest {
    Q_OBJECT

  private slots:
    // The menu and the shortcuts (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z) take edits back and redo them.
    void undoAndRedoByMenuAndShortcuts() {
        MainWindow& w = activeWindow();
        const MenuActions& m = w.menu();
        const Sheets start = w.document().sheets;
        auto keys = [&](QKeyCombination k) {
            QTest::keyClick(w.currentView(), k.key(), k.keyboardModifiers());
        };
        struct Step {
            const char* what;
            std::function<void()> run;
            bool undo, redo, modified;
            int rows;
        };
        const Step steps[] = {
            {"start", [] {}, false, false, false, 1},
            {"add", [&] { addLines(w, 2); }, true, false, true, 3},
            {"add again", [&] { addLines(w, 1); }, true, false, true, 4},
            {"Ctrl+Z", [&] { keys(Qt::ControlModifier | Qt::Key_Z); }, true, true, true, 3},
            {"undo to start", [&] { m.undo->trigger(); }, false, true, false, 1},
            {"Ctrl+Y", [&] { keys(Qt::ControlModifier | Qt::Key_Y); }, true, true, true, 3},
            {"Ctrl+Shift+Z", [&] { keys(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z); },
             true, false, true, 4},
            {"new edit drops redo", [&] { addLines(w, 1); }, true, false, true, 5},
        };
        for (const Step& s : steps) {
            s.run();
            QVERIFY2(m.undo->isEnabled() == s.undo, s.what);
            QVERIFY2(m.redo->isEnabled() == s.redo, s.what);
            QVERIFY2(w.isWindowModified() == s.modified, s.what);
            QVERIFY2(shownRows(w) == s.rows, s.what);
            QVERIFY2((w.document().sheets == start) == (s.rows == 1), s.what);
        }
    }

    void saveAndOpenRoundTrip() {
        MainWindow& w = fresh();
        addLines(w, 3);
        QCOMPARE(w.windowTitle(), titleOf("Untitled"));
        QVERIFY(w.isWindowModified());

        // "Save Song" without a name asks for one; the extension is added.
        fakes_->files.nextSave = path("tune");
        w.menu().saveSong->trigger();
        QCOMPARE(fakes_->files.saveAsked, 1);
        QCOMPARE(fakes_->files.saveFilter, std::string(kSongFileFilter));
        QCOMPARE(w.windowTitle(), titleOf("tune.ksong"));
        QVERIFY(!w.isWindowModified());

        addLines(w, 2);
        QVERIFY(w.isWindowModified());
        fakes_->files.next = path("tune.ksong");
        w.menu().openSong->trigger();
        QCOMPARE(fakes_->files.title, std::string(kOpenSongTitle));
        QCOMPARE(shownRows(w), 4);
        QVERIFY(!w.isWindowModified());
        QVERIFY(fakes_->messages.boxes.empty());

        // "Save Song As..." proposes the current name and then keeps the new one.
        fakes_->files.nextSave = path("copy.ksong");
        w.menu().saveSongAs->trigger();
        QCOMPARE(fakes_->files.suggested, path("tune.ksong"));
        QCOMPARE(w.windowTitle(), titleOf("copy.ksong"));
    }

    void closingAsksOnlyWithUnsavedChanges() {
        struct Case {
            const char* name;
            bool edited;
            SaveChoice answer;
            bool saveNamed;
            bool closes;
            bool saved;
        };
        const Case cases[] = {
            {"nothing to save", false, SaveChoice::Cancel, false, true, false},
            {"discard", true, SaveChoice::Discard, false, true, false},
            {"cancel", true, SaveChoice::Cancel, true, false, false},
            {"save", true, SaveChoice::Save, true, true, true},
            {"save dialog cancelled", true, SaveChoice::Save, false, false, false},
        };
        for (const Case& c : cases) {
            TestWindow t;
            if (c.edited) addLines(t.window, 1);
            t.fakes.saveChanges.answer = c.answer;
            std::string target = path("closing.ksong");
            std::remove(target.c_str());
            if (c.saveNamed) t.fakes.files.nextSave = target;
            QVERIFY2(t.window.close() == c.closes, c.name);
            QVERIFY2(t.window.isVisible() != c.closes, c.name);
            QVERIFY2(t.fakes.saveChanges.questions.size() == (c.edited ? 1u : 0u), c.name);
            if (c.edited)
                QCOMPARE(t.fakes.saveChanges.questions[0],
                         std::string("Save changes to the song before closing?"));
            QVERIFY2(QFileInfo::exists(QString::fromStdString(target)) == c.saved, c.name);
        }
    }
};

static RegisterGuiTest<SongFilesWindowTest> registerSongFilesWindow;

}  // namespace kestra::testing

#include "song_files_window_test.moc"
