#pragma once

#include "platform/WindowSystem.h"

#include <QString>
#include <Qt>

namespace tessora {

// A key press taken while the keyboard was held, as Qt would have delivered it to our window:
// the Qt key of its keysym (Qt::Key_unknown for keys Qt has no name for; the text still types),
// the modifiers held (Ctrl for Command, Super for Control, Alt for Option) and the text.
struct QtKeyPress {
    int key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

QtKeyPress qtKeyPress(const TypedKey& typed);

}  // namespace tessora
