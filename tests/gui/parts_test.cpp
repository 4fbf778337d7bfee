// The window's parts on their own: table models, help and caption tables, the file filter,
// the key map, the Help window and the bit dialog.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/bit_dialog.h"
#include "app/file_filter.h"
#include "app/help_texts.h"
#include "app/help_window.h"
#include "app/key_map.h"
#include "app/sheet_captions.h"
#include "app/sheet_model.h"
#include "gui_test_registry.h"
#include "model/sheets.h"

namespace kestra::testing {

class PartsTest : public QObject {
    Q_OBJECT

  private slots:
    void sheetModelFollowsTheSheet() {
        Sheets sheets;
        Sheet& music = sheets.channel(0).music;
        SheetModel model(&music);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), kMusicColumns);
        QCOMPARE(model.data(model.index(0, 3)).toString(), QString("---"));
        QCOMPARE(model.flags(model.index(0, 1)), Qt::NoItemFlags);
        QVERIFY(model.flags(model.index(0, 3)) & Qt::ItemIsSelectable);

        growSheetRows(9999, sheets.channel(0));
        initSheetRows(sheets.channel(0), 1, 9999);
        QCOMPARE(model.rowCount(), 1);  // the model waits for refresh()
        model.refresh();
        QCOMPARE(model.rowCount(), 10000);
        QCOMPARE(model.data(model.index(9999, 0)).toString(), QString("9999"));

        music.setCell(5, 3, "C-1");
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.refresh();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(5, 3)).toString(), QString("C-1"));
    }

    void everyHelpButtonHasItsText() {
        for (std::string_view name : helpButtonNames()) {
            if (name == "btnNoteHelp") continue;
            QVERIFY2(helpText(name, SheetKind::Music).has_value(), name.data());
        }
        QCOMPARE(QString::fromStdString(*helpText("btnImpMsgHelp", SheetKind::Music)),
                 QString("When an beep is played, you can see your error here."));
        QCOMPARE(QString::fromStdString(*helpText("btnHelpBefAf", SheetKind::Loop)),
                 QString("Only has a use for the 'Add lines' button.\n\nAdd the line before of "
                         "after the case you are selecting?"));
        QVERIFY(!helpText("btnUnknown", SheetKind::Music));
    }

    void noteAndSheetHelpFollowTheSheet_data() {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<QString>("noteFirstLine");
        QTest::addColumn<QString>("sheetFirstLine");
        const QString loops =
            "There are 4 loops, Loop 1 can be breaked by Break 1, Loop 2 by Break 2, etc...";
        QTest::newRow("Music") << 0 << "Indicate the note played."
                               << "All the frames have different lengths, but you can stop it "
                                  "from playing whenever you want. See the keys section.";
        QTest::newRow("Loop") << 1
                              << "The first square for a loop indicate the number of times the "
                                 "loops makes."
                              << loops;
        QTest::newRow("Break") << 2
                               << "The first square for a break indicate the flag, which is the "
                                  "same as the one from the music sheet."
                               << loops;
        QTest::newRow("MySong") << 3 << "" << loops;
        QTest::newRow("FourChan") << 4 << "" << loops;
    }
    void noteAndSheetHelpFollowTheSheet() {
        QFETCH(int, sheet);
        QFETCH(QString, noteFirstLine);
        QFETCH(QString, sheetFirstLine);
        auto kind = static_cast<SheetKind>(sheet);
        auto note = helpText("btnNoteHelp", kind);
        QCOMPARE(note.has_value(), !noteFirstLine.isEmpty());
        if (note) QCOMPARE(QString::fromStdString(*note).section('\n', 0, 0), noteFirstLine);
        QCOMPARE(QString::fromStdString(*helpText("btnSheetHelp", kind)).section('\n', 0, 0),
                 sheetFirstLine);
    }

    void labelTableMatchesEachSheet() {
        QCOMPARE(*labelState(0, SheetKind::Loop).caption, std::string_view("Loop1"));
        QCOMPARE(labelState(7, SheetKind::Loop).x, 314);
        QCOMPARE(labelState(7, SheetKind::Music).x, 320);
        QCOMPARE(labelState(7, SheetKind::FourChan).x, 320);
        QCOMPARE(*labelState(11, SheetKind::Break).caption, std::string_view("              Line"));
        QVERIFY(!labelState(13, SheetKind::Music).caption);
        QCOMPARE(*labelState(13, SheetKind::Loop).caption, std::string_view("Jump    Line"));
        QCOMPARE(*labelState(15, SheetKind::MySong).caption, std::string_view("COc"));
        QVERIFY(!helpButtonVisible("btnVolHelp", SheetKind::Loop));
        QVERIFY(helpButtonVisible("btnVolHelp", SheetKind::Music));
        QVERIFY(!helpButtonVisible("btnNoteHelp", SheetKind::FourChan));
        QVERIFY(helpButtonVisible("btnSheetHelp", SheetKind::MySong));
        QVERIFY(helpButtonVisible("btnShwSngHelp", SheetKind::MySong));
        QVERIFY(!helpButtonVisible("btnShwSngHelp", SheetKind::Music));
        QVERIFY(helpButtonVisible("btnImpRem", SheetKind::FourChan));
    }

    void fileFilterInQtSyntax() {
        QCOMPARE(QString::fromStdString(qtFileFilter(kOpenFileFilter)),
                 QString("NSF/Rom files (*.nsf *nes);;All files (*)"));
    }

    void keysMapToTheVirtualKeyVocabulary_data() {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("vk");
        QTest::newRow("Return") << int(Qt::Key_Return) << 0 << 13;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << 32;
        QTest::newRow("End") << int(Qt::Key_End) << 0 << 35;
        QTest::newRow("Insert") << int(Qt::Key_Insert) << 0 << 45;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 46;
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << 37;
        QTest::newRow("Down") << int(Qt::Key_Down) << 0 << 40;
        QTest::newRow("7") << int(Qt::Key_7) << 0 << 55;
        QTest::newRow("Shift 5") << int(Qt::Key_Percent) << int(Qt::ShiftModifier) << 53;
        QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier) << 101;
        QTest::newRow("A") << int(Qt::Key_A) << 0 << 65;
        QTest::newRow("Z") << int(Qt::Key_Z) << int(Qt::ShiftModifier) << 90;
        QTest::newRow("full stop") << int(Qt::Key_Period) << 0 << 190;
        QTest::newRow("apostrophe") << int(Qt::Key_Apostrophe) << 0 << 222;
        QTest::newRow("Shift apostrophe") << int(Qt::Key_QuoteDbl) << int(Qt::ShiftModifier) << 222;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 0;
    }
    void keysMapToTheVirtualKeyVocabulary() {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, vk);
        QCOMPARE(virtualKeyOf(qtKey, Qt::KeyboardModifiers(modifiers)), vk);
    }

    void helpWindowShowsOnlyTheLastTextAndOkCloses() {
        HelpWindow window;
        QCOMPARE(window.windowTitle(), QString("Help"));
        window.setText("first");
        window.setText("second\nline");
        QCOMPARE(window.findChild<QLabel*>("lblHelp")->text(), QString("second\nline"));
        window.show();
        QVERIFY(window.isVisible());
        window.findChild<QPushButton*>("btnOk")->click();
        QVERIFY(!window.isVisible());
        window.show();
        window.close();  // the frame closes it the same way
        QVERIFY(!window.isVisible());
    }

    void bitDialogCaptionsAndBits() {
        BitDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("Flag/Tony Type"));
        dialog.prepare(BitKind::Tone, "10100000");
        QCOMPARE(dialog.box(0)->text(), QString("Duty Cycle 50%"));
        QCOMPARE(dialog.box(2)->text(), QString("No effect"));
        QVERIFY(dialog.box(0)->isChecked());
        QVERIFY(!dialog.box(1)->isChecked());
        QVERIFY(dialog.box(2)->isChecked());
        QCOMPARE(QString::fromStdString(dialog.chosenBits()), QString("10100000"));

        dialog.prepare(BitKind::Flag, "--");
        QCOMPARE(dialog.box(0)->text(), QString("Disable pitch effect"));
        QCOMPARE(dialog.box(1)->text(), QString("Toggle a 'connect' on notes"));
        QCOMPARE(dialog.box(3)->text(), QString("To have an higher octave"));
        QCOMPARE(dialog.box(7)->text(), QString("??"));
        QCOMPARE(QString::fromStdString(dialog.chosenBits()), QString("00000000"));
        dialog.box(0)->setChecked(true);
        dialog.box(7)->setChecked(true);
        QCOMPARE(QString::fromStdString(dialog.chosenBits()), QString("10000001"));
    }

    void bitDialogOkAndCancel() {
        BitDialog dialog;
        // exec() runs the dialog's own loop: the buttons are pressed from inside it.
        QTimer::singleShot(0, &dialog, [&] {
            dialog.box(0)->setChecked(true);
            dialog.box(7)->setChecked(true);
            dialog.findChild<QPushButton*>("lblOk")->click();
        });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "--")), QString("10000001"));
        QTimer::singleShot(0, &dialog,
                           [&] { dialog.findChild<QPushButton*>("lblCancel")->click(); });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Tone, "10100000")), QString("--"));
        QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "00000001")), QString("--"));
    }
};

namespace {
RegisterGuiTest<PartsTest> registerParts;
}

}  // namespace kestra::testing

#include "parts_test.moc"
