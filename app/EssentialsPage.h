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

    OrrerySwitch* enableSwitch() const { return switch_; }
    OrrerySettingsRow* shortcutRow() const { return shortcutRow_; }
    ShortcutKeycaps* keycaps() const { return keycaps_; }

private:
    void refresh();

    ShortcutService& shortcut_;
    OrrerySwitch* switch_;
    OrrerySettingsRow* shortcutRow_;
    ShortcutKeycaps* keycaps_;
};

}  // namespace tessora
