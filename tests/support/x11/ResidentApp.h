#pragma once

#include "tests/support/x11/XSession.h"

#include <xcb/xcb.h>
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace tessora::testing {

// The real `tessora` program running as the resident application on a test's X session, with
// a home of its own (first run already done, so the hot key opens the launcher), and the ways a
// user reaches it: the hot key, keys, clicks. Its panel is found as the user sees it, by its
// title and class.
class ResidentApp {
public:
    ResidentApp(XSession& session, QString program);
    ~ResidentApp();
    ResidentApp(const ResidentApp&) = delete;
    ResidentApp& operator=(const ResidentApp&) = delete;

    // Where its settings and desktop entries live; write them before start().
    QString configHome() const { return m_home.path() + QStringLiteral("/config"); }
    QString dataHome() const { return m_home.path() + QStringLiteral("/data"); }
    void writeSettings(const QByteArray& json);
    void writeDesktopEntry(const QString& id, const QByteArray& contents);

    // Starts the program and waits until it says it is ready (hot key taken, tray shown).
    bool start(QString* error, const QProcessEnvironment& extra = {});
    // Asks it to quit as the session does (SIGTERM) and waits for it; its exit code.
    std::optional<int> quit();
    QProcess& process() { return m_process; }
    // Everything it wrote to stderr so far.
    QByteArray errors();

    // Ctrl+Escape, the default hot key, as XTEST key presses (with `extraModifierKeysym` held
    // too, e.g. a lock key that was toggled).
    void pressShortcut();
    void tapKey(uint32_t keysym, std::initializer_list<uint32_t> modifierKeysyms = {});
    void click(int x, int y, uint8_t button = 1);

    // The launcher panel's client window, once it exists.
    std::optional<xcb_window_t> panelWindow();
    bool panelShown();
    bool waitPanelShown();
    bool waitPanelHidden();
    // Until the panel is the active window: it asks for the focus a moment after it is mapped.
    bool waitPanelActive();
    // The panel's client area in root coordinates.
    std::optional<QRect> panelGeometry();

    // A client window of the program by its WM_WINDOW_ROLE ("launcher", "settings"), once it
    // exists.
    std::optional<xcb_window_t> windowWithRole(const QByteArray& role);

private:
    std::optional<xcb_window_t> findRole(xcb_window_t parent, const QByteArray& role, int depth);

    XSession& m_session;
    QString m_program;
    QTemporaryDir m_home;
    QProcess m_process;
    QByteArray m_errors;
    std::optional<xcb_window_t> m_panel;
    xcb_timestamp_t m_lastTap = XCB_CURRENT_TIME;
};

}  // namespace tessora::testing
