#include "app/sheet_view.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "app/key_map.h"
#include "app/sheet_model.h"

namespace kestra {
namespace {

constexpr int kFixedWidths[] = {34, 26, 29};

QFont sheetFont() {
    QFont font("Courier");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(11);
    if (!QFontInfo(font).fixedPitch()) {
        QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fallback.setPixelSize(11);
        return fallback;
    }
    return font;
}

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QPalette& pal = option.palette;
    bool fixed = index.column() < SheetModel::kFirstValueColumn;
    bool selected = option.state & QStyle::State_Selected;
    // The fixed columns are not enabled items, yet they read as plain text on grey.
    const auto group = QPalette::Active;
    QColor background = fixed      ? pal.color(group, QPalette::Button)
                        : selected ? pal.color(group, QPalette::Highlight)
                                   : pal.color(group, QPalette::Base);
    painter->fillRect(option.rect, background);
    painter->setPen(selected && !fixed ? pal.color(group, QPalette::HighlightedText)
                                       : pal.color(group, QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
}

SheetView::SheetView(QWidget* parent) : QTableView(parent) {
    setFont(sheetFont());
    setItemDelegate(new CellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void SheetView::setColumnWidths(int valueWidth) {
    valueWidth_ = valueWidth;
    if (!model()) return;
    for (int c = 0; c < model()->columnCount(); ++c)
        setColumnWidth(c, c < 3 ? kFixedWidths[c] : valueWidth);
}

CellSelection SheetView::cellSelection() const {
    CellSelection s;
    QModelIndex current = currentIndex();
    if (current.isValid()) s = {current.column(), current.row(), current.column(), current.row()};
    const QItemSelection selection =
        selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (selection.isEmpty()) return s;
    bool first = true;
    for (const QItemSelectionRange& range : selection) {
        if (first) {
            s = {range.left(), range.top(), range.right(), range.bottom()};
            first = false;
            continue;
        }
        s.left = std::min(s.left, range.left());
        s.top = std::min(s.top, range.top());
        s.right = std::max(s.right, range.right());
        s.bottom = std::max(s.bottom, range.bottom());
    }
    return s;
}

void SheetView::selectCell(int row, int col) {
    QModelIndex index = model()->index(row, col);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void SheetView::selectRange(int top, int left, int bottom, int right) {
    QItemSelection selection(model()->index(top, left), model()->index(bottom, right));
    selectionModel()->setCurrentIndex(model()->index(top, left), QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void SheetView::restoreCell(int row, int col) {
    if (!model() || model()->rowCount() == 0) return;
    row = std::clamp(row, 0, model()->rowCount() - 1);
    col = std::clamp(col, SheetModel::kFirstValueColumn, model()->columnCount() - 1);
    QModelIndex index = model()->index(row, col);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    emit sheetKeyDown(virtualKeyOf(event->key(), event->modifiers()));
    if (isArrow(event->key())) {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();  // the grid itself never acts on any other key
}

void SheetView::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) return;  // one action per key, however long it is held
    emit sheetKeyUp(virtualKeyOf(event->key(), event->modifiers()));
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit sheetDoubleClicked();
}

}  // namespace kestra
