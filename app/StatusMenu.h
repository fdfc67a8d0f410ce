#pragma once

#include <QObject>
#include <memory>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace tessora {

// The tray icon and its menu, in this order: "Enable Tessora" (checkable), "Open Tessora",
// "Shortcuts…", a separator, "Check for Updates…" (created disabled), "Settings…", a separator,
// "Quit Tessora" (Ctrl+Q). The menu's title and the icon's tool tip are "Tessora". It only
// builds and shows; whoever owns it connects the actions and keeps their states.
class StatusMenu final : public QObject {
    Q_OBJECT

public:
    explicit StatusMenu(QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return m_menu.get(); }
    QAction* enableItem() const { return m_enable; }
    QAction* openItem() const { return m_open; }
    QAction* shortcutsItem() const { return m_shortcuts; }
    QAction* updateItem() const { return m_update; }
    QAction* settingsItem() const { return m_settings; }
    QAction* quitItem() const { return m_quit; }

    // Puts the icon with the menu in the tray. Without a tray yet, it appears once a tray
    // host starts.
    void showInTray(const QIcon& icon);
    void removeFromTray();
    QSystemTrayIcon* trayIcon() const { return m_tray.get(); }

private:
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QAction* m_enable;
    QAction* m_open;
    QAction* m_shortcuts;
    QAction* m_update;
    QAction* m_settings;
    QAction* m_quit;
};

}  // namespace tessora
