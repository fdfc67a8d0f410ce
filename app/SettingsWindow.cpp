#include "app/SettingsWindow.h"

#include "app/EssentialsPage.h"
#include "app/PanelGeometry.h"
#include "app/QtWindowSpace.h"
#include "app/WelcomePage.h"
#include "platform/WindowSystem.h"
#include "preferences/Palette.h"
#include "workspace/WorkspaceModel.h"

#include <QGuiApplication>
#include <QVBoxLayout>

namespace tessora {

SettingsWindow::SettingsWindow(WindowSystem& windows, WorkspaceModel& model,
                               ShortcutService& shortcut)
    : QWidget(nullptr, Qt::Window), m_windows(windows), m_model(model), m_shortcut(shortcut) {
    setWindowTitle(QStringLiteral("Tessora"));
    setWindowRole(QStringLiteral("settings"));
    setObjectName(QStringLiteral("SettingsWindow"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Highlight, palette::accent());
    setPalette(colours);
    setAutoFillBackground(true);
    new QVBoxLayout(this);
    layout()->setContentsMargins(0, 0, 0, 0);

    applyMode();
    centre();
    connect(&m_model, &WorkspaceModel::showOnboardingChanged, this, &SettingsWindow::applyMode);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::applyMode() {
    const bool firstRun = m_model.showOnboarding();
    const bool changed = m_modeApplied && firstRun != m_firstRun;
    if (m_modeApplied && !changed) {
        return;
    }
    m_firstRun = firstRun;

    delete m_page;
    m_page = firstRun ? static_cast<QWidget*>(new WelcomePage(m_model, m_shortcut, this))
                      : static_cast<QWidget*>(new EssentialsPage(m_shortcut, this));
    layout()->addWidget(m_page);

    if (firstRun) {
        setFixedSize(firstRunSize);
    } else {
        setMinimumSize(settingsSize.width(), settingsMinimumHeight);
        setMaximumSize(settingsSize.width(), QWIDGETSIZE_MAX);
        // Created in this mode, or switched to it: either way it starts 791 x 620, once.
        resize(settingsSize);
    }
    m_modeApplied = true;
}

void SettingsWindow::centre() {
    const std::optional<Screen> screen = screenAt(m_windows.screens(), m_windows.pointerLocation());
    if (!screen) {
        return;  // the window manager places it
    }
    const QRect area = toQtGeometry(screen->visibleFrame);
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void SettingsWindow::present() {
    const bool wasVisible = isVisible();
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
    if (!wasVisible) {
        QGuiApplication::sync();  // the window manager sees the map before the activation
    }
    m_windows.activateOwnWindow(winId());
}

}  // namespace tessora
