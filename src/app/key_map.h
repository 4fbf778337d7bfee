// Qt key events to the editor's virtual-key codes (the key vocabulary of sheet editing).
#pragma once

#include <Qt>

namespace kestra {

// The virtual-key code of a Qt key: Enter and Return 13, Space 32, End 35, Insert 45, Delete 46,
// arrows 37-40, top-row digits 48-57, letters 65-90, full stop 190, apostrophe 222. Keypad keys
// get their own codes so they edit nothing; keys outside the vocabulary give 0.
int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace kestra
