#include "app/WindowManagerMove.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QGuiApplication>
#include <QWindow>

#include <cstdlib>
#include <memory>

namespace tessora {

namespace {

// The button press left us an implicit grab of the pointer, which the window manager needs for
// its move. Qt lets go only of a core grab before it asks; a press delivered through XInput 2
// holds an XInput 2 grab, which a core ungrab leaves alone, and the window manager's grab then
// fails without a word. The grab is a master pointer's (Qt listens to the master devices),
// whichever mouse the press came from; letting go of a grab one does not hold does nothing.
void releaseImplicitGrab() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return;
    }
    std::unique_ptr<xcb_input_xi_query_device_reply_t, decltype(&std::free)> masters(
        xcb_input_xi_query_device_reply(
            connection, xcb_input_xi_query_device(connection, XCB_INPUT_DEVICE_ALL_MASTER),
            nullptr),
        &std::free);
    if (!masters) {
        return;
    }
    // Sent before the move request, on the same connection: the server takes them in order.
    for (auto it = xcb_input_xi_query_device_infos_iterator(masters.get()); it.rem;
         xcb_input_xi_device_info_next(&it)) {
        if (it.data->type == XCB_INPUT_DEVICE_TYPE_MASTER_POINTER) {
            xcb_input_xi_ungrab_device(connection, XCB_CURRENT_TIME, it.data->deviceid);
        }
    }
}

}  // namespace

bool beginWindowManagerMove(QWindow& window) {
    releaseImplicitGrab();
    return window.startSystemMove();
}

}  // namespace tessora
