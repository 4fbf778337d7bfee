// Undo and redo in the window: the shortcuts take back "Add lines" and key edits and redo them.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app/sheet_view.h"
#include "fakes.h"
#include "gui_test_registry.h"

namespace kestra::testing {

class UndoWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void shortcutsUndoAndRedoAddLines() {
        Fakes fakes;
        MainWindow w(fakes.ports());
        auto testers = watchModels(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        Sheets start = w.document().sheets;
        w.findChild<QLineEdit*>("txtNbLineAdd")->setText("3");
        w.controls().btnAddLines->click();
        QCOMPARE(w.currentView()->model()->rowCount(), 4);
        Sheets added = w.document().sheets;

        QTest::keyClick(w.currentView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.currentView()->model()->rowCount(), 1);
        QVERIFY(w.document().sheets == start);
        QTest::keyClick(w.currentView(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.currentView()->model()->rowCount(), 4);
        QVERIFY(w.document().sheets == added);
        w.undo();
        QTest::keyClick(w.currentView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(w.document().sheets == added);
        QVERIFY(w.undoHistory().isModified());
    }
};

namespace {
RegisterGuiTest<UndoWindowTest> registerUndoWindow;
}

}  // namespace kestra::testing

#include "undo_window_test.moc"
