#pragma once

#include "arrange/StackIndicatorGeometry.h"
#include "core/Geometry.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <functional>
#include <memory>

namespace tessora {

// What the window stack indicator needs from its on-screen pill. The controller decides
// everything (frame, dots, what a click means); the view only draws and reports clicks.
class StackIndicatorView {
public:
    // A press at a point in the pill's own coordinates (origin top-left, y down).
    using ClickHandler = std::function<void(QPointF)>;

    virtual ~StackIndicatorView() = default;

    // Shows the pill (or updates it when already shown) at `frame`, in window space, with the
    // dots at `dots` in the pill's coordinates. The view chooses its colours from the desktop's
    // appearance and follows changes of it by itself.
    virtual void show(const WindowRect& frame, stackindicator::Orientation orientation,
                      const QList<QRectF>& dots) = 0;
    // Takes the pill off the screen; a later show() brings it back.
    virtual void hide() = 0;
    virtual void setClickHandler(ClickHandler handler) = 0;
};

using StackIndicatorViewFactory = std::function<std::unique_ptr<StackIndicatorView>()>;

}  // namespace tessora
