#pragma once

#include <QFlags>
#include <QString>
#include <Qt>
#include <QtGlobal>

// The one key vocabulary of the system. A key is named by the X keysym of its unshifted meaning
// (X11/keysymdef.h): 'c' for C and Ctrl+Shift+C alike, '1' for 1 and !, Return for Return and
// the keypad's Enter. Every key event, from X or from Qt, becomes a KeyStroke once, at the
// platform's boundary; rules, grabs, recording and labels all speak it.
namespace tessora {

using Keysym = quint32;

// The keysyms the system names. Letters are their lower-case ASCII codes ('a'), digits and
// punctuation their ASCII codes ('1', '-').
namespace keysym {
inline constexpr Keysym none = 0;
inline constexpr Keysym space = 0x0020;
inline constexpr Keysym backSpace = 0xff08, tab = 0xff09, returnKey = 0xff0d, escape = 0xff1b,
                        deleteKey = 0xffff, insert = 0xff63;
inline constexpr Keysym home = 0xff50, left = 0xff51, up = 0xff52, right = 0xff53, down = 0xff54,
                        pageUp = 0xff55, pageDown = 0xff56, end = 0xff57;
inline constexpr Keysym isoLeftTab = 0xfe20;  // Shift+Tab on most layouts
inline constexpr Keysym kpEnter = 0xff8d, kpMultiply = 0xffaa, kpAdd = 0xffab, kpSubtract = 0xffad,
                        kpDecimal = 0xffae, kpDivide = 0xffaf, kp0 = 0xffb0, kp9 = 0xffb9,
                        kpEqual = 0xffbd;
inline constexpr Keysym f1 = 0xffbe, f35 = 0xffe0;  // F1 to F35 are consecutive
inline constexpr Keysym shiftL = 0xffe1, shiftR = 0xffe2, controlL = 0xffe3, controlR = 0xffe4,
                        capsLock = 0xffe5, shiftLock = 0xffe6, metaL = 0xffe7, metaR = 0xffe8,
                        altL = 0xffe9, altR = 0xffea, superL = 0xffeb, superR = 0xffec,
                        hyperL = 0xffed, hyperR = 0xffee;
inline constexpr Keysym levelThreeShift = 0xfe03, modeSwitch = 0xff7e, numLock = 0xff7f,
                        scrollLock = 0xff14;
// Keysyms of Unicode characters outside Latin-1 carry the code point above this base.
inline constexpr Keysym unicodeBase = 0x01000000;
}  // namespace keysym

// The modifiers, named for the keys they are.
enum class KeyModifier : quint8 {
    Shift = 0x1,
    Ctrl = 0x2,
    Alt = 0x4,
    Super = 0x8,
};
Q_DECLARE_FLAGS(KeyModifiers, KeyModifier)
Q_DECLARE_OPERATORS_FOR_FLAGS(KeyModifiers)

// A key with the modifiers held: a typed key, a hot key, a recorded shortcut.
struct KeyStroke {
    Keysym key = keysym::none;  // none: a key the system has no name for
    KeyModifiers modifiers;

    friend bool operator==(const KeyStroke& a, const KeyStroke& b) {
        return a.key == b.key && a.modifiers == b.modifiers;
    }
};

// A key press taken while the keyboard is held: its stroke and the text it types with the
// modifiers held (empty for none, and always while Ctrl or Super is held).
struct TypedKey {
    KeyStroke stroke;
    QString text;
};

// The key's meaning without Shift: lower-case letters, ISO_Left_Tab as Tab, the keypad's Enter
// as Return. Other keysyms are returned as they are.
Keysym unshifted(Keysym key);

// The modifier keys themselves (Shift, Ctrl, Alt, Super, Caps Lock, AltGr, ...): pressing one
// alone is not a key combination.
bool isModifierKey(Keysym key);

// A short name for the key as this platform writes it: "esc", "Space", "Return", "Backspace",
// "Delete", "F5", "←", "PgUp", "Num 5", letters and digits as they are engraved ("A", "7", ";").
// Empty for a key without a name here.
QString keyName(Keysym key);

// --- Qt's view of keys, for events of our own windows
// Ctrl is Qt's Control, Super is Qt's Meta, Alt is Alt, Shift is Shift.
KeyModifiers keyModifiers(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers qtModifiers(KeyModifiers modifiers);
// The stroke of a Qt key event from its key and modifiers alone: the shifted symbols of the US
// layout count as their keys (Shift+1 is still 1), the keypad's keys are keypad keysyms.
KeyStroke keyStrokeFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
// Qt's key for a keysym (Qt::Key_unknown for keys Qt has no name for).
int qtKey(Keysym key);

}  // namespace tessora
