#include "launcher/KeyNormalization.h"

#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>

namespace tessora {

namespace {

const QHash<int, quint32>& qtKeyTable() {
    static const QHash<int, quint32> table{
        {Qt::Key_A, 0},
        {Qt::Key_S, 1},
        {Qt::Key_D, 2},
        {Qt::Key_F, 3},
        {Qt::Key_H, 4},
        {Qt::Key_G, 5},
        {Qt::Key_Z, 6},
        {Qt::Key_X, 7},
        {Qt::Key_C, 8},
        {Qt::Key_V, 9},
        {Qt::Key_B, 11},
        {Qt::Key_Q, 12},
        {Qt::Key_W, 13},
        {Qt::Key_E, 14},
        {Qt::Key_R, 15},
        {Qt::Key_Y, 16},
        {Qt::Key_T, 17},
        {Qt::Key_O, 31},
        {Qt::Key_U, 32},
        {Qt::Key_I, 34},
        {Qt::Key_P, 35},
        {Qt::Key_L, 37},
        {Qt::Key_J, 38},
        {Qt::Key_K, 40},
        {Qt::Key_N, 45},
        {Qt::Key_M, 46},
        {Qt::Key_1, 18},
        {Qt::Key_2, 19},
        {Qt::Key_3, 20},
        {Qt::Key_4, 21},
        {Qt::Key_5, 23},
        {Qt::Key_6, 22},
        {Qt::Key_7, 26},
        {Qt::Key_8, 28},
        {Qt::Key_9, 25},
        {Qt::Key_0, 29},
        // Shift + digit on the US layout.
        {Qt::Key_Exclam, 18},
        {Qt::Key_At, 19},
        {Qt::Key_NumberSign, 20},
        {Qt::Key_Dollar, 21},
        {Qt::Key_Percent, 23},
        {Qt::Key_AsciiCircum, 22},
        {Qt::Key_Ampersand, 26},
        {Qt::Key_Asterisk, 28},
        {Qt::Key_ParenLeft, 25},
        {Qt::Key_ParenRight, 29},
        {Qt::Key_Minus, 27},
        {Qt::Key_Underscore, 27},
        {Qt::Key_Equal, 24},
        {Qt::Key_Plus, 24},
        {Qt::Key_BracketLeft, 33},
        {Qt::Key_BraceLeft, 33},
        {Qt::Key_BracketRight, 30},
        {Qt::Key_BraceRight, 30},
        {Qt::Key_Semicolon, 41},
        {Qt::Key_Colon, 41},
        {Qt::Key_Apostrophe, 39},
        {Qt::Key_QuoteDbl, 39},
        {Qt::Key_Comma, 43},
        {Qt::Key_Less, 43},
        {Qt::Key_Period, 47},
        {Qt::Key_Greater, 47},
        {Qt::Key_Slash, 44},
        {Qt::Key_Question, 44},
        {Qt::Key_Backslash, 42},
        {Qt::Key_Bar, 42},
        {Qt::Key_QuoteLeft, 50},
        {Qt::Key_AsciiTilde, 50},
        {Qt::Key_Return, MacKey::returnKey},
        {Qt::Key_Enter, MacKey::returnKey},
        {Qt::Key_Tab, MacKey::tab},
        {Qt::Key_Backtab, MacKey::tab},
        {Qt::Key_Space, MacKey::space},
        {Qt::Key_Backspace, MacKey::deleteKey},
        {Qt::Key_Escape, MacKey::escape},
        {Qt::Key_Delete, 117},
        {Qt::Key_Home, 115},
        {Qt::Key_End, 119},
        {Qt::Key_PageUp, 116},
        {Qt::Key_PageDown, 121},
        {Qt::Key_Insert, 114},
        {Qt::Key_Help, 114},
        {Qt::Key_Left, MacKey::leftArrow},
        {Qt::Key_Right, MacKey::rightArrow},
        {Qt::Key_Down, MacKey::downArrow},
        {Qt::Key_Up, MacKey::upArrow},
        {Qt::Key_F1, 122},
        {Qt::Key_F2, 120},
        {Qt::Key_F3, 99},
        {Qt::Key_F4, 118},
        {Qt::Key_F5, 96},
        {Qt::Key_F6, 97},
        {Qt::Key_F7, 98},
        {Qt::Key_F8, 100},
        {Qt::Key_F9, 101},
        {Qt::Key_F10, 109},
        {Qt::Key_F11, 103},
        {Qt::Key_F12, 111},
    };
    return table;
}

// The numeric keypad has codes of its own (the Enter key aside, which acts as Return here).
const QHash<int, quint32>& keypadTable() {
    static const QHash<int, quint32> table{
        {Qt::Key_0, 82},    {Qt::Key_1, 83},     {Qt::Key_2, 84},      {Qt::Key_3, 85},
        {Qt::Key_4, 86},    {Qt::Key_5, 87},     {Qt::Key_6, 88},      {Qt::Key_7, 89},
        {Qt::Key_8, 91},    {Qt::Key_9, 92},     {Qt::Key_Period, 65}, {Qt::Key_Asterisk, 67},
        {Qt::Key_Plus, 69}, {Qt::Key_Minus, 78}, {Qt::Key_Slash, 75},  {Qt::Key_Equal, 81},
    };
    return table;
}

// evdev key numbers of the typing block, by physical place.
const QHash<quint32, quint32>& evdevTable() {
    static const QHash<quint32, quint32> table{
        {1, MacKey::escape},
        {2, 18},
        {3, 19},
        {4, 20},
        {5, 21},
        {6, 23},
        {7, 22},
        {8, 26},
        {9, 28},
        {10, 25},
        {11, 29},
        {12, 27},
        {13, 24},
        {14, MacKey::deleteKey},
        {15, MacKey::tab},
        {16, 12},
        {17, 13},
        {18, 14},
        {19, 15},
        {20, 17},
        {21, 16},
        {22, 32},
        {23, 34},
        {24, 31},
        {25, 35},
        {26, 33},
        {27, 30},
        {28, MacKey::returnKey},
        {30, 0},
        {31, 1},
        {32, 2},
        {33, 3},
        {34, 5},
        {35, 4},
        {36, 38},
        {37, 40},
        {38, 37},
        {39, 41},
        {40, 39},
        {41, 50},
        {43, 42},
        {44, 6},
        {45, 7},
        {46, 8},
        {47, 9},
        {48, 11},
        {49, 45},
        {50, 46},
        {51, 43},
        {52, 47},
        {53, 44},
        {57, MacKey::space},
    };
    return table;
}

}  // namespace

quint32 macKeyCode(int qtKey, bool keypad) {
    if (keypad) {
        if (const auto found = keypadTable().find(qtKey); found != keypadTable().end()) {
            return *found;
        }
    }
    const auto found = qtKeyTable().find(qtKey);
    return found == qtKeyTable().end() ? MacKey::unknown : *found;
}

quint32 macKeyCodeFromScanCode(quint32 xKeyCode) {
    constexpr quint32 evdevOffset = 8;
    if (xKeyCode < evdevOffset) {
        return MacKey::unknown;
    }
    const auto found = evdevTable().find(xKeyCode - evdevOffset);
    return found == evdevTable().end() ? MacKey::unknown : *found;
}

quint32 macModifierFlags(Qt::KeyboardModifiers modifiers) {
    quint32 flags = 0;
    if (modifiers & Qt::ShiftModifier) {
        flags |= KeyModifiers::shift;
    }
    if (modifiers & Qt::ControlModifier) {
        flags |= KeyModifiers::command;
    }
    if (modifiers & Qt::MetaModifier) {
        flags |= KeyModifiers::control;
    }
    if (modifiers & Qt::AltModifier) {
        flags |= KeyModifiers::option;
    }
    return flags;
}

KeyInput normalizedKey(const QKeyEvent& event) {
    KeyInput key;
    key.modifiers = macModifierFlags(event.modifiers());
    key.keyCode = macKeyCode(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
    if (key.keyCode == MacKey::unknown && event.nativeScanCode() != 0) {
        // Only X11 scan codes are evdev numbers; other platforms number keys their own way.
        static const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
        if (xcb) {
            key.keyCode = macKeyCodeFromScanCode(event.nativeScanCode());
        }
    }
    return key;
}

}  // namespace tessora
