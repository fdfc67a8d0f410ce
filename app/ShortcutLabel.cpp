#include "app/ShortcutLabel.h"

namespace tessora {

namespace {

// Text fit for a key cap: something visible, no control characters ("\r" for Return).
bool printable(const QString& characters) {
    bool visible = false;
    for (const QChar c : characters) {
        if (!c.isPrint()) {
            return false;
        }
        visible = visible || !c.isSpace();
    }
    return visible;
}

}  // namespace

QString shortcutLabel(const KeyStroke& key, const QString& characters) {
    QString label;
    if (key.modifiers & KeyModifier::Super) {
        label += QChar(0x2303);  // ⌃
    }
    if (key.modifiers & KeyModifier::Alt) {
        label += QChar(0x2325);  // ⌥
    }
    if (key.modifiers & KeyModifier::Shift) {
        label += QChar(0x21E7);  // ⇧
    }
    if (key.modifiers & KeyModifier::Ctrl) {
        label += QChar(0x2318);  // ⌘
    }
    if (key.key == keysym::escape) {
        return label + QStringLiteral("esc");
    }
    if (key.key == keysym::space) {
        return label + QStringLiteral("Space");
    }
    if (printable(characters)) {
        return label + characters.toUpper();
    }
    const QString name = keyName(key.key);
    return label + (name.isEmpty() ? QStringLiteral("Key %1").arg(key.key, 0, 16) : name);
}

bool labelDescribes(const QString& label, const KeyStroke& combination) {
    if (label == shortcutLabel(combination, QString())) {
        return true;
    }
    // A keypad key types its digit or sign, which a recording puts in the label.
    const QString name = keyName(combination.key);
    const QLatin1String keypad("Num ");
    return name.startsWith(keypad) &&
           label == shortcutLabel(combination, name.mid(keypad.size()));
}

}  // namespace tessora
