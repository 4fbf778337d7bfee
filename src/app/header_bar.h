// The two rows above the grid: the "?" buttons over the columns and the eighteen column labels,
// rewritten for each sheet.
#pragma once

#include <QObject>
#include <array>

#include "app/sheet_captions.h"

class QLabel;
class QPushButton;
class QWidget;

namespace kestra {

class HeaderBar : public QObject {
    Q_OBJECT

  public:
    // Buttons stand at buttonsY, labels at labelsY; x positions are the window's.
    HeaderBar(QWidget* window, int buttonsY, int labelsY);
    // Captions, positions and visibility of the labels for sheet.
    void apply(SheetKind sheet);
    QLabel* label(int index) const { return labels_[static_cast<size_t>(index)]; }

  private:
    void separateCaptions();
    std::array<QLabel*, kHeaderLabelCount> labels_{};
    int labelsY_;
};

// A "?" button named name at (x, y); the main window connects it by its name.
QPushButton* makeHelpButton(QWidget* parent, const char* name, int x, int y, int w, int h);

}  // namespace kestra
