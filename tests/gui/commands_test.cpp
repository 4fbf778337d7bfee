// The window's commands over the core: reading a song into the grids, keys and double-clicks on
// a sheet, adding and removing lines.

#include "fakes.h"
#include "model/hex_text.h"

namespace kestra::testing {
namespace {

QString cellOf(SheetView* view, int row, int col) {
    return view->model()->index(row, col).data().toString();
}

// Every cell the view shows equals the core's grid.
bool viewShowsSheet(SheetView* view, const Grid& sheet) {
    if (view->model()->rowCount() != sheet.rowCount()) return false;
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.columnCount(); ++c)
            if (cellOf(view, r, c) != QString::fromStdString(std::string(sheet.cell(r, c))))
                return false;
    return true;
}

}  // namespace

class CommandsTest : public WindowTest {
    Q_OBJECT

  private:
    MainWindow& readSong(int songId, Layout layout = Layout::Nsf) {
        const char* name = layout == Layout::Nsf ? "song.nsf" : "song.nes";
        return openAndRead(fresh(), writeFixture(name, layout), songId);
    }

    void key(MainWindow& w, Qt::Key k, int row, int col) {
        SheetView* view = w.currentView();
        view->selectCell(row, col);
        QTest::keyClick(view, k);
    }

  private slots:
    // Every layout reads the same sheets (core tests); here the window shows what was read.
    void readChannelFillsTheVisibleGrid() {
        MainWindow& w = readSong(2, Layout::Rom49);
        QCOMPARE(fakes_->messages.questions.size(), size_t(1));
        QCOMPARE(message(w), QString());

        // The same song decoded by the core directly.
        Sheets expected;
        auto offset = static_cast<std::uint32_t>(hexTextToInt(w.document().readWriteAddress));
        QVERIFY(decodeSong(w.document().file, onDisk(w.document().file.path), offset, expected,
                           w.document().errors));
        QVERIFY(w.currentView()->model()->rowCount() > 1);
        for (int ch = 0; ch < 4; ++ch)
            for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break})
                QVERIFY(viewShowsSheet(w.sheets().view(ch, kind), expected.grid(ch, kind)));
        QCOMPARE(w.document().currentChannel, 0);
    }

    // Find place proposes the end of a tight NSF; Create Code grows the file there and says so,
    // and the song read again from the file shows the edit.
    void findPlaceAndCreateCodeWriteTheEditedSong() {
        fixtures::BuildOptions options;
        options.nsfEndsAfterData = true;
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs(), options);
        std::string path = writeFile("tight.nsf", built.bytes);
        MainWindow& w = openAndRead(fresh(), path);
        key(w, Qt::Key_Return, 0, 7);  // a tone length: Song 1 grows by two bytes
        key(w, Qt::Key_7, 0, 7);
        QCOMPARE(cellOf(w.currentView(), 0, 7), QString("07"));
        w.controls().btnFindPlace->click();
        QString address = QString::fromStdString(offsetText(built.dataEnd));
        QCOMPARE(w.controls().txtAddress->text(), address);
        QCOMPARE(fakes_->messages.boxes.back().title, std::string("Find place"));
        QVERIFY2(fakes_->messages.boxes.back().text.find("grows by") != std::string::npos,
                 fakes_->messages.boxes.back().text.c_str());
        QVERIFY(onDisk(path) == built.bytes);
        w.controls().btnCreateSong->click();
        QVERIFY2(w.document().errors.empty(), w.document().errors.text().c_str());
        QRegularExpression written("^Song 1 written at \\$" + address +
                                   ": [1-9][0-9]* bytes; backup: tight\\.nsf\\.bak$");
        QVERIFY2(written.match(w.statusBar()->currentMessage()).hasMatch(),
                 qPrintable(w.statusBar()->currentMessage()));
        QVERIFY(onDisk(path).size() > built.bytes.size());

        MainWindow& again = openAndRead(fresh(), path);
        QCOMPARE(again.controls().txtAddress->text(), address);
        QCOMPARE(cellOf(again.sheets().view(0, SheetKind::Music), 0, 7), QString("07"));
    }

    void showSongFillsMySongAndFourChan() {
        MainWindow& w = readSong(1);
        w.controls().btnShow->click();
        QVERIFY2(w.document().errors.empty(), w.document().errors.text().c_str());
        int longest = 0;
        for (int ch = 0; ch < 4; ++ch) {
            SheetView* song = w.sheets().view(ch, SheetKind::MySong);
            QVERIFY(viewShowsSheet(song, w.document().sheets.grid(ch, SheetKind::MySong)));
            longest = std::max(longest, song->model()->rowCount());
        }
        QVERIFY(w.sheets().view(0, SheetKind::MySong)->model()->rowCount() > 1);
        SheetView* four = w.sheets().view(0, SheetKind::FourChan);
        QCOMPARE(four->model()->rowCount(), longest);
        QVERIFY(viewShowsSheet(four, w.document().sheets.grid(0, SheetKind::FourChan)));
        QCOMPARE(cellOf(four, 0, 6), QString("|||"));
        QCOMPARE(w.currentView(), w.sheets().view(0, SheetKind::Music));  // the shown sheet stays
    }

    // Keys and double-clicks act on the selected cell, Shift as it is at the moment of action.
    // A release whose press went to a dialog or menu (closed by that very press) acts on nothing:
    // neither the remembered key nor the bit dialog comes back.
    void keysAndDoubleClicksEditTheSelectedCell() {
        MainWindow& w = fresh();
        SheetView* music = w.sheets().view(0, SheetKind::Music);
        key(w, Qt::Key_Return, 0, 7);
        QCOMPARE(cellOf(music, 0, 7), QString("00"));
        fakes_->keyboard.shift = true;  // Shift at the moment of action picks the high digit
        key(w, Qt::Key_A, 0, 7);
        fakes_->keyboard.shift = false;
        QCOMPARE(cellOf(music, 0, 7), QString("A0"));
        key(w, Qt::Key_5, 0, 8);
        QCOMPARE(cellOf(music, 0, 8), QString("--"));
        QCOMPARE(message(w), QString("Press 'Enter' on the data first to set it to 0."));
        QCOMPARE(fakes_->sound.plays, 1);
        key(w, Qt::Key_Enter, 0, 3);  // the keypad's Enter is Enter too
        QCOMPARE(cellOf(music, 0, 3), QString("C-0"));

        music->selectCell(0, 10);
        QTest::keyRelease(music, Qt::Key_Return);
        QVERIFY(fakes_->bits.calls.empty());
        fakes_->bits.answers = {"10000001", "10000001"};
        QRect cell = music->visualRect(music->model()->index(0, 10));
        QTest::mouseDClick(music->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(fakes_->bits.calls.size(), size_t(1));
        QCOMPARE(fakes_->bits.calls[0].kind, BitKind::Flag);
        QCOMPARE(cellOf(music, 0, 10), QString("81"));
        music->selectCell(0, 11);
        QTest::keyClick(music, Qt::Key_Return);
        QCOMPARE(fakes_->bits.calls.size(), size_t(2));
        QCOMPARE(fakes_->bits.calls[1].kind, BitKind::Tone);
        QTest::keyRelease(music, Qt::Key_Return);
        QCOMPARE(fakes_->bits.calls.size(), size_t(2));
        music->selectCell(0, 6);
        QTest::keyRelease(music, Qt::Key_Return);
        QCOMPARE(cellOf(music, 0, 6), QString("--"));
    }

    void arrowsAndPageKeysMoveOtherKeysDoNot() {
        MainWindow& w = fresh();
        w.findChild<QLineEdit*>("txtNbLineAdd")->setText("98");
        w.controls().btnAddLines->click();
        SheetView* music = w.currentView();
        const int page = music->viewport()->height() / SheetView::kRowHeight - 1;
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            int row;
        };
        // clang-format off
        const Step steps[] = {
            {Qt::Key_Down, {}, 1},           {Qt::Key_PageDown, {}, 1 + page},
            {Qt::Key_End, {}, 1 + page},     {Qt::Key_PageUp, {}, 1},
            {Qt::Key_PageUp, {}, 0},         {Qt::Key_End, Qt::ControlModifier, 98},
            {Qt::Key_PageDown, {}, 98},      {Qt::Key_Home, {}, 0},
            {Qt::Key_End, Qt::ControlModifier, 98}, {Qt::Key_Home, Qt::ControlModifier, 0},
        };
        // clang-format on
        music->selectCell(0, 5);
        for (const Step& step : steps) {
            QTest::keyClick(music, step.key, step.mods);
            QCOMPARE(music->currentIndex().row(), step.row);
            QCOMPARE(music->currentIndex().column(), 5);
        }
        for (int i = 0; i < 3; ++i) QTest::keyClick(music, Qt::Key_Left);
        QCOMPARE(music->currentIndex().column(), 3);  // the fixed columns are not reached
    }
};

static RegisterGuiTest<CommandsTest> registerCommands;

}  // namespace kestra::testing

#include "commands_test.moc"
