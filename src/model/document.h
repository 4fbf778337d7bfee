// The editor's shared state, held by the GUI (or the command line) and passed to every core
// action: the song's sheets and frame store, the opened file, the read/write address, the
// channel and sheet shown, the last key and the "Important message" box.
#pragma once

#include <string>

#include "model/file_state.h"
#include "model/frame_store.h"
#include "model/ports.h"
#include "model/read_memory.h"
#include "model/sheets.h"

namespace kestra {

struct Document {
    Sheets sheets;
    FrameStore frames;
    FileState file;
    std::string readWriteAddress;  // hex text as typed; empty until set
    int currentChannel = kSquare1;
    SheetKind currentSheet = SheetKind::Music;
    int lastKey = 0;
    ErrorBox errors;
    // The channels as last read; only used while a channel still shows exactly what was read.
    ReadMemory readMemory;

    ChannelSheets& current() { return sheets.channel(currentChannel); }
    const ChannelSheets& current() const { return sheets.channel(currentChannel); }
};

}  // namespace kestra
