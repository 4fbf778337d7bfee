// One grid of the window: a table view with fixed-pitch cells, rows of 18 pixels and the
// column widths of its sheet. Keys are not typed into cells: every key goes to the editor's
// key handlers, and only the arrows also move the selection.
#pragma once

#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>
#include <vector>

#include "editing/line_selection.h"

namespace kestra {

// The selection rectangle of a grid, in rows and columns (inclusive).
struct CellSelection {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class SheetView;

// Paints a cell's text plainly, so that short cells never elide and painting stays cheap; beat
// rows are shaded and selected lines tinted.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    explicit CellDelegate(SheetView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

class SheetView : public QTableView {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 18;

    explicit SheetView(QWidget* parent = nullptr);
    // Widths of columns 0, 1, 2 are fixed; the value columns all get valueWidth.
    void setColumnWidths(int valueWidth);
    CellSelection cellSelection() const;
    void selectCell(int row, int col);
    void selectRange(int top, int left, int bottom, int right);
    // Puts the selection back at (row, col) after a model reset, clamped to the sheet.
    void restoreCell(int row, int col);

    // Whole lines selected by Shift+Up/Down, Shift+click or a drag down the line-number
    // columns, next to the current cell that single-cell keys still act on.
    const LineSelection& lineSelection() const { return lines_; }
    // The selected lines, or the current line alone.
    LineRange lineRange() const;
    bool lineSelected(int row) const;

    // The line now playing, marked and scrolled into view; the selection is left where it is, so
    // keys keep acting where the user is. -1: none.
    void setPlayingRow(int row);
    int playingRow() const { return playingRow_; }
    void selectLines(LineRange range);
    void clearLines();

  signals:
    // Virtual-key codes (key_map.h).
    // shift: Shift held when the key went down, which is what chooses the digit edited.
    void sheetKeyDown(int key, bool shift);
    // Only for a key whose press came to this grid: a release left over from a dialog or menu
    // closed by that key acts on nothing.
    void sheetKeyUp(int key);
    void sheetDoubleClicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Makes (row, column) the current cell alone; the line selection is left as it is.
    void moveCurrent(int row, int column);
    // Page Up/Down, Home and Ctrl+Home (first line), Ctrl+End (last line): the row they go to.
    std::optional<int> pageTarget(int key, Qt::KeyboardModifiers mods) const;
    int valueWidth_ = 30;
    LineSelection lines_;
    bool draggingLines_ = false;
    int playingRow_ = -1;
    QSet<int> pressed_;  // keys (by scan code, else Qt key) pressed here and not yet released
};

}  // namespace kestra
