#include "app/TypedKeyEvent.h"

#include <QChar>

namespace tessora {

namespace {

// X keysyms of the keys the launcher reacts to that are not characters.
struct SpecialKey {
    quint32 keysym;
    Qt::Key key;
};
constexpr SpecialKey specialKeys[] = {
    {0xff1b, Qt::Key_Escape}, {0xff0d, Qt::Key_Return},  {0xff8d, Qt::Key_Enter},
    {0xff09, Qt::Key_Tab},    {0xfe20, Qt::Key_Backtab}, {0xff08, Qt::Key_Backspace},
    {0xffff, Qt::Key_Delete}, {0xff51, Qt::Key_Left},    {0xff52, Qt::Key_Up},
    {0xff53, Qt::Key_Right},  {0xff54, Qt::Key_Down},    {0xff50, Qt::Key_Home},
    {0xff57, Qt::Key_End},    {0xff55, Qt::Key_PageUp},  {0xff56, Qt::Key_PageDown},
};

// The code point a keysym stands for: Latin-1 keysyms are their code point, Unicode keysyms
// carry it with 0x01000000 added.
char32_t codePoint(quint32 keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
        return keysym;
    }
    if (keysym >= 0x01000100 && keysym <= 0x0110ffff) {
        return keysym - 0x01000000;
    }
    return 0;
}

int qtKey(quint32 keysym) {
    for (const SpecialKey& special : specialKeys) {
        if (special.keysym == keysym) {
            return special.key;
        }
    }
    // Qt names character keys by their upper-case code point (Qt::Key_A is 'A').
    const char32_t point = codePoint(keysym);
    if (point == 0 || point > 0xffff) {
        return Qt::Key_unknown;
    }
    return QChar(static_cast<char16_t>(point)).toUpper().unicode();
}

}  // namespace

QtKeyPress qtKeyPress(const TypedKey& typed) {
    QtKeyPress press;
    press.key = qtKey(typed.keysym);
    const quint32 flags = typed.key.modifiers;
    if (flags & KeyModifiers::shift) {
        press.modifiers |= Qt::ShiftModifier;
    }
    if (flags & KeyModifiers::command) {
        press.modifiers |= Qt::ControlModifier;
    }
    if (flags & KeyModifiers::control) {
        press.modifiers |= Qt::MetaModifier;
    }
    if (flags & KeyModifiers::option) {
        press.modifiers |= Qt::AltModifier;
    }
    press.text = typed.text;
    return press;
}

}  // namespace tessora
