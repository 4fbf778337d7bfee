// The "Flag/Tony Type" dialog: the eight bits of a Flag or Tone-type byte as check boxes, each
// captioned with what the bit does for that kind.
#pragma once

#include <QDialog>
#include <array>

#include "model/ports.h"

class QCheckBox;

namespace kestra {

class BitDialog : public QDialog, public BitDialogPort {
    Q_OBJECT

  public:
    explicit BitDialog(QWidget* parent = nullptr);

    // Modal exchange: the chosen bits on OK, "--" on Cancel or when closed by the frame.
    std::string editBits(BitKind kind, const std::string& bits) override;

    // Captions for kind and boxes checked from bits ("--" clears them all).
    void prepare(BitKind kind, const std::string& bits);
    // The boxes as bit text, first box first (bit 7).
    std::string chosenBits() const;
    QCheckBox* box(int n) const { return boxes_[static_cast<size_t>(n)]; }

  private:
    std::array<QCheckBox*, 8> boxes_{};
};

}  // namespace kestra
