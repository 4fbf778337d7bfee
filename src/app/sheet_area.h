// The seventeen grids of the window, all on one rectangle, exactly one visible: a view and a
// model per sheet of the core's Sheets, so each grid keeps its own selection and scroll place.
#pragma once

#include <QObject>
#include <QRect>
#include <array>

#include "app/sheet_model.h"
#include "app/sheet_view.h"
#include "model/sheets.h"

namespace kestra {

class SheetArea : public QObject {
    Q_OBJECT

  public:
    SheetArea(Sheets& sheets, QWidget* window, const QRect& geometry);

    // Shows the grid of (channel, kind) and hides all others.
    void show(int channel, SheetKind kind);
    SheetView* view(int channel, SheetKind kind) const;
    SheetModel* model(int channel, SheetKind kind) const;
    SheetView* currentView() const { return current_; }
    // The grids' rectangle as made, and as the window's size makes it now.
    const QRect& defaultGeometry() const { return default_; }
    void setGridGeometry(const QRect& geometry);
    // Tells every view what the core changed; selections stay where they were.
    void refreshAll();

    // The grid's object name: stgCompSq1, stgLoopSq2, stgSong ...
    static QString gridName(int channel, SheetKind kind);

  signals:
    void keyDown(int key, bool shift);
    void keyUp(int key);
    void doubleClicked();

  private:
    void refresh(int slot);
    int slotOf(int channel, SheetKind kind) const;

    static constexpr int kSlots = 17;
    Sheets& sheets_;
    std::array<SheetModel*, kSlots> models_{};
    std::array<SheetView*, kSlots> views_{};
    SheetView* current_ = nullptr;
    QRect default_;
};

}  // namespace kestra
