#include "editing/song_file_actions.h"

#include <gtest/gtest.h>

#include <fstream>

#include "editing/undoable_edits.h"
#include "encoder/old_note_names.h"
#include "model/song_file.h"
#include "rom/file_bytes.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

struct Session {
    testing::TempDir dir;
    Document doc;
    UndoHistory history;
    testing::FakeFiles files;
    testing::FakeMessages messages;
    SongFiles songs{doc, history, {&files, &messages, nullptr}};

    // An edit the history knows of: the note of row 0 of Square 1.
    void edit(const char* note) {
        runRecorded(doc, history, UndoScope::rowsOf(kSquare1, 0, 0), {},
                    [&] { doc.sheets.channel(kSquare1).music.setCell(0, music::kNote, note); });
    }
};

TEST(SongFileActions, NamesAndTitles) {
    struct Case {
        std::string path, extended, title;
    };
    const std::string rest = "[*] - Kestra Music Editor - Version 0.1";
    for (const Case& c : std::initializer_list<Case>{
             {"tune", "tune.ksong", "tune" + rest},
             {"/songs/tune.ksong", "/songs/tune.ksong", "tune.ksong" + rest},
             {"/songs.v2/tune", "/songs.v2/tune.ksong", "tune" + rest},
             {"notes.txt", "notes.txt", "notes.txt" + rest},
             {"", "", "Untitled" + rest},
         }) {
        EXPECT_EQ(withDefaultExtension(c.path, ".ksong"), c.extended) << c.path;
        EXPECT_EQ(songWindowTitle(c.path), c.title) << c.path;
    }
}

TEST(SongFileActions, OpenReplacesTheSongAsOneUndoStep) {
    Session s;
    std::string path = s.dir.file("tune.ksong");
    Sheets saved;
    saved.channel(kSquare2) = testing::channelOf({{}, {"D-2"}, {}, {}, {}, {}});
    ASSERT_TRUE(saveSongFile(path, saved).ok());
    s.edit("C-1");
    Sheets before = s.doc.sheets;
    FrameStore framesBefore = s.doc.frames;

    s.files.next = path;
    ASSERT_TRUE(s.songs.open({}));
    EXPECT_TRUE(s.messages.boxes.empty());
    for (int ch = 0; ch < kChannelCount; ++ch) {
        EXPECT_EQ(s.doc.sheets.channel(ch).music, saved.channel(ch).music);
        EXPECT_EQ(s.doc.sheets.channel(ch).loop, saved.channel(ch).loop);
        EXPECT_EQ(s.doc.sheets.channel(ch).brk, saved.channel(ch).brk);
    }
    EXPECT_EQ(s.doc.frames, FrameStore());
    EXPECT_EQ(s.songs.path(), path);
    EXPECT_FALSE(s.history.isModified());

    ASSERT_TRUE(s.history.undo(s.doc.sheets, s.doc.frames));
    EXPECT_EQ(s.doc.sheets, before);
    EXPECT_EQ(s.doc.frames, framesBefore);
    EXPECT_TRUE(s.history.isModified());
    ASSERT_TRUE(s.history.redo(s.doc.sheets, s.doc.frames));
    EXPECT_EQ(s.doc.sheets.channel(kSquare2).music, saved.channel(kSquare2).music);
    EXPECT_FALSE(s.history.isModified());
}

// Without the format line the notes were named the old way: a Flag left octave-plus on.
TEST(SongFileActions, AnOldSongFileIsRenamedWithOneMessage) {
    Session s;
    Sheets old;
    testing::fillChannel(
        old.channel(kSquare1),
        {{"C-2", {{music::kPlus, "ON"}}}, {"D-2", {{music::kFlag, "00"}}}, testing::end()});
    std::string path = s.dir.file("old.ksong");
    std::ofstream(path) << writeSheetDump(old).substr(std::string("format 2\n").size());
    ASSERT_TRUE(s.songs.openPath(path, {}));
    EXPECT_EQ(s.doc.sheets.channel(kSquare1).music.cell(0, music::kNote), "C-2");
    EXPECT_EQ(s.doc.sheets.channel(kSquare1).music.cell(1, music::kNote), "D-0");
    EXPECT_EQ(s.doc.errors.history(), (std::vector<std::string>{kRenamedNotesMessage}));
}

TEST(SongFileActions, RefusedFileChangesNothing) {
    Session s;
    s.edit("C-1");
    Sheets before = s.doc.sheets;
    std::string damaged = s.dir.file("damaged.ksong");
    std::ofstream(damaged) << "channel 1\n000 not a line record\n";
    struct Case {
        std::string path, expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {damaged, "line 2:"},
             {s.dir.file("missing.ksong"), "missing.ksong"},
             {s.dir.file(""), "folder"},
         }) {
        s.messages.boxes.clear();
        EXPECT_FALSE(s.songs.openPath(c.path, {}));
        ASSERT_EQ(s.messages.boxes.size(), 1u) << c.path;
        EXPECT_EQ(s.messages.boxes[0].title, kSongFileErrorTitle);
        EXPECT_NE(s.messages.boxes[0].text.find(c.expected), std::string::npos)
            << s.messages.boxes[0].text;
        EXPECT_EQ(s.doc.sheets, before);
        EXPECT_EQ(s.history.size(), 1u);
        EXPECT_TRUE(s.history.isModified());
        EXPECT_EQ(s.songs.path(), "");
    }
}

TEST(SongFileActions, SaveAsksForANameOnlyWithoutOne) {
    Session s;
    s.edit("C-1");
    EXPECT_FALSE(s.songs.save());  // the dialog was cancelled
    EXPECT_EQ(s.files.saveAsked, 1);
    EXPECT_EQ(s.files.suggested, "Untitled.ksong");
    EXPECT_TRUE(s.history.isModified());

    s.files.nextSave = s.dir.file("tune");
    ASSERT_TRUE(s.songs.save());
    EXPECT_EQ(s.songs.path(), s.dir.file("tune.ksong"));
    EXPECT_FALSE(s.history.isModified());
    auto loaded = loadSongFile(s.songs.path());
    ASSERT_TRUE(loaded) << loaded.error();
    EXPECT_EQ(loaded->sheets.channel(kSquare1).music, s.doc.sheets.channel(kSquare1).music);

    s.edit("E-1");
    ASSERT_TRUE(s.songs.save());
    EXPECT_EQ(s.files.saveAsked, 2);  // saved under its name without asking
    EXPECT_EQ(loadSongFile(s.songs.path())->sheets.channel(kSquare1).music.cell(0, music::kNote),
              "E-1");

    // A name that cannot be written, or the opened NES/NSF file, keeps the old name and the
    // modified state; the opened file is not touched.
    s.edit("F-1");
    s.doc.file.path = s.dir.write("game.nes", Bytes(64, 0xEA));
    for (std::string bad :
         {s.dir.file("no/such/folder/x.ksong"), s.doc.file.path, s.dir.file("./game.nes")}) {
        s.messages.boxes.clear();
        s.files.nextSave = bad;
        EXPECT_FALSE(s.songs.saveAs()) << bad;
        EXPECT_EQ(s.messages.boxes.size(), 1u) << bad;
        EXPECT_EQ(s.songs.path(), s.dir.file("tune.ksong"));
        EXPECT_TRUE(s.history.isModified());
    }
    EXPECT_EQ(*readFileBytes(s.doc.file.path), Bytes(64, 0xEA));
}

// The dialog only asked about the name typed; the extension added makes another name, which
// replaces an existing file only when the user says so.
TEST(SongFileActions, SaveAsAsksBeforeReplacingTheNameWithItsExtension) {
    Session s;
    const std::string existing = s.dir.write("tune.ksong", Bytes{'k', 'e', 'e', 'p'});
    s.edit("C-1");
    s.files.nextSave = s.dir.file("tune");
    s.messages.answer = false;
    EXPECT_FALSE(s.songs.saveAs());
    ASSERT_EQ(s.messages.questions.size(), 1u);
    EXPECT_EQ(s.messages.questions[0].text,
              "tune.ksong already exists.\nDo you want to replace it?");
    EXPECT_EQ(*readFileBytes(existing), (Bytes{'k', 'e', 'e', 'p'}));
    s.messages.answer = true;
    EXPECT_TRUE(s.songs.saveAs());
    EXPECT_TRUE(loadSongFile(existing));
}

}  // namespace
}  // namespace kestra
