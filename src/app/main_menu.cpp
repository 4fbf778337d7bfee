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
    return m;
}

}  // namespace kestra
