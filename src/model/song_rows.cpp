#include "model/song_rows.h"

#include <algorithm>

namespace kestra {

std::string_view SongRows::cell(int row, int col) const {
    if (col < kFixedColumns) return numbered_ ? numberingCell(row, col) : std::string_view();
    if (row < 0 || row >= stored() || col >= kSongColumns) return {};
    const size_t at = static_cast<size_t>(row);
    if (col == song::kFrame || col == song::kLine) {
        const std::int32_t v = col == song::kFrame ? frames_[at] : lines_[at];
        return v == kEndRow ? "||" : plainNumber(v);
    }
    const std::string_view record =
        std::string_view(records_).substr(at * kRecordWidth, kRecordWidth);
    if (col == song::kCurrentOctave) return record.substr(kMusicRecordWidth, 2);
    return fieldOf(record, kMusicLayout, col);
}

void SongRows::reserve(int rows) {
    records_.reserve(static_cast<size_t>(rows) * kRecordWidth);
    frames_.reserve(static_cast<size_t>(rows));
    lines_.reserve(static_cast<size_t>(rows));
}

void SongRows::add(const std::array<std::string_view, kMusicColumns>& cells,
                   std::string_view octave, long long frame, long long line) {
    const size_t start = records_.size();
    records_.resize(start + kRecordWidth, '-');
    for (int c = music::kNote; c <= music::kLastValue; ++c) {
        const ColumnLayout& l = kMusicLayout.cols[static_cast<size_t>(c)];
        const std::string_view text = cells[static_cast<size_t>(c)].substr(0, l.width);
        std::copy(text.begin(), text.end(), records_.begin() + static_cast<std::ptrdiff_t>(start) + l.offset);
    }
    const std::string_view oc = octave.substr(0, 2);
    std::copy(oc.begin(), oc.end(), records_.begin() + static_cast<std::ptrdiff_t>(start) + kMusicRecordWidth);
    frames_.push_back(static_cast<std::int32_t>(frame));
    lines_.push_back(static_cast<std::int32_t>(line));
}

void SongRows::addEndRow() {
    records_.append(kRecordWidth, '|');
    frames_.push_back(kEndRow);
    lines_.push_back(kEndRow);
}

void SongRows::shrinkToFit() {
    records_.shrink_to_fit();
    frames_.shrink_to_fit();
    lines_.shrink_to_fit();
}

std::shared_ptr<const ShownSong> ShownSong::none() {
    static const std::shared_ptr<const ShownSong> empty = std::make_shared<const ShownSong>();
    return empty;
}

int ShownSong::FourChan::rowCount() const {
    int rows = 1;
    for (const SongRows& s : song_.channels) rows = std::max(rows, s.rowCount());
    return rows;
}

std::string_view ShownSong::FourChan::cell(int row, int col) const {
    const auto& songs = song_.channels;
    if (col < kFixedColumns) {
        // Numbered as the last channel view holding the row.
        for (size_t s = songs.size(); s-- > 0;)
            if (row < songs[s].rowCount()) return songs[s].cell(row, col);
        return {};
    }
    const size_t s = static_cast<size_t>(col - kFixedColumns) / 4;
    const int i = (col - kFixedColumns) % 4;
    if (s >= songs.size() || row >= songs[s].rowCount()) return {};
    if (!songs[s].numbered()) return {};  // before the first Show Song
    if (i == 3) return s + 1 < songs.size() ? "|||" : "";
    return songs[s].cell(row, music::kNote + i);
}

}  // namespace kestra
