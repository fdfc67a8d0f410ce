#include "app/StatusMenu.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QMenu>
#include <QSystemTrayIcon>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcTray, "tessora.tray", QtInfoMsg)
}  // namespace

StatusMenu::StatusMenu(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>()) {
    m_menu->setTitle(QStringLiteral("Tessora"));
    m_enable = m_menu->addAction(QStringLiteral("Enable Tessora"));
    m_enable->setCheckable(true);
    m_open = m_menu->addAction(QStringLiteral("Open Tessora"));
    m_shortcuts = m_menu->addAction(QStringLiteral("Shortcuts…"));
    m_menu->addSeparator();
    m_update = m_menu->addAction(QStringLiteral("Check for Updates…"));
    m_update->setEnabled(false);
    m_settings = m_menu->addAction(QStringLiteral("Settings…"));
    m_menu->addSeparator();
    m_quit = m_menu->addAction(QStringLiteral("Quit Tessora"));
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

StatusMenu::~StatusMenu() {
    removeFromTray();
}

void StatusMenu::showInTray(const QIcon& icon) {
    if (!m_tray) {
        m_tray = std::make_unique<QSystemTrayIcon>(icon);
        m_tray->setToolTip(QStringLiteral("Tessora"));
        m_tray->setContextMenu(m_menu.get());
        // A click opens the menu too, as a click on a status item does.
        connect(m_tray.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger && !m_menu->isVisible()) {
                        m_menu->popup(QCursor::pos());
                    }
                });
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(lcTray) << "no system tray yet; the icon appears when one starts."
                       << "The launcher opens with the shortcut meanwhile.";
    }
    m_tray->show();
}

void StatusMenu::removeFromTray() {
    if (m_tray) {
        m_tray->hide();
        m_tray.reset();
    }
}

}  // namespace tessora
