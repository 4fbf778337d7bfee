// The editor's shared state, held by the GUI (or the command line) and passed to every core
// action: the song's sheets and frame store, the opened file, the read/write address, the
// channel and sheet shown, the last key and the "Important message" box.
#pragma once

#include <memory>
#include <string>
#include <utility>

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
    // Never changed in place: undo steps share it instead of copying a long song's lines.
    std::shared_ptr<const ReadMemory> readMemory = std::make_shared<const ReadMemory>();

    const ReadMemory& memory() const { return *readMemory; }
    void remember(ReadMemory memory) {
        readMemory = std::make_shared<const ReadMemory>(std::move(memory));
    }

    ChannelSheets& current() { return sheets.channel(currentChannel); }
    const ChannelSheets& current() const { return sheets.channel(currentChannel); }
};

}  // namespace kestra
