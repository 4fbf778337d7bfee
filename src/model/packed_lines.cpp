#include "model/packed_lines.h"

#include <cstring>

#include "model/undo_step.h"

namespace kestra {

PackedLines::PackedLines(const ChannelSheets& ch) {
    size_t cells = 0;
    for (SheetKind kind : kKinds)
        cells += static_cast<size_t>(ch.sheet(kind).rowCount() * ch.sheet(kind).columnCount());
    data_.reserve(cells * 4 + 32);
    for (size_t k = 0; k < 3; ++k) {
        const Sheet& s = ch.sheet(kKinds[k]);
        rows_[k] = s.rowCount();
        packCell(data_, std::to_string(s.rowCount()));
        auto& starts = starts_[k];
        starts.reserve(2 * static_cast<size_t>(s.rowCount()) + 2);
        for (int r = 0; r < s.rowCount(); ++r) {
            starts.push_back(static_cast<std::uint32_t>(data_.size()));
            for (int c = 0; c < s.columnCount(); ++c) {
                if (c == kFixedColumns) starts.push_back(static_cast<std::uint32_t>(data_.size()));
                const std::string& text = s.cell(r, c);
                if (text.size() < 0x80) {
                    data_.push_back(static_cast<char>(text.size()));
                    data_.append(text);
                } else {
                    packCell(data_, text);
                }
            }
        }
        starts.push_back(static_cast<std::uint32_t>(data_.size()));
        starts.push_back(static_cast<std::uint32_t>(data_.size()));
    }
}

std::string_view PackedLines::cell(size_t& pos) const {
    size_t length = 0;
    for (int shift = 0; pos < data_.size(); shift += 7) {
        auto byte = static_cast<unsigned char>(data_[pos++]);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    std::string_view text = std::string_view(data_).substr(pos, length);
    pos += text.size();
    return text;
}

bool PackedLines::sameCells(size_t pos, const Sheet& b, int rb, int first, int last) const {
    const char* p = data_.data() + pos;
    for (int c = first; c < last; ++c) {
        const std::string& other = b.cell(rb, c);
        auto len = static_cast<unsigned char>(*p);
        if (len >= 0x80) {  // a long cell: the slow path
            size_t at = static_cast<size_t>(p - data_.data());
            if (cell(at) != other) return false;
            p = data_.data() + at;
            continue;
        }
        if (len != other.size()) return false;
        // Cells are a few characters: a plain loop beats a library call.
        for (size_t i = 0; i < len; ++i)
            if (p[1 + i] != other[i]) return false;
        p += 1 + len;
    }
    return true;
}

bool PackedLines::sameValues(int r, const ChannelSheets& b, int rb) const {
    for (int k = 0; k < 3; ++k) {
        const Sheet& s = b.sheet(kKinds[k]);
        if (!sameCells(valueStart(k, r), s, rb, kFixedColumns, s.columnCount())) return false;
    }
    return true;
}

bool PackedLines::sameFixed(int r, const ChannelSheets& b, int rb) const {
    for (int k = 0; k < 3; ++k)
        if (!sameCells(rowStart(k, r), b.sheet(kKinds[k]), rb, 0, kFixedColumns)) return false;
    return true;
}

}  // namespace kestra
