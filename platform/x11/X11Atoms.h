#pragma once

#include <xcb/xcb.h>

namespace tessora::x11 {

// Every atom the backend uses, interned once when it connects.
#define TESSORA_X11_ATOMS(X)            \
    X(UTF8_STRING)                      \
    X(MANAGER)                          \
    X(WM_STATE)                         \
    X(WM_CHANGE_STATE)                  \
    X(_NET_SUPPORTED)                   \
    X(_NET_SUPPORTING_WM_CHECK)         \
    X(_NET_CLIENT_LIST)                 \
    X(_NET_CLIENT_LIST_STACKING)        \
    X(_NET_ACTIVE_WINDOW)               \
    X(_NET_CURRENT_DESKTOP)             \
    X(_NET_WORKAREA)                    \
    X(_NET_WM_NAME)                     \
    X(_NET_WM_PID)                      \
    X(_NET_WM_DESKTOP)                  \
    X(_NET_WM_STATE)                    \
    X(_NET_WM_STATE_HIDDEN)             \
    X(_NET_WM_STATE_FULLSCREEN)         \
    X(_NET_WM_STATE_MAXIMIZED_VERT)     \
    X(_NET_WM_STATE_MAXIMIZED_HORZ)     \
    X(_NET_WM_STATE_ABOVE)              \
    X(_NET_WM_STATE_STICKY)             \
    X(_NET_WM_STATE_SKIP_TASKBAR)       \
    X(_NET_WM_STATE_SKIP_PAGER)         \
    X(_NET_WM_WINDOW_TYPE)              \
    X(_NET_WM_WINDOW_TYPE_NORMAL)       \
    X(_NET_WM_WINDOW_TYPE_DIALOG)       \
    X(_NET_WM_WINDOW_TYPE_DOCK)         \
    X(_NET_WM_WINDOW_TYPE_DESKTOP)      \
    X(_NET_WM_STRUT)                    \
    X(_NET_WM_STRUT_PARTIAL)            \
    X(_NET_FRAME_EXTENTS)               \
    X(_NET_MOVERESIZE_WINDOW)           \
    X(_NET_RESTACK_WINDOW)              \
    X(_NET_STARTUP_INFO_BEGIN)          \
    X(_NET_STARTUP_INFO)                \
    X(_GTK_APPLICATION_ID)              \
    X(_GTK_FRAME_EXTENTS)               \
    X(_KDE_NET_WM_WINDOW_TYPE_OVERRIDE) \
    X(_TESSORA_TIMESTAMP)               \
    X(_TESSORA_SHOW_LAUNCHER)

struct Atoms {
#define TESSORA_X11_ATOM_FIELD(name) xcb_atom_t name = XCB_ATOM_NONE;
    TESSORA_X11_ATOMS(TESSORA_X11_ATOM_FIELD)
#undef TESSORA_X11_ATOM_FIELD

    // Interns all of them in one batch: every request is sent before the first reply is read.
    // False when a reply is missing (the connection broke).
    bool intern(xcb_connection_t* connection);
};

// _GTK_WORKAREAS_D<n> is per desktop and _TESSORA_RESIDENT_S<n> per screen, so they are
// interned when first needed.
xcb_atom_t internAtom(xcb_connection_t* connection, const char* name);

}  // namespace tessora::x11
