#include "platform/x11/X11Atoms.h"

#include <cstdlib>
#include <cstring>

namespace tessora::x11 {

bool Atoms::intern(xcb_connection_t* connection) {
#define TESSORA_X11_ATOM_REQUEST(name)             \
    const xcb_intern_atom_cookie_t name##_cookie = \
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(#name)), #name);
    TESSORA_X11_ATOMS(TESSORA_X11_ATOM_REQUEST)
#undef TESSORA_X11_ATOM_REQUEST

    bool complete = true;
#define TESSORA_X11_ATOM_REPLY(name)                                     \
    if (xcb_intern_atom_reply_t* reply =                                 \
            xcb_intern_atom_reply(connection, name##_cookie, nullptr)) { \
        name = reply->atom;                                              \
        std::free(reply);                                                \
    } else {                                                             \
        complete = false;                                                \
    }
    TESSORA_X11_ATOMS(TESSORA_X11_ATOM_REPLY)
#undef TESSORA_X11_ATOM_REPLY
    return complete;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace tessora::x11
