#include "app/key_map.h"

#include <QGuiApplication>

namespace kestra {
namespace {

// XKB key codes (evdev + 8) of the digit row "1".."9", "0" and of the keypad digits.
int digitOfScanCode(quint32 code) {
    if (code >= 10 && code <= 18) return static_cast<int>(code) - 9;
    if (code == 19) return 0;
    switch (code) {
        case 90:
            return 0;
        case 87:
        case 88:
        case 89:
            return static_cast<int>(code) - 86;
        case 83:
        case 84:
        case 85:
            return static_cast<int>(code) - 79;
        case 79:
        case 80:
        case 81:
            return static_cast<int>(code) - 72;
        default:
            return -1;
    }
}

// With Shift held Qt reports the shifted symbol; the action wants the key underneath (US
// layout), since Shift only chooses the digit being edited.
int unshifted(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Exclam:
            return Qt::Key_1;
        case Qt::Key_At:
            return Qt::Key_2;
        case Qt::Key_NumberSign:
            return Qt::Key_3;
        case Qt::Key_Dollar:
            return Qt::Key_4;
        case Qt::Key_Percent:
            return Qt::Key_5;
        case Qt::Key_AsciiCircum:
            return Qt::Key_6;
        case Qt::Key_Ampersand:
            return Qt::Key_7;
        case Qt::Key_Asterisk:
            return Qt::Key_8;
        case Qt::Key_ParenLeft:
            return Qt::Key_9;
        case Qt::Key_ParenRight:
            return Qt::Key_0;
        case Qt::Key_QuoteDbl:
            return Qt::Key_Apostrophe;
        case Qt::Key_Greater:
            return Qt::Key_Period;
        default:
            return qtKey;
    }
}

}  // namespace

quint32 usableScanCode(quint32 nativeScanCode) {
    const QString platform = QGuiApplication::platformName();
    return platform == "xcb" || platform.startsWith("wayland") ? nativeScanCode : 0;
}

int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 scanCode) {
    bool keypad = modifiers & Qt::KeypadModifier;
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) return 13;
    if (int digit = digitOfScanCode(scanCode); digit >= 0) return 48 + digit;
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    if (keypad && qtKey == Qt::Key_Period) return 110;
    qtKey = unshifted(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
    switch (qtKey) {
        case Qt::Key_Space:
            return 32;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Period:
            return 190;
        case Qt::Key_Apostrophe:
            return 222;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Backspace:
            return 8;
        default:
            return 0;
    }
}

}  // namespace kestra
