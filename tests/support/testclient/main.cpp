// tessora-testclient: a plain xcb client for the window tests.
//
//   --title T --class C --size WxH --min-size WxH --increments WxH --windows N
//   --map-after-ms N --delay-window SECONDS --note-start FILE --dialog --no-pid --hostile
//   --undecorated --report-buttons
//
// --delay-window makes a slow starter: the process runs, but creates its windows only after
// that many seconds (fractions allowed). --note-start appends the process id to FILE at start,
// so that a test can count how many times the client was launched.
//
// Prints "ready <window> ..." (decimal ids) once every window is mapped, then runs until its
// connection closes or it is killed. With --report-buttons it also prints "button N" for every
// button press its windows receive, wheel notches included.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

xcb_window_t createWindow(xcb_connection_t* c, xcb_screen_t* screen, const Options& o, int index) {
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                            (o.reportButtons ? uint32_t{XCB_EVENT_MASK_BUTTON_PRESS} : 0u);
    const uint32_t values[] = {screen->white_pixel, events};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0,
                      static_cast<uint16_t>(o.width), static_cast<uint16_t>(o.height), 0,
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

    if (o.undecorated) {
        // Motif hints: flags = decorations given, decorations = none.
        const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
        setCardinals(c, w, motif, motif, {2, 0, 0, 0, 0});
    }

    xcb_size_hints_t hints{};
    xcb_icccm_size_hints_set_size(&hints, 0, o.width, o.height);
    if (o.minWidth > 0) {
        xcb_icccm_size_hints_set_min_size(&hints, o.minWidth, o.minHeight);
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
        while (xcb_generic_event_t* event =
                   mapped ? xcb_wait_for_event(c) : xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
                std::printf("button %u\n",
                            reinterpret_cast<xcb_button_press_event_t*>(event)->detail);
                std::fflush(stdout);
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
        if (xcb_connection_has_error(c)) {
            break;
        }
    }
    xcb_disconnect(c);
    return 0;
}
