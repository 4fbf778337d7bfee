// An up-down control: two arrow buttons stepping a position between 1 and a maximum, without
// wrapping. Clicking an arrow emits clicked() after the position moved.
#pragma once

#include <QWidget>

class QToolButton;

namespace kestra {

class UpDown : public QWidget {
    Q_OBJECT

  public:
    explicit UpDown(QWidget* parent = nullptr);
    int position() const { return position_; }
    int maximum() const { return maximum_; }
    void setPosition(int position);
    void setMaximum(int maximum);
    QToolButton* upButton() const { return up_; }

  signals:
    void clicked();

  private:
    void step(int delta);
    QToolButton* up_;
    QToolButton* down_;
    int position_ = 1;
    int maximum_ = 1;
};

}  // namespace kestra
