// Any sequence of key presses, double-clicks and line commands on a song read from a fixture,
// then Show Song: never a crash, and the editor's sheets stay in step with each other.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editing/sheet_editing.h"
#include "format/read_song.h"
#include "fuzz_inputs.h"
#include "view/show_song.h"

namespace {

using namespace kestra;

class Keyboard : public KeyboardPort {
  public:
    bool shift = false;
    bool shiftDown() const override { return shift; }
};

// Answers the bit dialog from the input: cancel, or eight bits.
class BitDialog : public BitDialogPort {
  public:
    explicit BitDialog(fuzz::InputReader& in) : in_(in) {}
    std::string editBits(BitKind, const std::string&) override {
        std::uint8_t b = in_.byte();
        if (b == 0) return "--";
        std::string bits;
        for (int i = 7; i >= 0; --i) bits += ((b >> i) & 1) ? '1' : '0';
        return bits;
    }

  private:
    fuzz::InputReader& in_;
};

class Messages : public MessagePort {
  public:
    void messageBox(const std::string&, const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return true; }
};

// The keys the editing rules react to, most likely first; any other key is picked rarely.
constexpr int kKeys[] = {kKeyEnter,      kKeyDelete, kKeySpace, kKeyInsert, kKeyEnd,   kKeyFullStop,
                         kKeyApostrophe, kKeyShift,  kKeyLeft,  kKeyUp,     kKeyRight, kKeyDown};

// A line count as typed into txtNbLineAdd: mostly small numbers, sometimes text to refuse.
std::string pickCount(fuzz::InputReader& in) {
    static const char* const kOdd[] = {"", "0", "-1", "+2", "A", " 3", "99999999999999999999"};
    std::uint8_t b = in.byte();
    if (b >= 240) return kOdd[(b - 240) % std::size(kOdd)];
    return std::to_string(b % 20);
}

int pickKey(fuzz::InputReader& in) {
    std::uint8_t b = in.byte();
    if (b < 36) return b < 10 ? kKey0 + b : kKeyA + (b - 10);
    if (b < 36 + static_cast<int>(std::size(kKeys))) return kKeys[b - 36];
    return b;
}

void checkInStep(const Document& doc) {
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const auto& c = doc.sheets.channel(ch);
        int rows = c.music.rowCount();
        if (rows < 1 || c.loop.rowCount() != rows || c.brk.rowCount() != rows) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each step takes about eight bytes; some sixty steps reach every rule and keep runs quick.
    if (size > 512) return 0;
    fuzz::InputReader in(data, size);
    const auto& files = fuzz::fixtureFiles();
    const auto& file = files[in.below(static_cast<int>(files.size()))];
    const auto& placed = file.built.songs[in.below(static_cast<int>(file.built.songs.size()))];

    Document doc;
    doc.file = file.state;
    if (!decodeSong(doc.file, file.built.bytes, placed.headerOffset, doc.sheets, doc.errors))
        return 0;
    Keyboard keyboard;
    BitDialog bits(in);
    Messages messages;
    EditContext ctx{&keyboard, &bits, &messages, 0, 2};

    while (!in.empty()) {
        int op = in.below(7);
        Selection sel;
        sel.channel = in.below(kChannelCount);
        sel.sheet = static_cast<SheetKind>(in.below(5));
        const Grid& grid = doc.sheets.grid(sel.channel, sel.sheet);
        sel.row = in.below(grid.rowCount());
        sel.left = in.below(grid.columnCount());
        sel.right = (in.byte() & 7) == 0 ? in.below(grid.columnCount()) : sel.left;
        if (sel.right < sel.left) std::swap(sel.left, sel.right);
        keyboard.shift = in.byte() & 1;
        ctx.instrumentIndex = in.below(3) - 1;
        switch (op) {
            case 0:
            case 1:
            case 2:
            case 3:
                keyDown(doc, pickKey(in));
                keyUp(doc, sel, ctx);
                break;
            case 4:
                doubleClick(doc, sel, ctx);
                break;
            case 5:
                addLines(doc, sel, pickCount(in), static_cast<AddWhere>(in.below(2)), &messages);
                break;
            case 6:
                removeLines(doc, sel, pickCount(in), &messages);
                break;
        }
        checkInStep(doc);
    }
    // Show Song walks whatever the edits left.
    showSong(doc, &messages);
    return 0;
}
