// An edit box that turns typed lower-case letters into upper case as they are typed (pasted
// text is taken as it is).
#pragma once

#include <QLineEdit>

namespace kestra {

class UpperCaseEdit : public QLineEdit {
    Q_OBJECT

  public:
    using QLineEdit::QLineEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kestra
