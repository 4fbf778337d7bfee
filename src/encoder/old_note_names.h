// Song files written before notes were named by the driver's octave state. Their names were
// looked up under the older rule (Octave sets the octave and ends octave-plus, the switch adds or
// takes off two, and Flags leave the octave alone); each note is renamed from the pitch code its
// name meant then, so the song keeps the bytes it was written with.
#pragma once

#include "model/read_memory.h"
#include "model/sheets.h"

namespace kestra {

inline constexpr const char* kRenamedNotesMessage =
    "This song file was written before notes were named by the octave the driver plays; its "
    "notes have been renamed so that they keep their sound. Save it to keep the new names.";

// Renames the notes of the Music sheets, and of the remembered lines with them; returns how many
// Note cells changed.
int renameOldNoteNames(Sheets& sheets, ReadMemory* memory = nullptr);

}  // namespace kestra
