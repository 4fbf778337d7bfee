// kestra-cli show: the unrolled song of a sheet dump, as "Show Song" fills the MySong and
// FourChan sheets, followed by the messages it reported.
#include <memory>
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

// Rows go out in pieces: 400,000 of them are never all in memory as text.
template <class G>
void appendRows(const G& sheet, std::string& out) {
    const int rows = sheet.rowCount(), cols = sheet.columnCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0) out += '\t';
            out += sheet.cell(r, c);
        }
        out += '\n';
        if (out.size() > 64 * 1024) {
            writeStdout(out);
            out.clear();
        }
    }
}

int runShow(const std::string& source) {
    auto dump = readSongTextForCli(source);
    if (!dump) return kFailed;

    Document doc;
    doc.sheets = std::move(dump->sheets);
    HistoryMessages messages(doc.errors);
    showSong(doc, &messages);

    std::string out;
    out.reserve(80 * 1024);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        out += "channel " + std::to_string(ch + 1) + "\n";
        appendRows(doc.sheets.shown->channels[static_cast<size_t>(ch)], out);
    }
    out += "fourchan\n";
    appendRows(doc.sheets.shown->fourChan(), out);
    for (const auto& m : doc.errors.history()) out += "message: " + m + "\n";
    writeStdout(out);
    return kDone;
}

}  // namespace

void addShowCommand(CLI::App& app) {
    auto source = std::make_shared<std::string>("-");
    CLI::App* cmd = addCommand(
        app, "show", "show a sheet dump unrolled, as \"Show Song\" does",
        "Reads a sheet dump (from SHEETFILE, or standard input when it is \"-\" or missing),\n"
        "walks each channel through its loops, breaks and jumps as \"Show Song\" does, and\n"
        "prints for each channel a line \"channel N\" followed by its MySong rows, then a line\n"
        "\"fourchan\" followed by the FourChan rows; a row is its cells (21 and 18 of them,\n"
        "empty cells as empty fields) separated by tabs. Then each message reported, as\n"
        "\"message: TEXT\". Exit status 1 when the dump cannot be read.",
        [source] { return runShow(*source); });
    cmd->add_option("SHEETFILE", *source, "the sheet dump (\"-\": standard input)");
}

}  // namespace kestra::cli
