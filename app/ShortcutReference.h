#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tessora {

// One line of the shortcuts card: what the keys do, and the keys as caps in the order they are
// held. A "/" entry stands between two alternatives and is drawn as plain text, not as a cap.
struct ShortcutReferenceRow {
    QString title;
    QStringList keys;
};

struct ShortcutReferenceGroup {
    QString title;
    QList<ShortcutReferenceRow> rows;
};

// The entry that separates two alternative keys.
inline constexpr auto kAlternativeKeys = "/";

// The keyboard shortcuts of the program, grouped as the card shows them. Only the first row
// depends on anything: the caps of `openLabel`, the stored label of the launcher's hot key.
// Keys are written in the stored labels' symbols (⌘ Ctrl, ⌃ Super, ⌥ Alt, ⇧ Shift), which the
// caps spell out; the others are the keys the launcher and the stack indicator really take.
QList<ShortcutReferenceGroup> shortcutReference(const QString& openLabel);

}  // namespace tessora
