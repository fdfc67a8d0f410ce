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

StatusMenu::StatusMenu(QObject* parent) : QObject(parent), menu_(std::make_unique<QMenu>()) {
    menu_->setTitle(QStringLiteral("Tessora"));
    enable_ = menu_->addAction(QStringLiteral("Enable Tessora"));
    enable_->setCheckable(true);
    open_ = menu_->addAction(QStringLiteral("Open Lanterna"));
    shortcuts_ = menu_->addAction(QStringLiteral("Shortcuts…"));
    menu_->addSeparator();
    update_ = menu_->addAction(QStringLiteral("Check for Updates…"));
    update_->setEnabled(false);
    settings_ = menu_->addAction(QStringLiteral("Settings…"));
    menu_->addSeparator();
    quit_ = menu_->addAction(QStringLiteral("Quit Tessora"));
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

StatusMenu::~StatusMenu() {
    removeFromTray();
}

void StatusMenu::showInTray(const QIcon& icon) {
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(icon);
        tray_->setToolTip(QStringLiteral("Tessora"));
        tray_->setContextMenu(menu_.get());
        // A click opens the menu too, as a click on a status item does.
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger && !menu_->isVisible()) {
                        menu_->popup(QCursor::pos());
                    }
                });
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(lcTray) << "no system tray yet; the icon appears when one starts."
                       << "The launcher opens with the shortcut meanwhile.";
    }
    tray_->show();
}

void StatusMenu::removeFromTray() {
    if (tray_) {
        tray_->hide();
        tray_.reset();
    }
}

}  // namespace tessora
