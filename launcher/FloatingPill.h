#pragma once

#include "launcher/KeptPlace.h"

#include <QWidget>

class QPainter;

namespace tessora {

class WindowSystem;

// The window every small floating panel is made of: frameless, kept above other windows,
// never taking the focus or activating, out of the taskbar and the pager (the window system
// marks it so before it is first shown: Qt's tool window type alone leaves it in the taskbars
// of several window managers); its rounded shape is cut out of the window itself, since
// without a compositor a translucent corner shows black. Dark or light follows the palette,
// and a palette change repaints it.
class FloatingPill : public QWidget {
public:
    explicit FloatingPill(WindowSystem& windows);

    // Sizes the window and cuts it to a rounded rectangle with corners of `radius`.
    void setShape(const QSize& size, double radius);
    // Puts the window's top-left corner at `position`, and keeps asking for it (a few times)
    // where the window manager places the window elsewhere as it maps it (fluxbox puts it in
    // the screen's corner).
    void place(const QPoint& position);
    bool isDark() const;

protected:
    // The shadow the pill casts, painted inside its own outline (corners of `radius`): without a
    // compositing manager nothing shows outside the window's shape, so the pill's rim darkens
    // as if it stood off the desktop, most along its lower edge. A compositing manager that
    // draws shadows of its own (picom) adds one around the shape. Painted over the fill, under
    // the border and the content.
    void paintCastShadow(QPainter& painter, double radius) const;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    KeptPlace m_place;
};

}  // namespace tessora
