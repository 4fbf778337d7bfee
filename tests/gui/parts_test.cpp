// The window's parts on their own: the table model, the file filter,
// the key map, the Help window and the bit dialog.
#include <QSignalSpy>
#include <QTimer>
#include <tuple>

#include "app/bit_dialog.h"
#include "app/file_filter.h"
#include "app/key_map.h"
#include "app/sheet_model.h"
#include "fakes.h"
#include "model/sheets.h"

namespace kestra::testing {

class PartsTest : public QObject {
    Q_OBJECT

  private slots:
    void sheetModelFollowsTheSheet() {
        Sheets sheets;
        Sheet& music = sheets.channel(0).music;
        SheetModel model(&sheets, 0, SheetKind::Music);
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

    void fileFilterInQtSyntax() {
        QCOMPARE(QString::fromStdString(qtFileFilter(kOpenFileFilter)),
                 QString("NSF/Rom files (*.nsf *nes);;All files (*)"));
    }

    void keysMapToTheVirtualKeyVocabulary() {
        const int shift = Qt::ShiftModifier, pad = Qt::KeypadModifier;
        // Scan codes are XKB key codes: the digit row "1".."0" is 10..19, keypad 7 is 79.
        // clang-format off
        const std::tuple<const char*, int, int, int, int> rows[] = {
            {"Return", Qt::Key_Return, 0, 36, 13},   {"Enter", Qt::Key_Enter, pad, 104, 13},
            {"Space", Qt::Key_Space, 0, 0, 32},      {"End", Qt::Key_End, 0, 0, 35},
            {"Insert", Qt::Key_Insert, 0, 0, 45},    {"Delete", Qt::Key_Delete, 0, 0, 46},
            {"Left", Qt::Key_Left, 0, 0, 37},        {"Down", Qt::Key_Down, 0, 0, 40},
            {"A", Qt::Key_A, 0, 0, 65},              {"Z", Qt::Key_Z, shift, 0, 90},
            {"full stop", Qt::Key_Period, 0, 0, 190},
            {"apostrophe", Qt::Key_Apostrophe, 0, 0, 222},
            {"Shift apostrophe", Qt::Key_QuoteDbl, shift, 0, 222},
            {"F1", Qt::Key_F1, 0, 0, 0},
            // No scan code: the symbol, through a US keyboard.
            {"7", Qt::Key_7, 0, 0, 55},              {"Shift 5", Qt::Key_Percent, shift, 0, 53},
            {"keypad 5", Qt::Key_5, pad, 0, 53},
            // The physical key, whatever the layout puts on it.
            {"US 1", Qt::Key_1, 0, 10, 49},          {"US Shift 1", Qt::Key_Exclam, shift, 10, 49},
            {"French 1", Qt::Key_Ampersand, 0, 10, 49},
            {"French 2", Qt::Key_Eacute, 0, 11, 50}, {"French Shift 2", Qt::Key_2, shift, 11, 50},
            {"French 0", Qt::Key_Agrave, 0, 19, 48},
            {"German Shift 7", Qt::Key_Slash, shift, 16, 55},
            {"German Shift 0", Qt::Key_Equal, shift, 19, 48},
            {"German Shift 3", Qt::Key_paragraph, shift, 12, 51},
            {"keypad 7", Qt::Key_7, pad, 79, 55},    {"Shift keypad 7", Qt::Key_Home, pad | shift, 79, 55},
            {"keypad 0", Qt::Key_Insert, pad, 90, 48}, {"keypad 3", Qt::Key_3, pad, 89, 51}};
        // clang-format on
        for (auto [name, key, modifiers, scan, vk] : rows) {
            const int got = virtualKeyOf(key, Qt::KeyboardModifiers(modifiers), quint32(scan));
            QVERIFY2(got == vk, qPrintable(QString("%1: %2, not %3").arg(name).arg(got).arg(vk)));
        }
    }

    void helpWindowShowsOnlyTheLastTextAndOkCloses() {
        HelpWindow window;
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

    void bitDialogOkAndCancel() {
        BitDialog dialog;
        // exec() runs the dialog's own loop: the buttons are pressed from inside it.
        QTimer::singleShot(0, &dialog, [&] {
            dialog.box(0)->setChecked(true);
            dialog.box(7)->setChecked(true);
            dialog.findChild<QPushButton*>("lblOk")->click();
        });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "--")), QString("10000001"));
        bool shown = false;  // the bits given, first on the left
        QTimer::singleShot(0, &dialog, [&] {
            shown = dialog.box(0)->isChecked() && !dialog.box(1)->isChecked() &&
                    dialog.box(2)->isChecked() && dialog.chosenBits() == "10100000";
            dialog.findChild<QPushButton*>("lblCancel")->click();
        });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Tone, "10100000")), QString("--"));
        QVERIFY(shown);
        QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "00000001")), QString("--"));
        // From the keyboard, wherever the focus is: Return is OK, Escape is Cancel.
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(dialog.box(0), Qt::Key_Return); });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "00000001")),
                 QString("00000001"));
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(dialog.box(0), Qt::Key_Escape); });
        QCOMPARE(QString::fromStdString(dialog.editBits(BitKind::Flag, "00000001")), QString("--"));
    }
};

static RegisterGuiTest<PartsTest> registerParts;

}  // namespace kestra::testing

#include "parts_test.moc"
