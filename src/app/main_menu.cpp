#include "app/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace kestra {
namespace {

QAction* action(QWidget* window, QMenu* menu, const char* text, const char* name,
                QList<QKeySequence> keys = {}) {
    auto* a = new QAction(text, window);
    a->setObjectName(name);
    a->setShortcuts(keys);
    menu->addAction(a);
    window->addAction(a);
    return a;
}

}  // namespace

MenuActions buildMainMenu(QWidget* window) {
    MenuActions m;
    m.bar = new QMenuBar(window);
    m.bar->setObjectName("menuBar");
    // The window is laid out by coordinates: the bar sits inside it on every platform.
    m.bar->setNativeMenuBar(false);

    QMenu* file = m.bar->addMenu("&File");
    file->setObjectName("menuFile");
    m.openFile = action(window, file, "Open NES/NSF File...", "actOpenFile",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)});
    m.recentFiles = file->addMenu("Open &Recent");
    m.recentFiles->setObjectName("menuRecentFiles");
    file->addSeparator();
    m.openSong = action(window, file, "Open Song...", "actOpenSong", {QKeySequence::Open});
    m.saveSong = action(window, file, "Save Song", "actSaveSong", {QKeySequence::Save});
    m.saveSongAs = action(window, file, "Save Song As...", "actSaveSongAs",
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    file->addSeparator();
    m.exportPatch = action(window, file, "Export Patch...", "actExportPatch");
    file->addSeparator();
    m.quit = action(window, file, "Quit", "actQuit", {QKeySequence(Qt::CTRL | Qt::Key_Q)});

    QMenu* edit = m.bar->addMenu("&Edit");
    edit->setObjectName("menuEdit");
    m.undo = action(window, edit, "Undo", "actUndo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m.redo = action(
        window, edit, "Redo", "actRedo",
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    m.cut = action(window, edit, "Cut Lines", "actCut", {QKeySequence(Qt::CTRL | Qt::Key_X)});
    m.copy = action(window, edit, "Copy Lines", "actCopy", {QKeySequence(Qt::CTRL | Qt::Key_C)});
    m.paste = action(window, edit, "Paste Lines", "actPaste", {QKeySequence(Qt::CTRL | Qt::Key_V)});
    m.pasteOver = action(window, edit, "Paste Over", "actPasteOver",
                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    edit->addSeparator();
    m.semitoneUp = action(window, edit, "Transpose Semitone Up", "actSemitoneUp",
                          {QKeySequence(Qt::CTRL | Qt::Key_Up)});
    m.semitoneDown = action(window, edit, "Transpose Semitone Down", "actSemitoneDown",
                            {QKeySequence(Qt::CTRL | Qt::Key_Down)});
    m.octaveUp = action(window, edit, "Transpose Octave Up", "actOctaveUp",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up)});
    m.octaveDown = action(window, edit, "Transpose Octave Down", "actOctaveDown",
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down)});

    QMenu* view = m.bar->addMenu("&View");
    view->setObjectName("menuView");
    m.messageLog =
        action(window, view, "Message Log", "actMessageLog", {QKeySequence(Qt::CTRL | Qt::Key_L)});
    return m;
}

}  // namespace kestra
