// The window's menu bar: File (song files and the patch of the opened file) and Edit (undo and
// redo, the block commands on lines). Built here; the main window connects the actions.
#pragma once

class QAction;
class QMenuBar;
class QWidget;

namespace kestra {

struct MenuActions {
    QMenuBar* bar = nullptr;
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
};

// Creates the menu bar at the top of window. The actions are also the window's own, so their
// shortcuts work wherever the focus is in it.
MenuActions buildMainMenu(QWidget* window);

}  // namespace kestra
