// The sheet dump: the editable sheets of the four channels as text (also the song file format).
//   format 2                        (the notes are named by the driver's octave state; dumps
//                                    without this line are older and name them otherwise)
//   channel N                       (N = 1..4)
//   RRR <music 30>|<loop 38>|<break 32>   (row index, at least 3 digits, then the line records)
//   message: TEXT                   (after the channels: each message reported)
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/result.h"
#include "model/sheets.h"

namespace kestra {

inline constexpr int kSheetDumpFormat = 2;

std::string writeSheetDump(const Sheets& sheets, const std::vector<std::string>& messages = {});
// The same text handed to sink piece by piece.
void writeSheetDump(const Sheets& sheets, const std::vector<std::string>& messages,
                    const std::function<void(std::string_view)>& sink);

struct SheetDump {
    Sheets sheets;  // Music, Loop and Break of each channel; MySong and FourChan as at start-up
    std::vector<std::string> messages;
    int format = 1;  // 1: written before the format line existed
};

// Refuses damaged or foreign text with a message naming the line ("line 12: ...").
Result<SheetDump> parseSheetDump(std::string_view text);

}  // namespace kestra
