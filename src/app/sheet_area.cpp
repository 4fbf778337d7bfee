#include "app/sheet_area.h"

#include <QScrollBar>

namespace kestra {
namespace {

int channelOfSlot(int slot) {
    return slot < 16 ? slot / 4 : 0;
}
SheetKind kindOfSlot(int slot) {
    return slot < 16 ? static_cast<SheetKind>(slot % 4) : SheetKind::FourChan;
}

int valueWidthOf(SheetKind kind) {
    return kind == SheetKind::Loop || kind == SheetKind::Break ? 34 : 30;
}

}  // namespace

SheetArea::SheetArea(Sheets& sheets, QWidget* window, const QRect& geometry)
    : QObject(window), sheets_(sheets), default_(geometry) {
    for (int slot = 0; slot < kSlots; ++slot) {
        int channel = channelOfSlot(slot);
        SheetKind kind = kindOfSlot(slot);
        auto* model = new SheetModel(&sheets_, channel, kind, this);
        auto* view = new SheetView(window);
        view->setObjectName(gridName(channel, kind));
        view->setModel(model);
        view->setColumnWidths(valueWidthOf(kind));
        view->setGeometry(geometry);
        view->restoreCell(0, SheetModel::kFirstValueColumn);
        view->hide();
        connect(view, &SheetView::sheetKeyDown, this, &SheetArea::keyDown);
        connect(view, &SheetView::sheetKeyUp, this, &SheetArea::keyUp);
        connect(view, &SheetView::sheetDoubleClicked, this, &SheetArea::doubleClicked);
        models_[static_cast<size_t>(slot)] = model;
        views_[static_cast<size_t>(slot)] = view;
    }
}

int SheetArea::slotOf(int channel, SheetKind kind) const {
    if (kind == SheetKind::FourChan) return 16;
    return channel * 4 + static_cast<int>(kind);
}

QString SheetArea::gridName(int channel, SheetKind kind) {
    static const char* const prefixes[] = {"stgCompSq", "stgLoopSq", "stgBreakSq", "stgSongSq"};
    if (kind == SheetKind::FourChan) return QStringLiteral("stgSong");
    return QString::fromLatin1(prefixes[static_cast<int>(kind)]) + QString::number(channel + 1);
}

SheetView* SheetArea::view(int channel, SheetKind kind) const {
    return views_[static_cast<size_t>(slotOf(channel, kind))];
}

SheetModel* SheetArea::model(int channel, SheetKind kind) const {
    return models_[static_cast<size_t>(slotOf(channel, kind))];
}

void SheetArea::show(int channel, SheetKind kind) {
    SheetView* next = view(channel, kind);
    for (SheetView* v : views_)
        if (v != next) v->hide();
    next->show();
    current_ = next;
}

void SheetArea::setGridGeometry(const QRect& geometry) {
    for (SheetView* v : views_) v->setGeometry(geometry);
}

void SheetArea::refresh(int slot) {
    SheetModel* model = models_[static_cast<size_t>(slot)];
    SheetView* view = views_[static_cast<size_t>(slot)];
    CellSelection kept = view->cellSelection();
    int scroll = view->verticalScrollBar()->value();
    bool reset =
        model->rowCount() != sheets_.grid(channelOfSlot(slot), kindOfSlot(slot)).rowCount();
    model->refresh();
    if (!reset) return;
    view->restoreCell(kept.top, kept.left);
    view->verticalScrollBar()->setValue(scroll);
}

void SheetArea::refreshAll() {
    for (int slot = 0; slot < kSlots; ++slot) refresh(slot);
}

}  // namespace kestra
