// A grid as the window and the dumps read it, and the editable sheet: the lines of one Music,
// Loop or Break sheet kept as fixed-width records (record_layout.h) in one string. Cells are
// views into the records; the numbering columns are computed from the row.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/record_layout.h"

namespace kestra {

// What a table shows: rows of cell texts. The views stay valid until the grid changes.
class Grid {
  public:
    virtual ~Grid() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual std::string_view cell(int row, int col) const = 0;
    bool inRange(int row, int col) const {
        return row >= 0 && row < rowCount() && col >= 0 && col < columnCount();
    }
};

// Columns 0-2 of row `row`: the line number (at least 3 digits), the beat marker ("-0-" every
// kCountWrap rows, "--" every kBeatSpacing rows, else empty) and the count within kCountWrap.
std::string_view numberingCell(int row, int col);
// A non-negative number as decimal text without padding ("" when out of the table's range).
std::string_view plainNumber(long long v);

// The records of a sheet, shared rather than copied with copies of the sheet, undo steps and
// what reading remembers; a sheet copies them before it changes them while they are shared.
using SharedRecords = std::shared_ptr<const std::string>;

class Sheet final : public Grid {
  public:
    explicit Sheet(SheetKind kind = SheetKind::Music, int rows = 1);
    Sheet(const Sheet&) = default;
    Sheet& operator=(const Sheet&) = default;
    // A sheet moved from is left empty, never without records.
    Sheet(Sheet&& other) noexcept;
    Sheet& operator=(Sheet&& other) noexcept;

    SheetKind kind() const { return kind_; }
    const RecordLayout& layout() const { return *layout_; }
    int rowCount() const override { return rows_; }
    int columnCount() const override { return layout_->columns; }
    std::string_view cell(int row, int col) const override {
        if (col < kFixedColumns) return numberingCell(row, col);
        return fieldOf(record(row), *layout_, col);
    }
    // Writes a value cell. Text that is not exactly the cell's width is refused (false) and
    // nothing changes, so a record can never lose its layout.
    bool setCell(int row, int col, std::string_view text);
    // Every value cell at its empty text.
    void clearLine(int row);

    std::string_view record(int row) const {
        return std::string_view(*text_).substr(offset(row), static_cast<size_t>(layout_->width));
    }
    // Replaces a whole line record; false (nothing changed) when it is not a record's width.
    bool setRecord(int row, std::string_view record);
    // All records, one after the other (a frame text).
    const std::string& text() const { return *text_; }
    SharedRecords sharedText() const { return text_; }
    // Takes records given out by sharedText(); false (nothing changed) when they are not whole
    // records of this sheet's kind.
    bool adoptText(const SharedRecords& text);
    // Replaces count characters at `at` by `with`, as undo does; false (nothing changed) when
    // the text would not be whole records afterwards or the range is outside it.
    bool splice(size_t at, size_t count, std::string_view with);

    // New rows hold empty lines.
    void setRowCount(int rows);
    void insertRows(int at, int count);
    // Inserts whole records (their number is records.size() / width) at row `at`.
    bool insertRecords(int at, std::string_view records);
    void removeRows(int at, int count);
    void reserveRows(int rows) { own().reserve(static_cast<size_t>(rows) * width()); }
    // Gives back the memory of rows reserved and not used, when it is worth the copy.
    void releaseSpareRows() {
        if (text_->capacity() > text_->size() + text_->size() / 4) own().shrink_to_fit();
    }

    bool operator==(const Sheet& other) const {
        return kind_ == other.kind_ && (text_ == other.text_ || *text_ == *other.text_);
    }

  private:
    size_t width() const { return static_cast<size_t>(layout_->width); }
    size_t offset(int row) const { return static_cast<size_t>(row) * width(); }
    // The records to change: copied first while anything else shares them.
    std::string& own();
    // Replaces count characters at `at` by `with`: in place, or while the records are shared into
    // a fresh copy in one pass rather than a copy and then a move.
    void replaceText(size_t at, size_t count, std::string_view with);
    SheetKind kind_;
    const RecordLayout* layout_;
    int rows_ = 0;
    // Always set; only ever made by a sheet as a changeable string, so own() may change it once
    // nothing else holds it.
    std::shared_ptr<std::string> text_;
};

}  // namespace kestra
