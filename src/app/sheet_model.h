// The Qt table model over one of the core's grids. The core changes the grid (Show Song even
// replaces its views, so the grid is looked up each time); refresh() then tells the views (a
// reset when the row count changed, otherwise one dataChanged).
#pragma once

#include <QAbstractTableModel>

#include "model/sheets.h"

namespace kestra {

class SheetModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    SheetModel(const Sheets* sheets, int channel, SheetKind kind, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Brings the views up to date with the sheet after the core changed it.
    void refresh();
    // The core inserted or removed count rows at `at`: the views keep their place.
    void rowsInsertedAt(int at, int count);
    void rowsRemovedAt(int at, int count);
    // Cell texts of rows first..last changed.
    void rowsChanged(int first, int last);
    // The columns before this one are the fixed columns (line number, beat, count).
    static constexpr int kFirstValueColumn = 3;

  private:
    const Grid& grid() const { return sheets_->grid(channel_, kind_); }
    const Sheets* sheets_;
    int channel_;
    SheetKind kind_;
    int rows_;
    int cols_;
};

}  // namespace kestra
