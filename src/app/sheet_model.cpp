#include "app/sheet_model.h"

namespace kestra {

SheetModel::SheetModel(const Sheet* sheet, QObject* parent)
    : QAbstractTableModel(parent),
      sheet_(sheet),
      rows_(sheet->rowCount()),
      cols_(sheet->columnCount()) {}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    if (!sheet_->inRange(index.row(), index.column())) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(sheet_->cell(index.row(), index.column()));
    return {};
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    // The fixed columns cannot be selected or reached by the arrows.
    if (!index.isValid() || index.column() < kFirstValueColumn) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SheetModel::refresh() {
    if (sheet_->rowCount() != rows_ || sheet_->columnCount() != cols_) {
        beginResetModel();
        rows_ = sheet_->rowCount();
        cols_ = sheet_->columnCount();
        endResetModel();
        return;
    }
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

void SheetModel::rowsInsertedAt(int at, int count) {
    if (count <= 0 || at < 0 || at > rows_ || rows_ + count != sheet_->rowCount()) {
        refresh();
        return;
    }
    beginInsertRows(QModelIndex(), at, at + count - 1);
    rows_ += count;
    endInsertRows();
}

void SheetModel::rowsRemovedAt(int at, int count) {
    if (count <= 0 || at < 0 || at + count > rows_ || rows_ - count != sheet_->rowCount()) {
        refresh();
        return;
    }
    beginRemoveRows(QModelIndex(), at, at + count - 1);
    rows_ -= count;
    endRemoveRows();
}

void SheetModel::rowsChanged(int first, int last) {
    if (sheet_->rowCount() != rows_) {
        refresh();
        return;
    }
    first = std::max(first, 0);
    last = std::min(last, rows_ - 1);
    if (first > last || cols_ == 0) return;
    emit dataChanged(index(first, 0), index(last, cols_ - 1));
}

}  // namespace kestra
