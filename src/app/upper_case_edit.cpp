#include "app/upper_case_edit.h"

#include <QKeyEvent>

namespace kestra {

void UpperCaseEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text[0] >= QChar('a') && text[0] <= QChar('z')) {
        QKeyEvent upper(event->type(), event->key(), event->modifiers(), text.toUpper(),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&upper);
        event->setAccepted(upper.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace kestra
