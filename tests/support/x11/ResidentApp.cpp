#include "tests/support/x11/ResidentApp.h"

#include <xcb/xcb.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstdlib>

namespace tessora::testing {

namespace {

constexpr int kStartMs = 20000;
constexpr uint32_t kControlL = 0xffe3;
constexpr uint32_t kEscape = 0xff1b;

bool writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) >= 0;
}

}  // namespace

ResidentApp::ResidentApp(XSession& session, QString program)
    : m_session(session), m_program(std::move(program)) {
    // A user who has been through the first run: the hot key opens the launcher.
    writeSettings(R"({"onboardingVersion": 1, "onboardingComplete": true})");
}

ResidentApp::~ResidentApp() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kStartMs);
    }
}

void ResidentApp::writeSettings(const QByteArray& json) {
    writeFile(configHome() + QStringLiteral("/tessora/settings.json"), json);
}

void ResidentApp::writeDesktopEntry(const QString& id, const QByteArray& contents) {
    writeFile(dataHome() + QStringLiteral("/applications/%1.desktop").arg(id), contents);
}

bool ResidentApp::start(QString* error, const QProcessEnvironment& extra) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_session.display()));
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // No session bus unless the test brings one: a developer's own must not be reached.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    // The test's display is an X11 session of its own, whatever session runs the tests.
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    env.insert(extra);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setReadChannel(QProcess::StandardError);
    m_process.start(m_program, {});
    while (!m_errors.contains("ready")) {
        if (!m_process.waitForReadyRead(kStartMs)) {
            *error = QStringLiteral("tessora did not get ready: ") + QString::fromUtf8(errors());
            return false;
        }
        m_errors += m_process.readAllStandardError();
    }
    return true;
}

std::optional<int> ResidentApp::quit() {
    if (m_process.state() == QProcess::NotRunning) {
        return std::nullopt;
    }
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(kStartMs)) {
        return std::nullopt;
    }
    m_errors += m_process.readAllStandardError();
    if (m_process.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return m_process.exitCode();
}

QByteArray ResidentApp::errors() {
    // Without an event loop the pipe is read only while waiting on it.
    while (m_process.state() == QProcess::Running && m_process.waitForReadyRead(50)) {
    }
    m_errors += m_process.readAllStandardError();
    return m_errors;
}

void ResidentApp::pressShortcut() {
    tapKey(kEscape, {kControlL});
}

void ResidentApp::tapKey(uint32_t keysym, std::initializer_list<uint32_t> modifierKeysyms) {
    // A release and a press of one key within the same millisecond read as the keyboard's
    // auto-repeat: this tap starts after the millisecond in which the last one ended.
    m_session.waitServerTimeAfter(m_lastTap);
    for (uint32_t modifier : modifierKeysyms) {
        m_session.pressKey(m_session.keycodeOf(modifier), true);
    }
    const uint8_t key = m_session.keycodeOf(keysym);
    m_session.pressKey(key, true);
    m_session.pressKey(key, false);
    for (auto it = std::rbegin(modifierKeysyms); it != std::rend(modifierKeysyms); ++it) {
        m_session.pressKey(m_session.keycodeOf(*it), false);
    }
    m_session.sync();
    m_lastTap = m_session.waitServerTimeAfter(0);
}

void ResidentApp::click(int x, int y, uint8_t button) {
    m_session.movePointer(x, y);
    m_session.pressButton(button, true);
    m_session.pressButton(button, false);
    m_session.sync();
}

std::optional<xcb_window_t> ResidentApp::findRole(xcb_window_t parent, const QByteArray& role,
                                                  int depth) {
    xcb_connection_t* c = m_session.connection();
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree) {
        return std::nullopt;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    std::optional<xcb_window_t> found;
    for (int i = 0; i < count && !found; ++i) {
        const QByteArray windowClass = m_session.bytes(children[i], XCB_ATOM_WM_CLASS).toLower();
        if (windowClass.contains("tessora") &&
            m_session.bytes(children[i], m_session.atom("WM_WINDOW_ROLE")) == role) {
            found = children[i];
        } else if (depth > 0) {
            found = findRole(children[i], role, depth - 1);
        }
    }
    std::free(tree);
    return found;
}

std::optional<xcb_window_t> ResidentApp::panelWindow() {
    if (!m_panel) {
        m_panel = windowWithRole("launcher");
    }
    return m_panel;
}

std::optional<xcb_window_t> ResidentApp::windowWithRole(const QByteArray& role) {
    // Window managers put frames around clients one level deep (openbox) or more (icewm).
    return findRole(m_session.root(), role, 3);
}

bool ResidentApp::panelShown() {
    const std::optional<xcb_window_t> panel = panelWindow();
    if (!panel) {
        return false;
    }
    xcb_connection_t* c = m_session.connection();
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, *panel), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable;
}

bool ResidentApp::waitPanelShown() {
    return m_session.waitUntil([this] { return panelShown(); });
}

bool ResidentApp::waitPanelHidden() {
    return m_session.waitUntil([this] { return !panelShown(); });
}

bool ResidentApp::waitPanelActive() {
    xcb_connection_t* c = m_session.connection();
    const xcb_atom_t activeWindow = m_session.atom("_NET_ACTIVE_WINDOW");
    return m_session.waitUntil([&] {
        const std::optional<xcb_window_t> panel = panelWindow();
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, m_session.root(), activeWindow, XCB_ATOM_WINDOW, 0, 1),
            nullptr);
        const bool active =
            panel && reply && xcb_get_property_value_length(reply) == 4 &&
            *static_cast<const xcb_window_t*>(xcb_get_property_value(reply)) == *panel;
        std::free(reply);
        return active;
    });
}

std::optional<QRect> ResidentApp::panelGeometry() {
    const std::optional<xcb_window_t> panel = panelWindow();
    if (!panel) {
        return std::nullopt;
    }
    xcb_connection_t* c = m_session.connection();
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, *panel), nullptr);
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, *panel, m_session.root(), 0, 0), nullptr);
    std::optional<QRect> rect;
    if (geometry && origin) {
        rect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    }
    std::free(geometry);
    std::free(origin);
    return rect;
}

}  // namespace tessora::testing
