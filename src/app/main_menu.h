// The window's menu bar: File (the NES/NSF file, recent files, song files and the patch of the
// opened file), Edit (undo and redo, the block commands on lines) and View (the message log).
// Built here; the main window connects the actions and fills the recent-files menu.
#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kestra {

struct MenuActions {
    QMenuBar* bar = nullptr;
    QAction* openFile = nullptr;
    QMenu* recentFiles = nullptr;
    QAction* openSong = nullptr;
    QAction* saveSong = nullptr;
    QAction* saveSongAs = nullptr;
    QAction* exportPatch = nullptr;
    QAction* quit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* pasteOver = nullptr;
    QAction* semitoneUp = nullptr;
    QAction* semitoneDown = nullptr;
    QAction* octaveUp = nullptr;
    QAction* octaveDown = nullptr;
    QAction* messageLog = nullptr;
};

// Creates the menu bar at the top of window. The actions are also the window's own, so their
// shortcuts work wherever the focus is in it.
MenuActions buildMainMenu(QWidget* window);

}  // namespace kestra
