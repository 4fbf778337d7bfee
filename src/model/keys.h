// The key vocabulary of sheet editing: the platform's virtual-key numbers. The GUI maps its own
// key events to these before calling the editing core.
#pragma once

namespace kestra {

enum Key : int {
    kKeyNone = 0,
    kKeyEnter = 13,
    kKeyShift = 16,
    kKeyControl = 17,
    kKeyAlt = 18,
    kKeySpace = 32,
    kKeyEnd = 35,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyInsert = 45,
    kKeyDelete = 46,
    kKey0 = 48,
    kKey1,
    kKey2,
    kKey3,
    kKey4,
    kKey5,
    kKey6,
    kKey7,
    kKey8,
    kKey9,
    kKeyA = 65,
    kKeyB,
    kKeyC,
    kKeyD,
    kKeyE,
    kKeyF,
    kKeyG,
    kKeyH,
    kKeyI,
    kKeyJ,
    kKeyK,
    kKeyL,
    kKeyM,
    kKeyN,
    kKeyO,
    kKeyP,
    kKeyQ,
    kKeyR,
    kKeyS,
    kKeyT,
    kKeyU,
    kKeyV,
    kKeyW,
    kKeyX,
    kKeyY,
    kKeyZ,
    kKeyFullStop = 190,
    kKeyApostrophe = 222,
};

constexpr bool isArrowKey(int key) {
    return key >= kKeyLeft && key <= kKeyDown;
}
constexpr bool isDigitKey(int key) {
    return key >= kKey0 && key <= kKey9;
}
constexpr bool isLetterKey(int key) {
    return key >= kKeyA && key <= kKeyZ;
}
// "0"-"9" and "A"-"F": the keys that type a hex digit.
constexpr bool isHexDigitKey(int key) {
    return isDigitKey(key) || (key >= kKeyA && key <= kKeyF);
}

// The character a digit or letter key stands for (upper case); 0 for other keys.
constexpr char keyChar(int key) {
    return (isDigitKey(key) || isLetterKey(key)) ? static_cast<char>(key) : '\0';
}
// The key of a digit 0-9 or an upper-case letter.
constexpr Key keyOf(char c) {
    return static_cast<Key>(c);
}

}  // namespace kestra
