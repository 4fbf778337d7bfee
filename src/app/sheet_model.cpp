#include "app/sheet_model.h"

namespace kestra {

SheetModel::SheetModel(const Sheets* sheets, int channel, SheetKind kind, QObject* parent)
    : QAbstractTableModel(parent),
      sheets_(sheets),
      channel_(channel),
      kind_(kind),
      rows_(grid().rowCount()),
      cols_(grid().columnCount()) {}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    if (role != Qt::DisplayRole || !grid().inRange(index.row(), index.column())) return {};
    const std::string_view text = grid().cell(index.row(), index.column());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    // The fixed columns cannot be selected or reached by the arrows.
    if (!index.isValid() || index.column() < kFirstValueColumn) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SheetModel::refresh() {
    if (grid().rowCount() != rows_ || grid().columnCount() != cols_) {
        beginResetModel();
        rows_ = grid().rowCount();
        cols_ = grid().columnCount();
        endResetModel();
        return;
    }
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

void SheetModel::rowsInsertedAt(int at, int count) {
    if (count <= 0 || at < 0 || at > rows_ || rows_ + count != grid().rowCount()) {
        refresh();
        return;
    }
    beginInsertRows(QModelIndex(), at, at + count - 1);
    rows_ += count;
    endInsertRows();
}

void SheetModel::rowsRemovedAt(int at, int count) {
    if (count <= 0 || at < 0 || at + count > rows_ || rows_ - count != grid().rowCount()) {
        refresh();
        return;
    }
    beginRemoveRows(QModelIndex(), at, at + count - 1);
    rows_ -= count;
    endRemoveRows();
}

void SheetModel::rowsChanged(int first, int last) {
    if (grid().rowCount() != rows_) {
        refresh();
        return;
    }
    first = std::max(first, 0);
    last = std::min(last, rows_ - 1);
    if (first > last || cols_ == 0) return;
    emit dataChanged(index(first, 0), index(last, cols_ - 1));
}

}  // namespace kestra
