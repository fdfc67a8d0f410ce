#pragma once

#include <QWidget>

class QScrollArea;

namespace tessora {

class ShortcutRow;
class ShortcutService;

// The shortcuts page of the settings window: a read-only card of the program's keyboard
// shortcuts, grouped, each with its keys as caps. The first row is the launcher's hot key and
// follows the shortcut service's label as the user records another; the others never change.
// The card is 540 wide, centred in the page, and scrolls vertically (wheel, touchpad, keys)
// without showing a scroll bar when the window is too short for it.
class ShortcutsView final : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutsView(ShortcutService& shortcut, QWidget* parent = nullptr);

    QScrollArea* scrollArea() const { return m_scrollArea; }
    // Every row, in the order shown; the first is the hot key's.
    QList<ShortcutRow*> rows() const { return m_rows; }

    static constexpr int kWidth = 540;
    static constexpr int kPadding = 28;
    static constexpr int kGroupSpacing = 24;

private:
    ShortcutService& m_shortcut;
    QScrollArea* m_scrollArea;
    QList<ShortcutRow*> m_rows;
};

}  // namespace tessora
