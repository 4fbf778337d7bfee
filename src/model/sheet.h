// One grid of the editor: a table of cell texts, rows x columns, row-major.
#pragma once

#include <string>
#include <vector>

namespace kestra {

class Sheet {
  public:
    explicit Sheet(int columns = 0, int rows = 1);

    int rowCount() const { return rows_; }
    int columnCount() const { return cols_; }

    const std::string& cell(int row, int col) const { return cells_[index(row, col)]; }
    std::string& cell(int row, int col) { return cells_[index(row, col)]; }
    void setCell(int row, int col, std::string text) { cells_[index(row, col)] = std::move(text); }
    bool inRange(int row, int col) const {
        return row >= 0 && row < rows_ && col >= 0 && col < cols_;
    }

    // New rows hold empty cells; the caller gives them their texts.
    void setRowCount(int rows);
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    void clearRow(int row);
    // Gives back the memory of rows reserved and not used, when it is worth the copy.
    void releaseSpareRows() {
        if (cells_.capacity() > cells_.size() + cells_.size() / 4) cells_.shrink_to_fit();
    }

    bool operator==(const Sheet& other) const = default;

  private:
    size_t index(int row, int col) const {
        return static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    }
    int cols_;
    int rows_;
    std::vector<std::string> cells_;
};

}  // namespace kestra
