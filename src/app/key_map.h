// Qt key events to the editor's virtual-key codes (the key vocabulary of sheet editing).
#pragma once

#include <Qt>

namespace kestra {

// The virtual-key code of a Qt key: Enter and Return 13, Space 32, End 35, Insert 45, Delete 46,
// arrows 37-40, digits 48-57, letters 65-90, full stop 190, apostrophe 222; keys outside the
// vocabulary give 0. Digits come from the physical key when its XKB scan code is known (digit row
// and keypad), so that every keyboard layout types them and Shift only picks the digit edited;
// without it, from the symbol as a US keyboard places it.
int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 scanCode = 0);

// The XKB scan code of a key event where the platform gives one (X11, Wayland), else 0.
quint32 usableScanCode(quint32 nativeScanCode);

}  // namespace kestra
