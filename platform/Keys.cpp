#include "platform/Keys.h"

#include <QChar>
#include <array>

namespace tessora {

namespace {

// Keys that are not characters, with Qt's key and the name key caps show.
struct NamedKey {
    Keysym key;
    int qt;
    const char* name;  // UTF-8
};

// clang-format off
constexpr std::array kNamedKeys = {
    NamedKey{keysym::escape, Qt::Key_Escape, "esc"},
    NamedKey{keysym::returnKey, Qt::Key_Return, "Return"},
    NamedKey{keysym::tab, Qt::Key_Tab, "Tab"},
    NamedKey{keysym::space, Qt::Key_Space, "Space"},
    NamedKey{keysym::backSpace, Qt::Key_Backspace, "Backspace"},
    NamedKey{keysym::deleteKey, Qt::Key_Delete, "Delete"},
    NamedKey{keysym::insert, Qt::Key_Insert, "Insert"},
    NamedKey{keysym::left, Qt::Key_Left, "\u2190"},
    NamedKey{keysym::right, Qt::Key_Right, "\u2192"},
    NamedKey{keysym::down, Qt::Key_Down, "\u2193"},
    NamedKey{keysym::up, Qt::Key_Up, "\u2191"},
    NamedKey{keysym::home, Qt::Key_Home, "Home"},
    NamedKey{keysym::end, Qt::Key_End, "End"},
    NamedKey{keysym::pageUp, Qt::Key_PageUp, "PgUp"},
    NamedKey{keysym::pageDown, Qt::Key_PageDown, "PgDown"},
    NamedKey{keysym::kpEnter, Qt::Key_Enter, "Enter"},
    NamedKey{keysym::kpDecimal, Qt::Key_Period, "Num ."},
    NamedKey{keysym::kpMultiply, Qt::Key_Asterisk, "Num *"},
    NamedKey{keysym::kpAdd, Qt::Key_Plus, "Num +"},
    NamedKey{keysym::kpSubtract, Qt::Key_Minus, "Num -"},
    NamedKey{keysym::kpDivide, Qt::Key_Slash, "Num /"},
    NamedKey{keysym::kpEqual, Qt::Key_Equal, "Num ="},
    NamedKey{keysym::controlL, Qt::Key_Control, "Ctrl"},
    NamedKey{keysym::controlR, Qt::Key_Control, "Ctrl"},
    NamedKey{keysym::superL, Qt::Key_Meta, "Super"},
    NamedKey{keysym::superR, Qt::Key_Meta, "Super"},
    NamedKey{keysym::altL, Qt::Key_Alt, "Alt"},
    NamedKey{keysym::altR, Qt::Key_Alt, "Alt"},
    NamedKey{keysym::shiftL, Qt::Key_Shift, "Shift"},
    NamedKey{keysym::shiftR, Qt::Key_Shift, "Shift"},
    NamedKey{keysym::capsLock, Qt::Key_CapsLock, "Caps Lock"},
};
// clang-format on

// What Shift makes of the keys of the US layout's main block: Qt reports Shift+1 as '!', and
// the rules mean the key, not the symbol.
constexpr std::array<std::pair<char, char>, 21> kShiftedSymbols = {{
    {'!', '1'}, {'@', '2'},  {'#', '3'}, {'$', '4'}, {'%', '5'}, {'^', '6'},  {'&', '7'},
    {'*', '8'}, {'(', '9'},  {')', '0'}, {'_', '-'}, {'+', '='}, {'{', '['},  {'}', ']'},
    {':', ';'}, {'"', '\''}, {'<', ','}, {'>', '.'}, {'?', '/'}, {'|', '\\'}, {'~', '`'},
}};

const NamedKey* named(Keysym key) {
    for (const NamedKey& entry : kNamedKeys) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

bool isKeypadDigit(Keysym key) {
    return key >= keysym::kp0 && key <= keysym::kp9;
}

bool isFunctionKey(Keysym key) {
    return key >= keysym::f1 && key <= keysym::f35;
}

// Latin-1 keysyms are their code points; other characters carry theirs above unicodeBase.
char32_t codePoint(Keysym key) {
    if ((key > 0x20 && key <= 0x7e) || (key >= 0xa0 && key <= 0xff)) {
        return key;
    }
    if (key >= keysym::unicodeBase + 0x100 && key <= keysym::unicodeBase + 0x10ffff) {
        return key - keysym::unicodeBase;
    }
    return 0;
}

Keysym keysymOfCodePoint(char32_t point) {
    return point <= 0xff ? point : keysym::unicodeBase + point;
}

}  // namespace

Keysym unshifted(Keysym key) {
    if (key == keysym::isoLeftTab) {
        return keysym::tab;
    }
    if (key == keysym::kpEnter) {
        return keysym::returnKey;
    }
    if (const char32_t point = codePoint(key)) {
        const char32_t lower = QChar::toLower(point);
        return lower != point ? keysymOfCodePoint(lower) : key;
    }
    return key;
}

bool isModifierKey(Keysym key) {
    return (key >= keysym::shiftL && key <= keysym::hyperR) || key == keysym::levelThreeShift ||
           key == keysym::modeSwitch;
}

QString keyName(Keysym key) {
    if (const NamedKey* entry = named(key)) {
        return QString::fromUtf8(entry->name);
    }
    if (isKeypadDigit(key)) {
        return QStringLiteral("Num %1").arg(key - keysym::kp0);
    }
    if (isFunctionKey(key)) {
        return QStringLiteral("F%1").arg(key - keysym::f1 + 1);
    }
    if (const char32_t point = codePoint(key)) {
        return QString::fromUcs4(&point, 1).toUpper();
    }
    return {};
}

KeyModifiers keyModifiers(Qt::KeyboardModifiers modifiers) {
    KeyModifiers result;
    result.setFlag(KeyModifier::Shift, modifiers.testFlag(Qt::ShiftModifier));
    result.setFlag(KeyModifier::Ctrl, modifiers.testFlag(Qt::ControlModifier));
    result.setFlag(KeyModifier::Alt, modifiers.testFlag(Qt::AltModifier));
    result.setFlag(KeyModifier::Super, modifiers.testFlag(Qt::MetaModifier));
    return result;
}

Qt::KeyboardModifiers qtModifiers(KeyModifiers modifiers) {
    Qt::KeyboardModifiers result;
    result.setFlag(Qt::ShiftModifier, modifiers.testFlag(KeyModifier::Shift));
    result.setFlag(Qt::ControlModifier, modifiers.testFlag(KeyModifier::Ctrl));
    result.setFlag(Qt::AltModifier, modifiers.testFlag(KeyModifier::Alt));
    result.setFlag(Qt::MetaModifier, modifiers.testFlag(KeyModifier::Super));
    return result;
}

KeyStroke keyStrokeFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    KeyStroke stroke{keysym::none, keyModifiers(modifiers)};
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            stroke.key = keysym::kp0 + (qtKey - Qt::Key_0);
            return stroke;
        }
        // The keypad's operators share Qt's keys with the main block; the table lists the
        // keypad's first.
        for (const NamedKey& entry : kNamedKeys) {
            if (entry.qt == qtKey && entry.key >= keysym::kpEnter && entry.key <= keysym::kpEqual) {
                stroke.key = unshifted(entry.key);
                return stroke;
            }
        }
    }
    if (qtKey == Qt::Key_Enter) {
        stroke.key = keysym::returnKey;
    } else if (qtKey == Qt::Key_Backtab) {
        stroke.key = keysym::tab;
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
        stroke.key = keysym::f1 + (qtKey - Qt::Key_F1);
    } else if (qtKey > 0 && qtKey < 0x01000000) {
        // Character keys: Qt names them by their upper-case code point.
        char32_t point = static_cast<char32_t>(qtKey);
        for (const auto& [shiftedSymbol, base] : kShiftedSymbols) {
            if (point == static_cast<char32_t>(shiftedSymbol)) {
                point = static_cast<char32_t>(base);
            }
        }
        stroke.key = point == U' ' ? keysym::space : unshifted(keysymOfCodePoint(point));
    } else {
        for (const NamedKey& entry : kNamedKeys) {
            if (entry.qt == qtKey &&
                !(entry.key >= keysym::kpEnter && entry.key <= keysym::kpEqual)) {
                stroke.key = entry.key;
                break;
            }
        }
    }
    return stroke;
}

int qtKey(Keysym key) {
    if (isKeypadDigit(key)) {
        return Qt::Key_0 + static_cast<int>(key - keysym::kp0);
    }
    if (isFunctionKey(key)) {
        return Qt::Key_F1 + static_cast<int>(key - keysym::f1);
    }
    if (key == keysym::isoLeftTab) {
        return Qt::Key_Backtab;
    }
    if (const NamedKey* entry = named(key)) {
        return entry->qt;
    }
    const char32_t point = codePoint(key);
    if (point == 0 || point > 0xffff) {
        return Qt::Key_unknown;
    }
    return QChar::toUpper(point);
}

}  // namespace tessora
