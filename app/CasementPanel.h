#pragma once

#include "app/PanelWindow.h"
#include "launcher/KeptPlace.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace tessora {

class WindowSystem;

// The launcher panel window: frameless, kept above other windows on every desktop, out of the
// taskbar and the pager; 544 x 550 until its content resizes it. It is hidden and shown, never
// recreated. Escape without modifiers hides it; every way it disappears (Escape, hide(), the
// window manager closing it) ends in the dismissal callback once per visible period. Dragging
// its background moves it, until the next showing places it again.
class CasementPanel final : public QWidget, public PanelWindow {
    Q_OBJECT

public:
    static constexpr int initialWidth = 544;
    static constexpr int initialHeight = 550;

    explicit CasementPanel(WindowSystem& windows);
    ~CasementPanel() override;

    // The view the panel shows, filling it; the panel takes ownership. `shape`, when given, is
    // the region (in the panel's coordinates) the view paints: the window is cut to it, since
    // without a compositing manager the rest would show as an opaque rectangle.
    void setContent(QWidget* content, std::function<QRegion()> shape = {});
    QWidget* content() const { return m_content; }

    // --- PanelWindow
    bool isPanelVisible() const override;
    ScreenRect panelFrame() const override;
    std::optional<ScreenRect> panelScreenVisibleFrame() const override;
    void setPanelFrame(const ScreenRect& frame) override;
    void orderFront() override;
    void orderOut() override;
    void setDidDismiss(std::function<void()> didDismiss) override;
    void setDidBecomeKey(std::function<void()> didBecomeKey) override;
    void deliverTypedKeys(const QList<TypedKey>& keys) override;
    bool canShowAgain() const override;
    void setDidBecomeShowable(std::function<void()> didBecomeShowable) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The primary monitor's height, which converts between window and screen space.
    double primaryHeight() const;
    void updateShape();
    void tellShowable();
    void waitForToolkitRequests();
    void deliverPendingKeys();
    void endOwnDrag();

    WindowSystem& m_windows;
    QWidget* m_content = nullptr;
    std::function<QRegion()> m_shape;
    std::function<void()> m_didDismiss;
    std::function<void()> m_didBecomeKey;
    std::function<void()> m_didBecomeShowable;
    bool m_visiblePeriod = false;
    QList<TypedKey> m_pendingKeys;  // handed over, waiting for a control to take the focus
    KeptPlace m_place;
    std::optional<QPoint> m_dragOffset;  // the pointer's place in the panel it drags itself
};

}  // namespace tessora
