// Block commands in the window: lines selected by keys and mouse, and Copy, Cut, Paste, Paste
// over and Transpose through their shortcuts and the system clipboard.
#include <QClipboard>
#include <QGuiApplication>

#include "core/song_lines.h"
#include "fakes.h"

namespace kestra::testing {

namespace {

// Square 1: C-3 .. G-3 on lines 0-4 in octave 3, the page end on line 5.
void fillSong(MainWindow& w) {
    fillChannel(w.document().sheets.channel(0),
                {{"C-3", {{music::kOct, "03"}}}, {"D-3"}, {"E-3"}, {"F-3"}, {"G-3"}, end()});
    w.sheets().refreshAll();
}

std::string note(MainWindow& w, int row) {
    return std::string(w.document().sheets.channel(0).music.cell(row, music::kNote));
}

QPoint cellCenter(SheetView* view, int row, int col) {
    return view->visualRect(view->model()->index(row, col)).center();
}

}  // namespace

class BlockWindowTest : public WindowTest {
    Q_OBJECT

    MainWindow* w_ = nullptr;
    SheetView* view_ = nullptr;

    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(view_, static_cast<Qt::Key>(key), mods);
    }
    void selectLines(int first, int last) {
        view_->selectCell(first, music::kNote);
        for (int r = first; r < last; ++r) press(Qt::Key_Down, Qt::ShiftModifier);
    }

  private slots:
    void init() {
        w_ = &activeWindow();
        fillSong(*w_);
        view_ = w_->currentView();
        view_->setFocus();
    }

    void linesAreSelectedByKeysClicksAndDrags() {
        selectLines(1, 3);
        QCOMPARE(view_->lineRange(), (LineRange{1, 3}));
        // Single-cell keys still act on the current cell alone.
        press(Qt::Key_Delete);
        QCOMPARE(note(*w_, 3), std::string("---"));
        QCOMPARE(note(*w_, 2), std::string("E-3"));
        press(Qt::Key_Up);
        QVERIFY(!view_->lineSelection().active());
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          cellCenter(view_, 4, 5));
        QCOMPARE(view_->lineRange(), (LineRange{2, 4}));
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, cellCenter(view_, 0, 4));
        QVERIFY(!view_->lineSelection().active());
        QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, cellCenter(view_, 1, 0));
        QTest::mouseMove(view_->viewport(), cellCenter(view_, 3, 1));
        QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, cellCenter(view_, 3, 1));
        QCOMPARE(view_->lineRange(), (LineRange{1, 3}));
    }

    void copyAndPasteRepeatLines() {
        selectLines(0, 1);
        press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("channel 1\n000 C-3"));
        for (int i = 0; i < 3; ++i) press(Qt::Key_Down);
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view_->model()->rowCount(), 8);
        QCOMPARE(note(*w_, 4), std::string("C-3"));
        QCOMPARE(note(*w_, 6), std::string("G-3"));
        QCOMPARE(view_->lineRange(), (LineRange{4, 5}));
        QCOMPARE(w_->menu().undo->text(), QString("Undo Paste"));
    }

    void cutPasteOverAndTransposeRunFromTheirShortcuts() {
        selectLines(1, 2);
        press(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(view_->model()->rowCount(), 4);
        QCOMPARE(note(*w_, 1), std::string("F-3"));
        QVERIFY(QGuiApplication::clipboard()->text().contains(" D-3"));
        w_->undo();
        QCOMPARE(note(*w_, 1), std::string("D-3"));
        QCOMPARE(w_->menu().redo->text(), QString("Redo Cut"));

        selectLines(0, 1);
        press(Qt::Key_C, Qt::ControlModifier);
        view_->selectCell(3, music::kNote);
        press(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);  // paste over
        QCOMPARE(view_->model()->rowCount(), 6);
        QCOMPARE(note(*w_, 3), std::string("C-3"));
        QCOMPARE(note(*w_, 4), std::string("D-3"));
        QCOMPARE(note(*w_, 5), std::string("|||"));

        view_->selectCell(3, music::kNote);
        press(Qt::Key_Up);  // a plain key drops the line selection
        press(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(note(*w_, 2), std::string("F-3"));
        selectLines(0, 1);
        press(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(note(*w_, 0), std::string("C-3"));  // below the octave in force: left alone
        QCOMPARE(note(*w_, 1), std::string("D-3"));
        QCOMPARE(fakes_->messages.boxes.back().title, std::string("Transpose"));
        press(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(note(*w_, 0), std::string("C-4"));
        QCOMPARE(note(*w_, 1), std::string("D-4"));
        QCOMPARE(view_->lineRange(), (LineRange{0, 1}));
    }
};

static RegisterGuiTest<BlockWindowTest> registerBlockWindow;

}  // namespace kestra::testing

#include "block_window_test.moc"
