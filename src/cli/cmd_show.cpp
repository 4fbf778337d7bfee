// kestra-cli show: the unrolled song of a sheet dump, as "Show Song" fills the MySong and
// FourChan sheets, followed by the messages it reported.
#include <cstdio>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "model/document.h"
#include "model/song_file.h"
#include "view/show_song.h"

namespace kestra::cli {

namespace {

// Message boxes (damaged cell text) join the "Important message" history, so every message
// is printed in the order it came.
class HistoryMessages : public MessagePort {
  public:
    explicit HistoryMessages(ErrorBox& box) : box_(box) {}
    void messageBox(const std::string&, const std::string& text) override { box_.caution(text); }
    bool confirm(const std::string&, const std::string&) override { return false; }

  private:
    ErrorBox& box_;
};

void appendRows(const Sheet& sheet, std::string& out) {
    for (int r = 0; r < sheet.rowCount(); ++r) {
        for (int c = 0; c < sheet.columnCount(); ++c) {
            if (c > 0) out += '\t';
            out += sheet.cell(r, c);
        }
        out += '\n';
    }
}

}  // namespace

int runShow(const Args& args) {
    if (args.size() > 1) {
        std::fprintf(stderr, "usage: kestra-cli show [SHEETFILE|-]\n");
        return 2;
    }
    auto dump = readSongTextForCli(args.empty() ? "-" : args[0], "");
    if (!dump) return 1;

    Document doc;
    doc.sheets = std::move(dump->sheets);
    HistoryMessages messages(doc.errors);
    showSong(doc, &messages);

    std::string out;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        out += "channel " + std::to_string(ch + 1) + "\n";
        appendRows(doc.sheets.channel(ch).mySong, out);
    }
    out += "fourchan\n";
    appendRows(doc.sheets.fourChan, out);
    for (const auto& m : doc.errors.history()) out += "message: " + m + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace kestra::cli
