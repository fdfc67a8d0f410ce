#include "app/WindowManagerMove.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QGuiApplication>
#include <QPointingDevice>
#include <QWindow>

#include <limits>

namespace tessora {

namespace {

// The button press left us an implicit grab of the pointer, which the window manager needs for
// its move. Qt lets go only of a core grab before it asks; a press delivered through XInput 2
// holds an XInput 2 grab, which a core ungrab leaves alone, and the window manager's grab then
// fails without a word.
void releaseImplicitGrab(const QPointingDevice* device) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !device || device->systemId() <= 0 ||
        device->systemId() > std::numeric_limits<xcb_input_device_id_t>::max()) {
        return;
    }
    // Sent before the move request, on the same connection: the server takes them in order.
    xcb_input_xi_ungrab_device(connection, XCB_CURRENT_TIME,
                               static_cast<xcb_input_device_id_t>(device->systemId()));
}

}  // namespace

bool beginWindowManagerMove(QWindow& window, const QPointingDevice* device) {
    releaseImplicitGrab(device);
    return window.startSystemMove();
}

}  // namespace tessora
