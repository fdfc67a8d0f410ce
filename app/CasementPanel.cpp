#include "app/CasementPanel.h"

#include "app/PanelGeometry.h"
#include "app/PanelKeys.h"
#include "app/QtWindowSpace.h"
#include "app/WindowManagerMove.h"
#include "platform/WindowSystem.h"
#include "preferences/Palette.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <cstdlib>

namespace tessora {

CasementPanel::CasementPanel(WindowSystem& windows)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_windows(windows) {
    setWindowTitle(QStringLiteral("Tessora"));
    // Tells it apart from the settings window, which has the same title and class.
    setWindowRole(QStringLiteral("launcher"));
    setObjectName(QStringLiteral("CasementPanel"));
    resize(initialWidth, initialHeight);
    // Without a compositing manager a clear window shows black: the panel is opaque in the
    // palette's background, and its content paints on top.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    setPalette(colours);
    setAutoFillBackground(true);

    // Created now, unmapped, so that it is marked as a panel before it is first shown.
    m_windows.preparePanelWindow(winId());
    // Key events reach the window before any widget inside it: Escape is ours, whichever
    // control has the focus.
    windowHandle()->installEventFilter(this);
    connect(&m_windows, &WindowSystem::ownWindowStateChanged, this, [this](WindowId window) {
        if (window == winId()) {
            tellShowable();
        }
    });
    // Keys handed over while nothing inside has the focus wait for the control that takes it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) {
            deliverPendingKeys();
        }
    });
}

CasementPanel::~CasementPanel() {
    m_didDismiss = nullptr;
    m_didBecomeKey = nullptr;
    m_didBecomeShowable = nullptr;
}

void CasementPanel::setContent(QWidget* content, std::function<QRegion()> shape) {
    delete m_content;
    m_content = content;
    m_shape = std::move(shape);
    if (m_content) {
        m_content->setParent(this);
        m_content->setGeometry(rect());
        m_content->show();
    }
    updateShape();
}

void CasementPanel::updateShape() {
    const QRegion region = m_shape ? m_shape() : QRegion();
    if (region.isEmpty()) {
        clearMask();
    } else if (region != mask()) {
        setMask(region);
    }
}

bool CasementPanel::isPanelVisible() const {
    return isVisible();
}

double CasementPanel::primaryHeight() const {
    if (const std::optional<double> height = tessora::primaryHeight(m_windows.screens())) {
        return *height;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0.0;
}

ScreenRect CasementPanel::panelFrame() const {
    return toScreenSpace(fromQtGeometry(geometry()), primaryHeight());
}

std::optional<ScreenRect> CasementPanel::panelScreenVisibleFrame() const {
    const QList<Screen> screens = m_windows.screens();
    const std::optional<double> height = tessora::primaryHeight(screens);
    const WindowRect frame = fromQtGeometry(geometry());
    const std::optional<Screen> screen = screenAt(screens, QPointF(frame.midX(), frame.midY()));
    if (!height || !screen) {
        return std::nullopt;
    }
    return toScreenSpace(screen->visibleFrame, *height);
}

void CasementPanel::setPanelFrame(const ScreenRect& frame) {
    m_place.ask(*this, toQtGeometry(toWindowSpace(frame, primaryHeight())));
}

void CasementPanel::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    m_place.moved(*this);
}

void CasementPanel::orderFront() {
    if (!isVisible()) {
        show();
        // The window manager must have seen the map before our activation request, which
        // travels on another connection.
        waitForToolkitRequests();
    }
    raise();
    // One activation, sent at once. Qt's own request would be sent only once Qt has seen the
    // map, which under load can be after the user went on to another window: it would take the
    // focus back from there.
    m_windows.activateOwnWindow(winId());
}

// A round trip on Qt's own X connection: what Qt asked for (the map) has reached the server.
// Not QGuiApplication::sync(), which also runs the event loop: a hot key handled inside it would
// show the panel again from within this show.
void CasementPanel::waitForToolkitRequests() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* c = x11 ? x11->connection() : nullptr) {
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
}

void CasementPanel::orderOut() {
    if (isVisible()) {
        m_windows.releaseOwnFocus(winId());
    }
    hide();
}

void CasementPanel::setDidDismiss(std::function<void()> didDismiss) {
    m_didDismiss = std::move(didDismiss);
}

void CasementPanel::setDidBecomeKey(std::function<void()> didBecomeKey) {
    m_didBecomeKey = std::move(didBecomeKey);
}

// Hidden a moment ago, the window is shown again only once both Qt and the window manager are
// done with the hiding: Qt has seen the unmap (before that it shows a window it believes mapped,
// and warns), and the window manager has withdrawn it (mapping it earlier races the window
// manager's unmanaging of it: fluxbox and icewm then leave it without the focus or unshown).
bool CasementPanel::canShowAgain() const {
    const QWindow* window = windowHandle();
    return !(window && window->isExposed()) && m_windows.ownWindowWithdrawn(winId());
}

void CasementPanel::setDidBecomeShowable(std::function<void()> didBecomeShowable) {
    m_didBecomeShowable = std::move(didBecomeShowable);
}

// Once the current event has been handled: the listener may show the panel.
void CasementPanel::tellShowable() {
    if (isVisible() || !m_didBecomeShowable) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!isVisible() && m_didBecomeShowable) {
                m_didBecomeShowable();
            }
        },
        Qt::QueuedConnection);
}

void CasementPanel::deliverTypedKeys(const QList<TypedKey>& keys) {
    m_pendingKeys += keys;
    deliverPendingKeys();
}

void CasementPanel::deliverPendingKeys() {
    // The content may hand its focus on a turn later than the panel becomes active: keys sent
    // while no control has it would go to the window itself and be lost.
    while (!m_pendingKeys.isEmpty() && focusWidget() != nullptr) {
        // The panel may hide on the way (Escape): the rest were meant for it, not for whatever
        // has the focus now.
        if (!isVisible() || !windowHandle()) {
            m_pendingKeys.clear();
            return;
        }
        const TypedKey typed = m_pendingKeys.takeFirst();
        const int key = qtKey(typed.stroke.key);
        const Qt::KeyboardModifiers modifiers = qtModifiers(typed.stroke.modifiers);
        QKeyEvent press(QEvent::KeyPress, key, modifiers, typed.text);
        QCoreApplication::sendEvent(windowHandle(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, typed.text);
        QCoreApplication::sendEvent(windowHandle(), &release);
    }
}

void CasementPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_didBecomeKey) {
        m_didBecomeKey();
    }
}

bool CasementPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        tellShowable();  // Qt may have seen the unmap: an expose event with nothing exposed
    }
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (keyHidesPanel(
                m_windows.keyStroke(key->key(), key->modifiers(), key->nativeScanCode()))) {
            orderOut();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CasementPanel::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        m_visiblePeriod = true;
        m_place.showing();
        // The content has laid itself out for this showing (it may have resized the panel).
        updateShape();
    }
    QWidget::showEvent(event);
}

void CasementPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    endOwnDrag();
    // Spontaneous hide events come from the window system (the window was unmapped behind our
    // back) while the widget stays visible; only our own hiding ends a visible period.
    if (event->spontaneous() || !m_visiblePeriod) {
        return;
    }
    m_visiblePeriod = false;
    m_pendingKeys.clear();  // meant for this showing only
    if (m_didDismiss) {
        m_didDismiss();
    }
}

// Presses that no control inside took land here: on the background, which moves the panel. The
// window manager's move starts at once, as the protocol intends: it then follows the
// pointer from the press on.
void CasementPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    m_place.letGo();
    if (!beginWindowManagerMove(*windowHandle())) {
        // No move from the window manager: the panel follows the pointer itself.
        m_dragOffset = event->globalPosition().toPoint() - pos();
        grabMouse();
    }
}

void CasementPanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset) {
        move(event->globalPosition().toPoint() - *m_dragOffset);
    }
    QWidget::mouseMoveEvent(event);
}

void CasementPanel::mouseReleaseEvent(QMouseEvent* event) {
    endOwnDrag();
    QWidget::mouseReleaseEvent(event);
}

void CasementPanel::endOwnDrag() {
    if (m_dragOffset) {
        m_dragOffset.reset();
        releaseMouse();
    }
}

void CasementPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_content) {
        m_content->setGeometry(rect());
    }
    updateShape();
}

}  // namespace tessora
