// tessora-grabs DISPLAY: the grab helper of the program that started it, which gives it its end
// of a socket pair as descriptor 3 (platform/x11/InputGrabProtocol.h). It serves the program's
// grabs on the display until that end closes.
#include "platform/x11/InputGrabProtocol.h"
#include "platform/x11/grabber/GrabServer.h"

#include <unistd.h>
#include <xcb/xcb.h>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace tessora::x11;
    // Nothing of the program's but the socket: a descriptor it forgot to close on exec would
    // be held open here (a pipe whose reader waits for its end, say).
    close_range(grabprotocol::kHelperSocket + 1, ~0u, 0);
    // A program that has gone shows as a failed send, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DISPLAY (started by tessora, not by hand)\n", argv[0]);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(argv[1], &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "tessora-grabs: cannot connect to the X display %s\n", argv[1]);
        xcb_disconnect(connection);
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem > 0 && i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return 1;
    }
    GrabServer server(connection, screens.data->root, grabprotocol::kHelperSocket);
    const int status = server.run();
    xcb_disconnect(connection);
    return status;
}
