#pragma once

#include <xcb/xcb.h>
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace tessora::testing {

// An X session of a test's own: Xvfb on a free display, openbox managing it, and a connection
// of the test's (the "other client" of the tests: it moves windows to other desktops, holds
// grabs, synthesises input). Everything ends with the object.
//
// TESSORA_TEST_WINDOW_MANAGER names another window manager to run instead of openbox (its
// program and arguments, split at spaces), for trying the backend under it by hand.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts the server and (unless told not to) the window manager, and waits until the
    // window manager manages windows. False with `error` when that did not happen.
    bool start(QString* error, bool withWindowManager = true);
    // The size of the server's screen in pixels (1280 x 800 unless set before start()).
    void setScreenSize(int width, int height) {
        m_screenSize = QStringLiteral("%1x%2x24").arg(width).arg(height);
    }

    QByteArray display() const { return m_display; }
    // The processes of the X server and the window manager (for measuring their CPU time).
    qint64 serverPid() const { return m_server.processId(); }
    qint64 windowManagerPid() const { return m_windowManager.processId(); }
    // Ends the X server at once, as a crash would.
    void killServer();
    // Ends the window manager as a user replacing it would: it lets go of its windows.
    void stopWindowManager();
    // Starts the window manager (again: it takes over the windows there are) and waits until it
    // manages windows. False with `error` when that did not happen.
    bool startWindowManager(QString* error);
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    QString home() const { return m_home.path(); }

    // Runs the test client with `arguments` and waits for its "ready": its window ids, empty
    // when it did not get ready.
    std::vector<xcb_window_t> startClient(const QStringList& arguments);
    // Runs any program on the display, with `environment` added to this process's own.
    QProcess* run(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment = {});
    static QString testClientPath();

    // Waits for `condition`, checking it whenever the server reports a change on the root
    // window or the windows under it (and at least every 50 ms); false after ~10 s.
    bool waitUntil(const std::function<bool()>& condition);
    // Waits for an event on the test's connection that `matches` (the others are dropped);
    // false after ~10 s.
    bool waitForEvent(const std::function<bool(const xcb_generic_event_t&)>& matches);
    // A round trip on the test's connection.
    void sync() const;

    // Requests to the window manager, as a pager would send them.
    void minimize(xcb_window_t window);
    // Moves the window's frame to (x, y), as the user dragging it would.
    void move(xcb_window_t window, int x, int y);
    void setFullScreen(xcb_window_t window);
    void setMaximized(xcb_window_t window, bool maximized = true);
    void moveToDesktop(xcb_window_t window, uint32_t desktop);
    void switchToDesktop(uint32_t desktop);
    void activate(xcb_window_t window);
    xcb_atom_t atom(const char* name) const;
    // A property of 32-bit items as the test's own connection reads it; empty when absent.
    std::vector<uint32_t> cardinals(xcb_window_t window, const char* name) const;
    // A property's bytes, of whatever type (up to 1 KiB); empty when absent.
    QByteArray bytes(xcb_window_t window, xcb_atom_t name) const;

    // Input as a user makes it (XTEST).
    void pressKey(uint8_t keycode, bool down);
    void pressButton(uint8_t button, bool down);
    void movePointer(int x, int y);
    uint8_t keycodeOf(uint32_t keysym) const;
    // Waits until the server's clock has moved past `time` (a millisecond timestamp), as two
    // presses by a hand always are; returns the new time.
    xcb_timestamp_t waitServerTimeAfter(xcb_timestamp_t time);

private:
    void wakeWindowManager() const;
    void clientMessage(xcb_window_t window, xcb_atom_t type, std::vector<uint32_t> data);

    QTemporaryDir m_home;
    QProcess m_server;
    QProcess m_windowManager;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    QByteArray m_display;
    QString m_screenSize = QStringLiteral("1280x800x24");
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

}  // namespace tessora::testing
