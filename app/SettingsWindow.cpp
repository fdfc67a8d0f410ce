#include "app/SettingsWindow.h"

#include "app/PanelGeometry.h"
#include "app/QtWindowSpace.h"
#include "platform/WindowSystem.h"
#include "preferences/Palette.h"
#include "workspace/WorkspaceModel.h"

#include <QEvent>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <QWindow>

namespace tessora {

SettingsWindow::SettingsWindow(WindowSystem& windows, WorkspaceModel& model,
                               ContentFactory makeContent)
    : QWidget(nullptr, Qt::Window),
      m_windows(windows),
      m_model(model),
      m_makeContent(std::move(makeContent)) {
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
    // Created in the right size for its mode; later mode changes resize it once.
    resize(m_firstRun ? firstRunSize : settingsSize);
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

    if (m_page) {
        // The change may come from inside the old content (its own Continue button): it goes
        // once that has returned.
        layout()->removeWidget(m_page);
        m_page->hide();
        m_page->deleteLater();
    }
    m_page = m_makeContent(firstRun, this);
    layout()->addWidget(m_page);
    applyLimits();
    if (changed) {
        // After the update that changed the mode has run its course; a window gone by then
        // is left alone.
        QMetaObject::invokeMethod(
            this, [this] { resize(m_firstRun ? firstRunSize : settingsSize); },
            Qt::QueuedConnection);
    }
    m_modeApplied = true;
}

void SettingsWindow::applyLimits() {
    // No maximize (nor its button) while the size is fixed; closing and minimizing stay.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (!m_firstRun) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (windowFlags() != flags) {
        if (QWindow* window = windowHandle()) {
            // A window that exists gets its new hints in place: setWindowFlags() would unmap
            // and map it again, and some window managers would then place it anew.
            overrideWindowFlags(flags);
            window->setFlags(flags);
        } else {
            setWindowFlags(flags);
        }
    }
    // Each limit moves in the order that keeps the minimum within the maximum at every step:
    // a window manager that sees them cross may clamp the window to either.
    if (m_firstRun) {
        setMinimumSize(firstRunSize);
        setMaximumSize(firstRunSize);
    } else {
        setMaximumSize(settingsSize.width(), QWIDGETSIZE_MAX);
        setMinimumSize(settingsSize.width(), settingsMinimumHeight);
    }
}

void SettingsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A window manager's full-screen key ignores the size limits: the window leaves full
    // screen again at once.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowFullScreen)) {
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~Qt::WindowFullScreen); },
            Qt::QueuedConnection);
    }
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
