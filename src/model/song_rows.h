// The rows of a Show Song, kept compact: each shown row is one record of the Song sheet's
// columns 3-18 (the Music cells with the carried values in place, then the octave) and where it
// came from. The MySong and FourChan cells are views into these records, made when asked for.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheet.h"

namespace kestra {

class SongRows final : public Grid {
  public:
    // Music record, then the COc cell.
    static constexpr int kRecordWidth = kMusicRecordWidth + 2;

    int rowCount() const override { return std::max(stored(), 1); }
    int columnCount() const override { return kSongColumns; }
    std::string_view cell(int row, int col) const override;

    int stored() const { return rows_; }
    // A shown line: the cells of columns 3-17 and the octave, and where it comes from.
    void add(const std::array<std::string_view, kMusicColumns>& cells, std::string_view octave,
             long long frame, long long line);
    // The row that closes a song that reached its page end: '|' in every cell.
    void addEndRow();
    // Numbered rows: set by Show Song, even when no row is shown (one empty numbered row).
    void setNumbered() { numbered_ = true; }
    bool numbered() const { return numbered_; }

    bool operator==(const SongRows& o) const;

  private:
    static constexpr std::int32_t kEndRow = -1;
    struct Row {
        std::array<char, kRecordWidth> text;
        std::int32_t frame, line;
        bool operator==(const Row&) const = default;
    };
    // Rows in blocks that never move: a walk of 100,000 rows is not copied as it grows. The first
    // block is small; the later ones, which only long walks reach, are huge pages where the
    // system has them, so that filling them does not trap into the kernel every 4 KB.
    static constexpr int kFirstRows = 4096;
    static constexpr size_t kBigBlockBytes = size_t{2} << 20;
    static constexpr int kBigRows = static_cast<int>(kBigBlockBytes / sizeof(Row));
    const Row& row(int r) const {
        if (r < kFirstRows) return blocks_[0].get()[r];
        r -= kFirstRows;
        return blocks_[static_cast<size_t>(1 + r / kBigRows)].get()[r % kBigRows];
    }
    Row& newRow();
    struct FreeBlock {
        void operator()(Row* block) const;
    };
    bool numbered_ = false;
    int rows_ = 0;
    int capacity_ = 0;
    std::vector<std::unique_ptr<Row, FreeBlock>> blocks_;
};

// What Show Song made: the four MySong views and the FourChan view over them.
class ShownSong {
  public:
    ShownSong() : fourChan_(*this) {}
    ShownSong(const ShownSong&) = delete;
    ShownSong& operator=(const ShownSong&) = delete;

    // The views before any Show Song: one empty row each.
    static std::shared_ptr<const ShownSong> none();

    std::array<SongRows, 4> channels;
    const Grid& fourChan() const { return fourChan_; }
    bool operator==(const ShownSong& o) const { return channels == o.channels; }

  private:
    // FourChan: as many rows as the longest MySong view; Note, Vol and Ins of each channel side by
    // side with "|||" between them. Cells of rows beyond a shorter channel are empty.
    class FourChan final : public Grid {
      public:
        explicit FourChan(const ShownSong& song) : song_(song) {}
        int rowCount() const override;
        int columnCount() const override { return kFourChanColumns; }
        std::string_view cell(int row, int col) const override;

      private:
        const ShownSong& song_;
    };
    FourChan fourChan_;
};

}  // namespace kestra
