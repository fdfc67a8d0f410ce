// tessora-testclient: a plain xcb client for the window tests.
//
//   --title T --class C --size WxH --min-size WxH --increments WxH --windows N
//   --map-after-ms N --delay-window SECONDS --note-start FILE --dialog --no-pid --hostile
//   --undecorated --report-buttons --header-bar [--shadow L,R,T,B] --maximized --stays-put
//
// --delay-window makes a slow starter: the process runs, but creates its windows only after
// that many seconds (fractions allowed). --note-start appends the process id to FILE at start,
// so that a test can count how many times the client was launched.
//
// Prints "ready <window> ..." (decimal ids) once every window is mapped, then runs until its
// connection closes or it is killed. With --report-buttons it also prints "button N" for every
// button press its windows receive, wheel notches included.
//
// --header-bar draws its own title bar as a GTK header-bar window does: no window-manager
// decorations, and an invisible shadow margin around what is seen (23,23,15,31 unless --shadow
// says otherwise), published as _GTK_FRAME_EXTENTS and dropped while the window is maximized or
// full screen. --size and --min-size are then what is seen: the client and its minimum size
// hint include the shadow. --maximized asks to be mapped maximized.
//
// --stays-put makes a window that will not be arranged: whenever it is moved or resized, it
// asks at once to be where and as large as it was when first shown, as some applications do
// that restore their own geometry.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Options {
    std::string title = "tessora test client";
    std::string windowClass = "TessoraTestClient";
    int width = 400, height = 300;
    int minWidth = 0, minHeight = 0;
    int incWidth = 0, incHeight = 0;
    int windows = 1;
    int mapAfterMs = 0;
    double delayWindowSeconds = 0;
    std::string noteStartFile;
    bool dialog = false;
    bool pid = true;
    bool hostile = false;
    bool undecorated = false;
    bool reportButtons = false;
    bool headerBar = false;
    int shadow[4] = {23, 23, 15, 31};  // left, right, top, bottom
    bool maximized = false;
    bool staysPut = false;
};

// A client window's place on the root window and its size.
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};

bool parseSize(const char* text, int& width, int& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needs = [&](bool ok) {
            ++i;
            return ok;
        };
        bool ok = true;
        if (arg == "--dialog") {
            o.dialog = true;
        } else if (arg == "--no-pid") {
            o.pid = false;
        } else if (arg == "--hostile") {
            o.hostile = true;
        } else if (arg == "--undecorated") {
            o.undecorated = true;
        } else if (arg == "--report-buttons") {
            o.reportButtons = true;
        } else if (arg == "--header-bar") {
            o.headerBar = true;
        } else if (arg == "--maximized") {
            o.maximized = true;
        } else if (arg == "--stays-put") {
            o.staysPut = true;
        } else if (!value) {
            ok = false;
        } else if (arg == "--title") {
            o.title = value;
            ok = needs(true);
        } else if (arg == "--class") {
            o.windowClass = value;
            ok = needs(true);
        } else if (arg == "--size") {
            ok = needs(parseSize(value, o.width, o.height));
        } else if (arg == "--min-size") {
            ok = needs(parseSize(value, o.minWidth, o.minHeight));
        } else if (arg == "--increments") {
            ok = needs(parseSize(value, o.incWidth, o.incHeight));
        } else if (arg == "--windows") {
            o.windows = std::atoi(value);
            ok = needs(o.windows > 0 && o.windows < 100);
        } else if (arg == "--delay-window") {
            o.delayWindowSeconds = std::atof(value);
            ok = needs(o.delayWindowSeconds >= 0);
        } else if (arg == "--note-start") {
            o.noteStartFile = value;
            ok = needs(true);
        } else if (arg == "--shadow") {
            int* m = o.shadow;
            ok = needs(std::sscanf(value, "%d,%d,%d,%d", &m[0], &m[1], &m[2], &m[3]) == 4 &&
                       m[0] >= 0 && m[1] >= 0 && m[2] >= 0 && m[3] >= 0);
        } else if (arg == "--map-after-ms") {
            o.mapAfterMs = std::atoi(value);
            ok = needs(o.mapAfterMs >= 0);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "tessora-testclient: bad option %s\n", arg.c_str());
            return false;
        }
    }
    return true;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

void setText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
             const std::string& bytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<uint32_t>(bytes.size()), bytes.data());
}

void setCardinals(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                  const std::vector<uint32_t>& values) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 32,
                        static_cast<uint32_t>(values.size()), values.data());
}

// The shadow margins the window publishes while in `states` (none while maximized or full
// screen, as GTK does).
std::vector<uint32_t> shadowFor(xcb_connection_t* c, const Options& o,
                                const std::vector<xcb_atom_t>& states) {
    for (const char* name : {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
                             "_NET_WM_STATE_FULLSCREEN"}) {
        for (const xcb_atom_t state : states) {
            if (state == atom(c, name)) {
                return {0, 0, 0, 0};
            }
        }
    }
    return {static_cast<uint32_t>(o.shadow[0]), static_cast<uint32_t>(o.shadow[1]),
            static_cast<uint32_t>(o.shadow[2]), static_cast<uint32_t>(o.shadow[3])};
}

std::vector<xcb_atom_t> statesOf(xcb_connection_t* c, xcb_window_t w) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr);
    std::vector<xcb_atom_t> states;
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        states.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return states;
}

// A header bar across the top of what is seen, and an outline of the shadow's inner edge.
void drawHeaderBar(xcb_connection_t* c, xcb_screen_t* screen, xcb_window_t w, const Options& o) {
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!geometry) {
        return;
    }
    const std::vector<uint32_t> shadow = shadowFor(c, o, statesOf(c, w));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t black[] = {screen->black_pixel};
    xcb_create_gc(c, gc, w, XCB_GC_FOREGROUND, black);
    const int width = geometry->width - static_cast<int>(shadow[0] + shadow[1]);
    const int height = geometry->height - static_cast<int>(shadow[2] + shadow[3]);
    const xcb_rectangle_t bar{static_cast<int16_t>(shadow[0]), static_cast<int16_t>(shadow[2]),
                              static_cast<uint16_t>(std::max(width, 1)), 36};
    xcb_poly_fill_rectangle(c, w, gc, 1, &bar);
    const xcb_rectangle_t edge{static_cast<int16_t>(shadow[0]), static_cast<int16_t>(shadow[2]),
                               static_cast<uint16_t>(std::max(width - 1, 1)),
                               static_cast<uint16_t>(std::max(height - 1, 1))};
    xcb_poly_rectangle(c, w, gc, 1, &edge);
    xcb_free_gc(c, gc);
    std::free(geometry);
}

std::optional<Geometry> rootGeometry(xcb_connection_t* c, xcb_window_t root, xcb_window_t w) {
    auto* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    auto* place = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0),
                                                  nullptr);
    std::optional<Geometry> result;
    if (size && place) {
        result = Geometry{place->dst_x, place->dst_y, size->width, size->height};
    }
    std::free(size);
    std::free(place);
    return result;
}

// Asks for the client to be at `home` again: with north-west gravity the window manager puts
// its frame's corner where asked, so the client lands that far inside it.
void moveBack(xcb_connection_t* c, xcb_window_t w, const Geometry& home) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    uint32_t extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        std::memcpy(extents, xcb_get_property_value(reply), sizeof extents);
    }
    std::free(reply);
    const uint32_t values[] = {static_cast<uint32_t>(home.x - static_cast<int>(extents[0])),
                               static_cast<uint32_t>(home.y - static_cast<int>(extents[2])),
                               static_cast<uint32_t>(home.width),
                               static_cast<uint32_t>(home.height)};
    xcb_configure_window(c, w,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(c);
}

xcb_window_t createWindow(xcb_connection_t* c, xcb_screen_t* screen, const Options& o, int index) {
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t events =
        XCB_EVENT_MASK_STRUCTURE_NOTIFY |
        (o.reportButtons ? uint32_t{XCB_EVENT_MASK_BUTTON_PRESS} : 0u) |
        (o.headerBar ? uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_EXPOSURE} : 0u);
    const uint32_t values[] = {screen->white_pixel, events};
    // A header-bar window's client takes its shadow around what is seen.
    const int shadowWidth = o.headerBar ? o.shadow[0] + o.shadow[1] : 0;
    const int shadowHeight = o.headerBar ? o.shadow[2] + o.shadow[3] : 0;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0,
                      static_cast<uint16_t>(o.width + shadowWidth),
                      static_cast<uint16_t>(o.height + shadowHeight), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    const std::string title = o.windows > 1 ? o.title + " " + std::to_string(index + 1) : o.title;
    setText(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    setText(c, w, atom(c, "_NET_WM_NAME"), utf8, title);
    std::string instance = o.windowClass;
    for (char& ch : instance) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    setText(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
            instance + std::string(1, '\0') + o.windowClass + std::string(1, '\0'));
    if (o.pid) {
        setCardinals(c, w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL,
                     {static_cast<uint32_t>(getpid())});
    }
    const xcb_atom_t type = atom(c, "_NET_WM_WINDOW_TYPE");
    if (o.dialog) {
        setCardinals(c, w, type, XCB_ATOM_ATOM, {atom(c, "_NET_WM_WINDOW_TYPE_DIALOG")});
    }

    if (o.headerBar) {
        setCardinals(c, w, atom(c, "_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, shadowFor(c, o, {}));
    }
    if (o.maximized) {
        setCardinals(
            c, w, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM,
            {atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"), atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ")});
    }

    if (o.undecorated || o.headerBar) {
        // Motif hints: flags = decorations given, decorations = none.
        const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
        setCardinals(c, w, motif, motif, {2, 0, 0, 0, 0});
    }

    xcb_size_hints_t hints{};
    xcb_icccm_size_hints_set_size(&hints, 0, o.width + shadowWidth, o.height + shadowHeight);
    if (o.minWidth > 0) {
        xcb_icccm_size_hints_set_min_size(&hints, o.minWidth + shadowWidth,
                                          o.minHeight + shadowHeight);
    }
    if (o.incWidth > 0) {
        xcb_icccm_size_hints_set_base_size(&hints, 0, 0);
        xcb_icccm_size_hints_set_resize_inc(&hints, o.incWidth, o.incHeight);
    }
    xcb_icccm_set_wm_normal_hints(c, w, &hints);

    if (o.hostile) {
        // WM_CLASS without its terminating NULs, a name far beyond any limit, a window type of
        // the wrong type, an application id that is not UTF-8 and a pid no kernel hands out.
        setText(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "garbage-without-terminator");
        setText(c, w, atom(c, "_NET_WM_NAME"), utf8, std::string(200 * 1024, 'x'));
        setCardinals(c, w, type, XCB_ATOM_CARDINAL, {7, 8, 9});
        setText(c, w, atom(c, "_GTK_APPLICATION_ID"), utf8, "bad\xff\xfe\xc0id");
        setCardinals(c, w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, {0xFFFFFFF0u});
    }
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        return 2;
    }
    if (!o.noteStartFile.empty()) {
        if (std::FILE* note = std::fopen(o.noteStartFile.c_str(), "a")) {
            std::fprintf(note, "%d\n", static_cast<int>(getpid()));
            std::fclose(note);
        }
    }
    if (o.delayWindowSeconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(o.delayWindowSeconds));
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "tessora-testclient: no display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < o.windows; ++i) {
        windows.push_back(createWindow(c, screen, o, i));
    }
    xcb_flush(c);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point mapAt = Clock::now() + std::chrono::milliseconds(o.mapAfterMs);
    bool mapped = false;
    int shown = 0;
    std::map<xcb_window_t, Geometry> homes, lastSeen;
    for (;;) {
        if (!mapped) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(mapAt - Clock::now()).count();
            if (left <= 0) {
                for (const xcb_window_t w : windows) {
                    xcb_map_window(c, w);
                }
                xcb_flush(c);
                mapped = true;
            } else {
                pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
                poll(&fd, 1, static_cast<int>(left));
            }
        }
        while (xcb_generic_event_t* event = mapped && !o.staysPut ? xcb_wait_for_event(c)
                                                                  : xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
                std::printf("button %u\n",
                            reinterpret_cast<xcb_button_press_event_t*>(event)->detail);
                std::fflush(stdout);
            }
            if (o.headerBar && (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (notify->atom == atom(c, "_NET_WM_STATE")) {
                    setCardinals(c, notify->window, atom(c, "_GTK_FRAME_EXTENTS"),
                                 XCB_ATOM_CARDINAL, shadowFor(c, o, statesOf(c, notify->window)));
                    xcb_clear_area(c, 1, notify->window, 0, 0, 0, 0);
                    xcb_flush(c);
                }
            }
            if (o.headerBar && (event->response_type & 0x7f) == XCB_EXPOSE) {
                drawHeaderBar(c, screen, reinterpret_cast<xcb_expose_event_t*>(event)->window, o);
                xcb_flush(c);
            }
            // Where each window was first shown, and where it was last seen: only a change
            // is answered, so a window manager that puts it elsewhere again is not asked twice.
            if (o.staysPut && (event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                if (const auto geometry = rootGeometry(c, screen->root, w);
                    geometry && !homes.count(w)) {
                    homes[w] = lastSeen[w] = *geometry;
                }
            }
            if (o.staysPut && (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY) {
                const xcb_window_t w =
                    reinterpret_cast<xcb_configure_notify_event_t*>(event)->window;
                const auto geometry = rootGeometry(c, screen->root, w);
                if (geometry && homes.count(w) && !(*geometry == lastSeen[w])) {
                    lastSeen[w] = *geometry;
                    if (!(*geometry == homes[w])) {
                        moveBack(c, w, homes[w]);
                    }
                }
            }
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && ++shown == o.windows) {
                std::printf("ready");
                for (const xcb_window_t w : windows) {
                    std::printf(" %u", w);
                }
                std::printf("\n");
                std::fflush(stdout);
            }
            std::free(event);
            if (!mapped) {
                break;
            }
        }
        if (mapped && o.staysPut) {
            // A window manager may leave a request of ours unanswered, or move the window
            // without a word: look again a moment later.
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            if (poll(&fd, 1, 50) == 0) {
                for (const auto& [w, home] : homes) {
                    const auto geometry = rootGeometry(c, screen->root, w);
                    if (geometry && !(*geometry == home)) {
                        moveBack(c, w, home);
                    }
                }
            }
        }
        if (xcb_connection_has_error(c)) {
            break;
        }
    }
    xcb_disconnect(c);
    return 0;
}
