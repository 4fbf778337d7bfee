#include "model/song_rows.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace kestra {

std::string_view SongRows::cell(int row, int col) const {
    if (col < kFixedColumns) return numbered_ ? numberingCell(row, col) : std::string_view();
    if (row < 0 || row >= rows_ || col >= kSongColumns) return {};
    const Row& r = this->row(row);
    if (col == song::kFrame || col == song::kLine) {
        const std::int32_t v = col == song::kFrame ? r.frame : r.line;
        return v == kEndRow ? "||" : plainNumber(v);
    }
    const std::string_view record(r.text.data(), r.text.size());
    if (col == song::kCurrentOctave) return record.substr(kMusicRecordWidth, 2);
    return fieldOf(record, kMusicLayout, col);
}

void SongRows::FreeBlock::operator()(Row* block) const {
    std::free(block);
}

SongRows::Row& SongRows::newRow() {
    if (rows_ == capacity_) {
        // Every row is written whole before it is read: the blocks are not cleared first.
        const bool first = blocks_.empty();
        const size_t bytes = first ? kFirstRows * sizeof(Row) : kBigBlockBytes;
        void* block = std::aligned_alloc(first ? alignof(Row) : kBigBlockBytes, bytes);
        if (!block) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        if (!first) madvise(block, bytes, MADV_HUGEPAGE);
#endif
        blocks_.emplace_back(static_cast<Row*>(block));
        capacity_ += first ? kFirstRows : kBigRows;
    }
    return const_cast<Row&>(row(rows_++));
}

void SongRows::add(const std::array<std::string_view, kMusicColumns>& cells,
                   std::string_view octave, long long frame, long long line) {
    Row& r = newRow();
    r.text.fill('-');
    for (int c = music::kNote; c <= music::kLastValue; ++c) {
        const ColumnLayout& l = kMusicLayout.cols[static_cast<size_t>(c)];
        const std::string_view text =
            cells[static_cast<size_t>(c)].substr(0, static_cast<size_t>(l.width));
        std::copy(text.begin(), text.end(), r.text.begin() + l.offset);
    }
    const std::string_view oc = octave.substr(0, 2);
    std::copy(oc.begin(), oc.end(), r.text.begin() + kMusicRecordWidth);
    r.frame = static_cast<std::int32_t>(frame);
    r.line = static_cast<std::int32_t>(line);
}

void SongRows::addEndRow() {
    Row& r = newRow();
    r.text.fill('|');
    r.frame = r.line = kEndRow;
}

bool SongRows::operator==(const SongRows& o) const {
    if (numbered_ != o.numbered_ || rows_ != o.rows_) return false;
    for (int r = 0; r < rows_; ++r)
        if (!(row(r) == o.row(r))) return false;
    return true;
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
