#pragma once

#include <QWidget>

namespace tessora {

class OrrerySettingsRow;
class OrrerySwitch;
class ShortcutKeycaps;
class ShortcutService;

// The settings window's page after the first run: the "Enable Tessora" switch, bound to the
// shortcut service, and the shortcut that opens the launcher, with the reason when it is not
// available.
class EssentialsPage final : public QWidget {
    Q_OBJECT

public:
    explicit EssentialsPage(ShortcutService& shortcut, QWidget* parent = nullptr);

    OrrerySwitch* enableSwitch() const { return m_switch; }
    OrrerySettingsRow* shortcutRow() const { return m_shortcutRow; }
    ShortcutKeycaps* keycaps() const { return m_keycaps; }

private:
    void refresh();

    ShortcutService& m_shortcut;
    OrrerySwitch* m_switch;
    OrrerySettingsRow* m_shortcutRow;
    ShortcutKeycaps* m_keycaps;
};

}  // namespace tessora
