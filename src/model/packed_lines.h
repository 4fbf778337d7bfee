// A channel's Music, Loop and Break sheets packed into one string with row offsets: the undo
// recorder's compact copy of the state before an action (a tenth of the memory of a sheet copy,
// and so far fewer fresh pages to touch on a 10,000-line channel).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheets.h"

namespace kestra {

class PackedLines {
  public:
    // k indexes the three sheets: 0 Music, 1 Loop, 2 Break.
    static constexpr SheetKind kKinds[3] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};

    explicit PackedLines(const ChannelSheets& ch);

    int rows(int k) const { return rows_[static_cast<size_t>(k)]; }
    bool evenRows() const { return rows_[0] == rows_[1] && rows_[0] == rows_[2]; }
    // The three sheets as packSheet writes them, one after the other.
    const std::string& data() const { return data_; }

    // True when the value cells of row r equal those of row rb of b's sheets.
    bool sameValues(int r, const ChannelSheets& b, int rb) const;
    // The same for the numbering cells.
    bool sameFixed(int r, const ChannelSheets& b, int rb) const;
    // Byte ranges of row r of sheet k: the whole row, and from its first value cell on.
    std::string_view row(int k, int r) const { return range(k, r, rowStart(k, r)); }
    std::string_view values(int k, int r) const { return range(k, r, valueStart(k, r)); }
    std::string_view fixed(int k, int r) const {
        return std::string_view(data_).substr(rowStart(k, r), valueStart(k, r) - rowStart(k, r));
    }
    // Reads the cell at pos and moves pos past it.
    std::string_view cell(size_t& pos) const;

  private:
    bool sameCells(size_t pos, const Sheet& b, int rb, int first, int last) const;
    size_t rowStart(int k, int r) const {
        return starts_[static_cast<size_t>(k)][2 * static_cast<size_t>(r)];
    }
    size_t valueStart(int k, int r) const {
        return starts_[static_cast<size_t>(k)][2 * static_cast<size_t>(r) + 1];
    }
    std::string_view range(int k, int r, size_t from) const {
        return std::string_view(data_).substr(from, rowStart(k, r + 1) - from);
    }
    std::array<int, 3> rows_{};
    std::string data_;
    // Per sheet: row start and value start of each row, then the end of the sheet.
    std::array<std::vector<std::uint32_t>, 3> starts_;
};

}  // namespace kestra
