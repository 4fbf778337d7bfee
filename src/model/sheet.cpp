#include "model/sheet.h"

#include <algorithm>
#include <iterator>

namespace kestra {

Sheet::Sheet(int columns, int rows)
    : cols_(columns),
      rows_(rows),
      cells_(static_cast<size_t>(columns) * static_cast<size_t>(rows)) {}

void Sheet::setRowCount(int rows) {
    if (rows < 0) rows = 0;
    rows_ = rows;
    cells_.resize(static_cast<size_t>(rows) * static_cast<size_t>(cols_));
}

void Sheet::insertRows(int at, int count) {
    if (count <= 0) return;
    at = std::clamp(at, 0, rows_);
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(index(at, 0)),
                  static_cast<size_t>(count) * static_cast<size_t>(cols_), std::string());
    rows_ += count;
}

void Sheet::removeRows(int at, int count) {
    if (at < 0 || at >= rows_ || count <= 0) return;
    count = std::min(count, rows_ - at);
    auto first = cells_.begin() + static_cast<std::ptrdiff_t>(index(at, 0));
    cells_.erase(first, first + static_cast<std::ptrdiff_t>(count) * cols_);
    rows_ -= count;
}

void Sheet::clearRow(int row) {
    for (int c = 0; c < cols_; ++c) cell(row, c).clear();
}

}  // namespace kestra
