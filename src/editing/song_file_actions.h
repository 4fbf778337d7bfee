// Song files in the editor: "Open Song...", "Save Song", "Save Song As..." and the question asked
// before closing with unsaved changes. The window only wires these to its menu and title.
#pragma once

#include <string>

#include "model/document.h"
#include "model/ports.h"
#include "model/result.h"
#include "model/undo_history.h"

namespace kestra {

inline constexpr const char* kProgramTitle = "Kestra Music Editor - Version 0.1";
inline constexpr const char* kUntitledSong = "Untitled";
inline constexpr const char* kOpenSongTitle = "Open Song";
inline constexpr const char* kSaveSongTitle = "Save Song As";
inline constexpr const char* kSongFileFilter = "Song files (*.ksong)|*.ksong|All files (*.*)|*.*";
inline constexpr const char* kSongFileErrorTitle = "Song File";
inline constexpr const char* kSongOverOpenedFile =
    "A song file cannot be saved over the opened NES/NSF file. Choose another name.";
inline constexpr const char* kCloseQuestionTitle = "Kestra Music Editor";
inline constexpr const char* kCloseQuestionText = "Save changes to the song before closing?";

// The one place that writes the song file of the document.
Status writeSongFile(const std::string& path, const Document& doc);
// The one place that reads one: replaces the song as "Read Channel" does, recorded as one undo
// step. All or nothing: on a refusal nothing has changed.
Status readSongFileInto(Document& doc, UndoHistory& history, const std::string& path,
                        const UndoCursor& cursor);

// The window title for a song file ("tune.ksong[*] - ..."; "Untitled[*] - ..." without one). The
// "[*]" is where the toolkit shows the modified mark.
std::string songWindowTitle(const std::string& songPath);

struct SongFilePorts {
    FilePort* files = nullptr;
    MessagePort* messages = nullptr;
    SaveChangesPort* saveChanges = nullptr;
};

// The song file the document was last opened from or saved to, and the menu commands on it.
class SongFiles {
  public:
    SongFiles(Document& doc, UndoHistory& history, SongFilePorts ports)
        : doc_(doc), history_(history), ports_(ports) {}

    // "Open Song...": asks for a file. True when the sheets were replaced.
    bool open(const UndoCursor& cursor);
    bool openPath(const std::string& path, const UndoCursor& cursor);
    // "Save Song": without a song file it asks like "Save Song As...". True when saved.
    bool save();
    bool saveAs();
    // Before closing: asks to save unsaved changes. True when the window may close.
    bool mayClose();

    const std::string& path() const { return path_; }
    std::string windowTitle() const { return songWindowTitle(path_); }

  private:
    bool saveTo(const std::string& path);

    Document& doc_;
    UndoHistory& history_;
    SongFilePorts ports_;
    std::string path_;
};

}  // namespace kestra
