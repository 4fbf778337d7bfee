#include "app/header_bar.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace kestra {
namespace {

constexpr int kGridLeft = 8;
constexpr int kFrame = 1;
constexpr int kFixedWidths[] = {34, 26, 29};
constexpr int kValueWidth = 30;

// Left edge of Music-sheet column col in window coordinates.
int columnLeft(int col) {
    int x = kGridLeft + kFrame;
    for (int c = 0; c < col; ++c) x += c < 3 ? kFixedWidths[c] : kValueWidth;
    return x;
}

struct ColumnButton {
    const char* name;
    int column;
};

constexpr ColumnButton kColumnButtons[] = {
    {"btnMultiplyHelp", 1}, {"btnSheetHelp", 2},     {"btnNoteHelp", 3},    {"btnVolHelp", 4},
    {"btnInstHelp", 5},     {"btnOctHelp", 6},       {"btnToneHelp", 7},    {"btnSlideHelp", 9},
    {"btnFlagHelp", 10},    {"btnTonyTypeHelp", 11}, {"btnTransHelp", 12},  {"btnSpeedHelp", 14},
    {"btnTripHelp", 16},    {"btnOctPlusHelp", 17},  {"btnShwSngHelp", 18},
};

}  // namespace

QPushButton* makeHelpButton(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* button = new QPushButton("?", parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

HeaderBar::HeaderBar(QWidget* window, int buttonsY, int labelsY)
    : QObject(window), labelsY_(labelsY) {
    for (const ColumnButton& b : kColumnButtons) {
        int x = columnLeft(b.column) + 4;
        makeHelpButton(window, b.name, x, buttonsY, 20, 18);
    }
    const auto& labels = headerLabels();
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* label = new QLabel(window);
        label->setTextFormat(Qt::PlainText);
        label->setObjectName(
            QString::fromLatin1(labels[i].name.data(), static_cast<int>(labels[i].name.size())));
        label->move(labels[i].x, labelsY);
        labels_[i] = label;
    }
}

void HeaderBar::apply(SheetKind sheet) {
    for (int i = 0; i < kHeaderLabelCount; ++i) {
        LabelState state = labelState(i, sheet);
        QLabel* label = labels_[static_cast<size_t>(i)];
        // A hidden label keeps its earlier caption, as only the shown ones matter.
        if (state.caption)
            label->setText(QString::fromLatin1(state.caption->data(),
                                               static_cast<int>(state.caption->size())));
        label->adjustSize();
        label->move(state.x, labelsY_);
        label->setVisible(state.caption.has_value());
    }
    separateCaptions();
}

void HeaderBar::separateCaptions() {
    // Captions are placed for the font they were drawn with; in a wider one (another font or a
    // scale that rounds up) a caption moves left into the room its left neighbour leaves, so
    // that two never touch.
    constexpr int kGap = 3;
    std::vector<QLabel*> shown;
    for (QLabel* label : labels_)
        if (!label->isHidden()) shown.push_back(label);
    std::sort(shown.begin(), shown.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
    for (size_t i = 1; i < shown.size(); ++i) {
        QLabel* left = shown[i - 1];
        int overlap = left->geometry().right() + 1 + kGap - shown[i]->x();
        if (overlap <= 0) continue;
        int room = i >= 2 ? left->x() - (shown[i - 2]->geometry().right() + 1 + kGap) : left->x();
        int moveLeft = std::clamp(room, 0, overlap);
        left->move(left->x() - moveLeft, labelsY_);
        shown[i]->move(shown[i]->x() + overlap - moveLeft, labelsY_);
    }
}

}  // namespace kestra
