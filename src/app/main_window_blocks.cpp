// The main window's block commands: Copy, Cut, Paste, Paste over and Transpose on the lines
// selected in the grid shown (or its current line), through the system clipboard.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include "app/main_window.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "editing/block_edits.h"
#include "model/guard.h"

namespace kestra {

void MainWindow::connectBlockCommands() {
    connect(menu_.copy, &QAction::triggered, this, &MainWindow::copySelectedLines);
    connect(menu_.cut, &QAction::triggered, this, &MainWindow::cutSelectedLines);
    connect(menu_.paste, &QAction::triggered, this, [this] { pasteLinesHere(false); });
    connect(menu_.pasteOver, &QAction::triggered, this, [this] { pasteLinesHere(true); });
    connect(menu_.semitoneUp, &QAction::triggered, this, [this] { transposeSelected(1); });
    connect(menu_.semitoneDown, &QAction::triggered, this, [this] { transposeSelected(-1); });
    connect(menu_.octaveUp, &QAction::triggered, this, [this] { transposeSelected(12); });
    connect(menu_.octaveDown, &QAction::triggered, this, [this] { transposeSelected(-12); });
}

void MainWindow::copySelectedLines() {
    BlockResult result =
        kestra::copyLines(doc_, selection(), currentView()->lineRange(), ports_.messages);
    if (!result.clipboard) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(*result.clipboard));
    const int count = currentView()->lineRange().count();
    report(QString("Copied %1 line%2").arg(count).arg(count == 1 ? "" : "s"));
}

void MainWindow::cutSelectedLines() {
    startAction();
    Selection sel = selection();
    LineRange range = currentView()->lineRange();
    BlockResult result;
    runGuarded(ports_.messages,
               [&] { result = undoableCut(doc_, undo_, sel, range, ports_.messages); });
    if (result.clipboard) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(*result.clipboard));
        currentView()->clearLines();
    }
    applyBlock(result);
}

void MainWindow::pasteLinesHere(bool over) {
    startAction();
    Selection sel = selection();
    std::string text = QGuiApplication::clipboard()->text().toStdString();
    BlockResult result;
    runGuarded(ports_.messages, [&] {
        result = over ? undoablePasteOver(doc_, undo_, sel, text, ports_.messages)
                      : undoablePaste(doc_, undo_, sel, text, ports_.messages);
    });
    applyBlock(result);
}

void MainWindow::transposeSelected(int semitones) {
    startAction();
    Selection sel = selection();
    LineRange range = currentView()->lineRange();
    BlockResult result;
    runGuarded(ports_.messages, [&] {
        result = undoableTranspose(doc_, undo_, sel, range, semitones, ports_.messages);
    });
    applyBlock(result);
}

void MainWindow::applyBlock(const BlockResult& result) {
    applyEdit(result.edit);
    if (result.edit.rows) sheets_->refreshAll();
    // The pasted lines stay selected, ready to be transposed or copied again.
    if (result.lines && result.lines->count() > 1) currentView()->selectLines(*result.lines);
}

}  // namespace kestra
