#include "editing/song_file_actions.h"

#include <filesystem>
#include <utility>

#include "editing/undoable_edits.h"
#include "encoder/old_note_names.h"
#include "format/memory_check.h"
#include "model/same_file.h"
#include "model/song_file.h"

namespace kestra {

Status writeSongFile(const std::string& path, const Document& doc) {
    return saveSongFile(path, doc.sheets, {}, &doc.memory());
}

Status readSongFileInto(Document& doc, UndoHistory& history, const std::string& path,
                        const UndoCursor& cursor) {
    auto dump = loadSongFile(path);
    if (!dump) return Status::failure(dump.error());
    bool renamed =
        dump->format < kSheetDumpFormat && renameOldNoteNames(dump->sheets, &dump->memory) > 0;
    std::string unspelled = forgetUnspelledLines(dump->memory);
    runRecorded(
        doc, history, UndoScope::everything(), cursor,
        [&] {
            // As after "Read Channel": the frame store starts over, and what reading remembered
            // comes from the file (nothing, for a file saved without it).
            doc.frames.reset();
            doc.remember(std::move(dump->memory));
            for (int ch = 0; ch < kChannelCount; ++ch) {
                ChannelSheets& to = doc.sheets.channel(ch);
                ChannelSheets& from = dump->sheets.channel(ch);
                to.music = std::move(from.music);
                to.loop = std::move(from.loop);
                to.brk = std::move(from.brk);
            }
        },
        "Open song file");
    if (renamed) doc.errors.caution(kRenamedNotesMessage);
    if (!unspelled.empty()) doc.errors.report(unspelled);
    return Status::done();
}

std::string songWindowTitle(const std::string& songPath) {
    std::string name =
        songPath.empty() ? kUntitledSong : std::filesystem::path(songPath).filename().string();
    return name + "[*] - " + kProgramTitle;
}

bool SongFiles::open(const UndoCursor& cursor) {
    auto path = ports_.files->chooseFile(kOpenSongTitle, kSongFileFilter);
    return path && openPath(*path, cursor);
}

bool SongFiles::openPath(const std::string& path, const UndoCursor& cursor) {
    if (auto read = readSongFileInto(doc_, history_, path, cursor); !read) {
        ports_.messages->messageBox(kSongFileErrorTitle, read.error());
        return false;
    }
    path_ = path;
    history_.markSaved();
    return true;
}

bool SongFiles::save() {
    return path_.empty() ? saveAs() : saveTo(path_);
}

bool SongFiles::saveAs() {
    std::string suggested = path_.empty() ? std::string(kUntitledSong) + kSongFileExtension : path_;
    auto path = chooseSavePath(*ports_.files, *ports_.messages, kSaveSongTitle, kSongFileFilter,
                               suggested, kSongFileExtension);
    return path && saveTo(*path);
}

bool SongFiles::saveTo(const std::string& path) {
    if (sameFile(path, doc_.file.path)) {
        ports_.messages->messageBox(kSongFileErrorTitle, kSongOverOpenedFile);
        return false;
    }
    if (auto written = writeSongFile(path, doc_); !written) {
        ports_.messages->messageBox(kSongFileErrorTitle, written.error());
        return false;
    }
    path_ = path;
    history_.markSaved();
    return true;
}

bool SongFiles::mayClose() {
    if (!history_.isModified()) return true;
    switch (ports_.saveChanges->askSaveChanges(kCloseQuestionTitle, kCloseQuestionText)) {
        case SaveChoice::Save:
            return save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

}  // namespace kestra
