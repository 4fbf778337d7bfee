#include "app/sheet_view.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "app/key_map.h"
#include "app/sheet_model.h"
#include "model/sheets.h"

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

CellDelegate::CellDelegate(SheetView* view) : QStyledItemDelegate(view) {}

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
    // Beat rows stand out as in any tracker; selected lines are tinted with the highlight.
    if (!selected && index.row() % kBeatSpacing == 0) background = background.darker(112);
    const auto* view = static_cast<const SheetView*>(parent());
    if (!selected && view->lineSelected(index.row())) {
        QColor tint = pal.color(group, QPalette::Highlight);
        tint.setAlpha(fixed ? 150 : 90);
        painter->fillRect(option.rect, background);
        background = tint;
    }
    painter->fillRect(option.rect, background);
    if (index.row() == view->playingRow()) {
        // A band the player's colour across the line, under the text.
        QColor band(255, 170, 0, fixed ? 200 : 110);
        painter->fillRect(option.rect, band);
    }
    painter->setPen(selected && !fixed ? pal.color(group, QPalette::HighlightedText)
                                       : pal.color(group, QPalette::Text));
    painter->setFont(option.font);
    const QString text = index.data(Qt::DisplayRole).toString();
    QRect room = option.rect.adjusted(2, 0, 0, 0);
    const int needed = option.fontMetrics.horizontalAdvance(text);
    if (needed > room.width() && room.width() > 0) {
        // Line numbers from 10000 on are wider than their column: squeezed, never cut.
        painter->save();
        const qreal squeeze = qreal(option.rect.width() - 1) / needed;
        painter->translate(option.rect.left(), 0);
        painter->scale(squeeze, 1.0);
        painter->drawText(QRect(0, option.rect.top(), needed + 1, option.rect.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        painter->restore();
        return;
    }
    painter->drawText(room, Qt::AlignLeft | Qt::AlignVCenter, text);
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

LineRange SheetView::lineRange() const {
    const int rows = model() ? model()->rowCount() : 1;
    return lines_.rangeOr(currentIndex().isValid() ? currentIndex().row() : 0, rows);
}

bool SheetView::lineSelected(int row) const {
    return lines_.active() && lineRange().contains(row);
}

void SheetView::setPlayingRow(int row) {
    if (row == playingRow_) return;
    playingRow_ = row;
    if (row >= 0 && model() && row < model()->rowCount())
        scrollTo(model()->index(row, 0), QAbstractItemView::EnsureVisible);
    viewport()->update();
}

void SheetView::selectLines(LineRange range) {
    lines_.clear();
    lines_.extend(range.first, range.last);
    viewport()->update();
}

void SheetView::clearLines() {
    if (!lines_.active()) return;
    lines_.clear();
    viewport()->update();
}

void SheetView::moveCurrent(int row, int column) {
    if (!model() || model()->rowCount() == 0) return;
    row = std::clamp(row, 0, model()->rowCount() - 1);
    QModelIndex index = model()->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

namespace {
int pressId(const QKeyEvent* event) {
    return event->nativeScanCode() ? -static_cast<int>(event->nativeScanCode()) : event->key();
}
}  // namespace

std::optional<int> SheetView::pageTarget(int key, Qt::KeyboardModifiers mods) const {
    if (!model() || model()->rowCount() == 0 || !currentIndex().isValid()) return std::nullopt;
    const int row = currentIndex().row();
    // A page keeps one line of the last one in view.
    const int page = std::max(1, viewport()->height() / kRowHeight - 1);
    const bool plain = mods == Qt::NoModifier;
    if (key == Qt::Key_PageUp && plain) return row - page;
    if (key == Qt::Key_PageDown && plain) return row + page;
    if (key == Qt::Key_Home && (plain || mods == Qt::ControlModifier)) return 0;
    // End alone is an editing key of the Music sheet.
    if (key == Qt::Key_End && mods == Qt::ControlModifier) return model()->rowCount() - 1;
    return std::nullopt;
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) pressed_.insert(pressId(event));
    emit sheetKeyDown(
        virtualKeyOf(event->key(), event->modifiers(), usableScanCode(event->nativeScanCode())),
        event->modifiers() & Qt::ShiftModifier);
    const bool vertical = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (vertical && mods == Qt::ShiftModifier && currentIndex().isValid()) {
        // Shift+Up/Down select whole lines; the current cell goes along, alone.
        const int row = currentIndex().row();
        const int next = row + (event->key() == Qt::Key_Up ? -1 : 1);
        lines_.extend(row, std::clamp(next, 0, model()->rowCount() - 1));
        moveCurrent(next, currentIndex().column());
        viewport()->update();
        event->accept();
        return;
    }
    if (isArrow(event->key())) {
        if (mods == Qt::NoModifier) clearLines();
        QTableView::keyPressEvent(event);
        return;
    }
    if (auto row = pageTarget(event->key(), mods)) {
        clearLines();
        moveCurrent(*row, currentIndex().column());
        event->accept();
        return;
    }
    event->accept();  // the grid itself never acts on any other key
}

void SheetView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QTableView::mousePressEvent(event);
        return;
    }
    const int column = index.column() >= SheetModel::kFirstValueColumn ? index.column()
                       : currentIndex().isValid()                      ? currentIndex().column()
                                                  : SheetModel::kFirstValueColumn;
    if (event->modifiers() & Qt::ShiftModifier) {
        lines_.extend(currentIndex().isValid() ? currentIndex().row() : index.row(), index.row());
        moveCurrent(index.row(), column);
        viewport()->update();
        event->accept();
        return;
    }
    if (index.column() < SheetModel::kFirstValueColumn) {
        // A press on the line numbers starts a line selection that a drag down extends.
        lines_.clear();
        lines_.extend(index.row(), index.row());
        draggingLines_ = true;
        moveCurrent(index.row(), column);
        viewport()->update();
        event->accept();
        return;
    }
    clearLines();
    QTableView::mousePressEvent(event);
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
    if (!draggingLines_) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const int y = std::clamp(static_cast<int>(event->position().y()), 0, viewport()->height() - 1);
    int row = rowAt(y);
    if (row < 0) row = model()->rowCount() - 1;
    lines_.extend(lines_.anchor(), row);
    moveCurrent(row, currentIndex().column());
    viewport()->update();
    event->accept();
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
    if (draggingLines_) {
        draggingLines_ = false;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void SheetView::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) return;  // one action per key, however long it is held
    // Under Ctrl or Alt the key belonged to a menu shortcut, which the key intake never saw.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
    if (!pressed_.remove(pressId(event))) return;
    emit sheetKeyUp(
        virtualKeyOf(event->key(), event->modifiers(), usableScanCode(event->nativeScanCode())));
}

void SheetView::focusOutEvent(QFocusEvent* event) {
    // Keys released elsewhere never come back here as releases.
    pressed_.clear();
    QTableView::focusOutEvent(event);
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit sheetDoubleClicked();
}

}  // namespace kestra
