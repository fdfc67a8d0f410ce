#pragma once

#include <QObject>
#include <memory>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace tessora {

// The tray icon and its menu, in this order: "Enable Tessora" (checkable), "Open Lanterna",
// "Shortcuts…", a separator, "Check for Updates…" (created disabled), "Settings…", a separator,
// "Quit Tessora" (Ctrl+Q). The menu's title and the icon's tool tip are "Tessora". It only
// builds and shows; whoever owns it connects the actions and keeps their states.
class StatusMenu final : public QObject {
    Q_OBJECT

public:
    explicit StatusMenu(QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return menu_.get(); }
    QAction* enableItem() const { return enable_; }
    QAction* openItem() const { return open_; }
    QAction* shortcutsItem() const { return shortcuts_; }
    QAction* updateItem() const { return update_; }
    QAction* settingsItem() const { return settings_; }
    QAction* quitItem() const { return quit_; }

    // Puts the icon with the menu in the tray. Without a tray yet, it appears once a tray
    // host starts.
    void showInTray(const QIcon& icon);
    void removeFromTray();
    QSystemTrayIcon* trayIcon() const { return tray_.get(); }

private:
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QAction* enable_;
    QAction* open_;
    QAction* shortcuts_;
    QAction* update_;
    QAction* settings_;
    QAction* quit_;
};

}  // namespace tessora
