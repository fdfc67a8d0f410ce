#include "app/ShortcutReference.h"

#include "preferences/OrreryKeycap.h"

namespace tessora {

namespace {

const QString kCtrl = QStringLiteral("\u2318");   // ⌘
const QString kSuper = QStringLiteral("\u2303");  // ⌃
const QString kAlt = QStringLiteral("\u2325");    // ⌥
const QString kShift = QStringLiteral("\u21E7");  // ⇧

}  // namespace

QList<ShortcutReferenceGroup> shortcutReference(const QString& openLabel) {
    const QString alternative = QString::fromLatin1(kAlternativeKeys);
    return {
        {QStringLiteral("Open"), {{QStringLiteral("Open or close Tessora"), keycaps(openLabel)}}},
        {QStringLiteral("Select apps"),
         {
             {QStringLiteral("Select an app or apply a layout"), {QStringLiteral("tab")}},
             {QStringLiteral("Open selected apps"), {kCtrl, QStringLiteral("return")}},
             {QStringLiteral("Clear search and selection"), {kShift, kCtrl, QStringLiteral("C")}},
             // The launcher takes Ctrl+Backspace; Ctrl+Delete does nothing there.
             {QStringLiteral("Remove the last selected app"), {kCtrl, QStringLiteral("backspace")}},
         }},
        {QStringLiteral("Switch views"),
         {
             {QStringLiteral("Applications"), {kCtrl, QStringLiteral("1")}},
             {QStringLiteral("Layouts"), {kCtrl, QStringLiteral("2")}},
         }},
        // The stack indicator grabs Super+Alt+Left and Super+Alt+Right.
        {QStringLiteral("Stacked windows"),
         {{QStringLiteral("Switch stacked window"),
           {kSuper, kAlt, QStringLiteral("\u2190"), alternative, QStringLiteral("\u2192")}}}},
    };
}

}  // namespace tessora
