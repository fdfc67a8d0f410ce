#pragma once

#include "platform/sim/VirtualClock.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/support/TemporaryTree.h"
#include "tests/support/x11/XSession.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QRect>
#include <cmath>
#include <functional>

namespace tessora::testing {

// A test with an X session of its own and the backend connected to it. The backend's clock is
// virtual: only launches look at it.
class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
        connectBackend();
    }

    void connectBackend() {
        X11Options options;
        options.display = session.display();
        options.knownEntries = [this] { return entries; };
        options.waylandSession = false;  // a display of the test's own, whatever the session
        options.pixelRatio = pixelRatio;
        QString reason;
        system = X11WindowSystem::open(clock, options, &reason);
        ASSERT_TRUE(system && system->canControlWindows(&reason)) << reason.toStdString();
    }

    xcb_window_t startClient(const QStringList& arguments) {
        const std::vector<xcb_window_t> windows = session.startClient(arguments);
        return windows.empty() ? xcb_window_t{XCB_WINDOW_NONE} : windows.front();
    }

    // Waits with the event loop running, as in the application: requests go out once control
    // returns to it, and the backend handles its events.
    bool waitFor(const std::function<bool()>& condition) {
        return session.waitUntil([&] {
            QCoreApplication::processEvents();
            return condition();
        });
    }

    // Input as a user makes it (XTEST).
    void click(uint8_t button) {
        session.pressButton(button, true);
        session.pressButton(button, false);
    }
    void withKey(uint32_t keysym, bool down) { session.pressKey(session.keycodeOf(keysym), down); }
    void tapKey(uint32_t keysym) {
        withKey(keysym, true);
        withKey(keysym, false);
    }

    // Where the client window itself is, in root coordinates, asked on the test's own
    // connection (a read of the backend's would tell it the news by itself).
    QRect clientArea(xcb_window_t window) {
        xcb_connection_t* c = session.connection();
        auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
        auto* origin = xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, session.root(), 0, 0), nullptr);
        const QRect area = geometry && origin ? QRect(origin->dst_x, origin->dst_y, geometry->width,
                                                      geometry->height)
                                              : QRect();
        std::free(geometry);
        std::free(origin);
        return area;
    }

    // Waits until the window is managed with its frame extents set, which openbox does last.
    bool waitManaged(xcb_window_t window) {
        return session.waitUntil([&] {
            return system->isAlive(window) && system->frame(window).has_value() &&
                   system->frame(window)->width > 0;
        });
    }

    // An application of the test client, known to the backend by its window class.
    InstalledApp testApplication(const QString& id) {
        const QString path = entryFolder.write(
            QStringLiteral("applications/%1.desktop").arg(id),
            QStringLiteral(
                "[Desktop Entry]\nType=Application\nName=%1\nExec=true\nStartupWMClass=%1\n")
                .arg(id)
                .toUtf8());
        entries << *x11::KnownEntry::fromFile(id, path);
        system->refreshApplications();
        return {id, id, path, {}};
    }

    // Whether the test's connection can grab Alt with `button` on the root window: no other
    // client holds that grab.
    bool altButtonFree(uint8_t button) {
        xcb_connection_t* c = session.connection();
        xcb_generic_error_t* error = xcb_request_check(
            c, xcb_grab_button_checked(c, 0, session.root(), XCB_EVENT_MASK_BUTTON_PRESS,
                                       XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                                       XCB_CURSOR_NONE, button, XCB_MOD_MASK_1));
        const bool free = error == nullptr;
        std::free(error);
        if (free) {
            xcb_ungrab_button(c, button, session.root(), XCB_MOD_MASK_1);
            session.sync();
        }
        return free;
    }

    static bool near(const std::optional<WindowRect>& a, const WindowRect& b,
                     double tolerance = 6) {
        return a && std::abs(a->x - b.x) <= tolerance && std::abs(a->y - b.y) <= tolerance &&
               std::abs(a->width - b.width) <= tolerance &&
               std::abs(a->height - b.height) <= tolerance;
    }

    XSession session;
    double pixelRatio = 1.0;  // X pixels per point of the backend
    TemporaryTree entryFolder;
    VirtualClock clock;
    QList<x11::KnownEntry> entries;
    std::unique_ptr<X11WindowSystem> system;
};

inline std::string describe(const std::optional<WindowRect>& r) {
    if (!r) {
        return "absent";
    }
    return QStringLiteral("(%1, %2 %3x%4)")
        .arg(r->x)
        .arg(r->y)
        .arg(r->width)
        .arg(r->height)
        .toStdString();
}

}  // namespace tessora::testing
