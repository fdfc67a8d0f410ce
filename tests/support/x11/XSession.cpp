#include "tests/support/x11/XSession.h"

#include <poll.h>
#include <xcb/xtest.h>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <algorithm>
#include <cstdlib>

namespace tessora::testing {

namespace {

// Generous limits: they end a test that would otherwise hang, they do not time anything.
constexpr int kStartMs = 20000;
constexpr int kWaitRounds = 200;
constexpr int kRoundMs = 50;

}  // namespace

XSession::XSession() = default;

XSession::~XSession() {
    if (m_connection) {
        xcb_disconnect(m_connection);
    }
    for (const auto& program : m_programs) {
        program->kill();
        program->waitForFinished(kStartMs);
    }
    m_programs.clear();
    m_windowManager.kill();
    m_windowManager.waitForFinished(kStartMs);
    m_server.terminate();
    if (!m_server.waitForFinished(kStartMs)) {
        m_server.kill();
        m_server.waitForFinished(kStartMs);
    }
}

void XSession::killServer() {
    m_server.kill();
    m_server.waitForFinished(kStartMs);
}

QString XSession::testClientPath() {
    return QStringLiteral(TESSORA_TESTCLIENT_PATH);
}

bool XSession::start(QString* error, bool withWindowManager) {
    // Xvfb picks a free display and writes its number to the descriptor given.
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), m_screenSize, QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-noreset")});
    while (!m_server.canReadLine()) {
        if (!m_server.waitForReadyRead(kStartMs)) {
            *error = QStringLiteral("Xvfb did not start: ") + m_server.errorString();
            return false;
        }
    }
    m_display = ':' + m_server.readLine().trimmed();

    m_connection = xcb_connect(m_display.constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        *error = QStringLiteral("cannot connect to ") + QString::fromLatin1(m_display);
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, mask);
    if (!withWindowManager) {
        sync();
        return true;
    }

    // Settings in the window manager's private home, written whole before it starts:
    // - fluxbox sets a wallpaper at start, and where that fails a dialog pops up and takes the
    //   focus at a moment of its own: no wallpaper;
    // - icewm keeps Ctrl+Escape (its menu) and Ctrl+Alt+Space for itself; the hot-key tests need
    //   the default shortcut, as a user of icewm who wants it would free it (the taken case has
    //   a test of its own).
    const auto writeSetting = [this](const QString& path, const QByteArray& contents) {
        const QString file = m_home.path() + path;
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(contents);
        }
    };
    writeSetting(QStringLiteral("/.fluxbox/overlay"), "background: none\n");
    writeSetting(QStringLiteral("/.icewm/preferences"), "KeySysMenu=\"\"\nKeySysAddressBar=\"\"\n");
    return startWindowManager(error);
}

bool XSession::startWindowManager(QString* error) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/config"));
    m_windowManager.setProcessEnvironment(env);
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.setStandardErrorFile(QProcess::nullDevice());
    QStringList windowManager =
        qEnvironmentVariable("TESSORA_TEST_WINDOW_MANAGER").split(' ', Qt::SkipEmptyParts);
    if (windowManager.isEmpty()) {
        windowManager = {QStringLiteral("openbox"), QStringLiteral("--sm-disable")};
    }
    // Services the window manager has the session bus start for it (kwin's kglobalaccel) must
    // reach this display; started without one, they fail, and the window manager waits on each
    // attempt with the pointer held.
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        QProcess::execute(QStringLiteral("dbus-update-activation-environment"),
                          {QStringLiteral("DISPLAY=") + QString::fromLatin1(m_display)});
    }
    m_windowManager.start(windowManager.takeFirst(), windowManager);

    // The check window of a window manager that has gone may still be named on the root
    // window: the new one is ready once it names a live one.
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const bool ready = waitUntil([&] {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, check, XCB_ATOM_WINDOW, 0, 1),
            nullptr);
        const bool present = reply && xcb_get_property_value_length(reply) == 4;
        xcb_window_t named = XCB_WINDOW_NONE;
        if (present) {
            named = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        if (!present) {
            return false;
        }
        xcb_get_window_attributes_reply_t* alive = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, named), nullptr);
        std::free(alive);
        return alive != nullptr;
    });
    if (!ready) {
        *error = QStringLiteral("the window manager did not take over the display");
        return false;
    }
    // openbox announces itself before it has finished starting, and may then sleep on a map
    // request it has already read: it is ready once it has managed a window of ours.
    const xcb_window_t probe = xcb_generate_id(m_connection);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(m_connection, probe);
    const xcb_atom_t clients = atom("_NET_CLIENT_LIST");
    auto managed = [&] {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, m_root, clients, XCB_ATOM_WINDOW, 0, 1024), nullptr);
        bool found = false;
        if (reply) {
            const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
            const int count = xcb_get_property_value_length(reply) / 4;
            found = std::find(ids, ids + count, probe) != ids + count;
        }
        std::free(reply);
        return found;
    };
    if (!waitUntil(managed)) {
        *error = QStringLiteral("the window manager does not manage windows");
        return false;
    }
    xcb_destroy_window(m_connection, probe);
    if (!waitUntil([&] { return !managed(); })) {
        *error = QStringLiteral("the window manager does not notice windows that go");
        return false;
    }
    return true;
}

void XSession::stopWindowManager() {
    m_windowManager.terminate();
    if (!m_windowManager.waitForFinished(kStartMs)) {
        m_windowManager.kill();
        m_windowManager.waitForFinished(kStartMs);
    }
}

void XSession::wakeWindowManager() const {
    // A property change on the root window, which openbox watches, makes it read its queue.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_root, XCB_ATOM_CUT_BUFFER7,
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_connection);
}

void XSession::sync() const {
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool XSession::waitUntil(const std::function<bool()>& condition) {
    for (int round = 0; round < kWaitRounds; ++round) {
        sync();
        if (condition()) {
            return true;
        }
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            std::free(event);
        }
        if (poll(&fd, 1, kRoundMs) == 0) {
            wakeWindowManager();
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            std::free(event);
        }
    }
    return condition();
}

bool XSession::waitForEvent(const std::function<bool(const xcb_generic_event_t&)>& matches) {
    xcb_flush(m_connection);
    for (int round = 0; round < kWaitRounds; ++round) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const bool found = matches(*event);
            std::free(event);
            if (found) {
                return true;
            }
        }
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        if (poll(&fd, 1, kRoundMs) == 0) {
            wakeWindowManager();
        }
    }
    return false;
}

QProcess* XSession::run(const QString& program, const QStringList& arguments,
                        const QProcessEnvironment& environment) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.insert(environment);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    m_programs.push_back(std::move(process));
    return m_programs.back().get();
}

std::vector<xcb_window_t> XSession::startClient(const QStringList& arguments) {
    QProcess* client = run(testClientPath(), arguments);
    for (int round = 0; !client->canReadLine(); ++round) {
        if (!client->waitForReadyRead(kRoundMs)) {
            wakeWindowManager();
        }
        if (round == kWaitRounds) {
            qWarning() << "test client not ready:" << client->state() << client->error()
                       << client->readAllStandardOutput();
            return {};
        }
    }
    const QList<QByteArray> words = client->readLine().trimmed().split(' ');
    std::vector<xcb_window_t> windows;
    for (qsizetype i = 1; words.front() == "ready" && i < words.size(); ++i) {
        windows.push_back(words[i].toUInt());
    }
    return windows;
}

xcb_atom_t XSession::atom(const char* name) const {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(qstrlen(name)), name),
        nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

std::vector<uint32_t> XSession::cardinals(xcb_window_t window, const char* name) const {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, atom(name), XCB_ATOM_ANY, 0, 1024),
        nullptr);
    std::vector<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

QByteArray XSession::bytes(xcb_window_t window, xcb_atom_t name) const {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr);
    QByteArray value;
    if (reply) {
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return value;
}

void XSession::clientMessage(xcb_window_t window, xcb_atom_t type, std::vector<uint32_t> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    data.resize(5);
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

void XSession::minimize(xcb_window_t window) {
    clientMessage(window, atom("WM_CHANGE_STATE"), {3});  // IconicState
}

void XSession::move(xcb_window_t window, int x, int y) {
    // North-west gravity, x and y given, from a pager.
    clientMessage(window, atom("_NET_MOVERESIZE_WINDOW"),
                  {1 | (1u << 8) | (1u << 9) | (2u << 12), static_cast<uint32_t>(x),
                   static_cast<uint32_t>(y), 0, 0});
}

void XSession::setFullScreen(xcb_window_t window) {
    clientMessage(window, atom("_NET_WM_STATE"), {1, atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
}

void XSession::setMaximized(xcb_window_t window, bool maximized) {
    clientMessage(window, atom("_NET_WM_STATE"),
                  {maximized ? 1u : 0u, atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                   atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2});
}

void XSession::moveToDesktop(xcb_window_t window, uint32_t desktop) {
    // Some window managers start with a single desktop (kwin): a pager asks for more first.
    const xcb_atom_t count = atom("_NET_NUMBER_OF_DESKTOPS");
    const auto desktops = [&] {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, count, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        uint32_t value = 0;
        if (reply && xcb_get_property_value_length(reply) == 4) {
            value = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        return value;
    };
    if (desktops() <= desktop) {
        clientMessage(m_root, count, {desktop + 1});
        waitUntil([&] { return desktops() > desktop; });
    }
    clientMessage(window, atom("_NET_WM_DESKTOP"), {desktop, 2});
}

void XSession::switchToDesktop(uint32_t desktop) {
    clientMessage(m_root, atom("_NET_CURRENT_DESKTOP"), {desktop, XCB_CURRENT_TIME});
}

void XSession::activate(xcb_window_t window) {
    // As a pager acting for the user, stamped with the server's time now: window managers with
    // focus-stealing prevention (xfwm4) refuse requests without a time.
    const xcb_timestamp_t now = waitServerTimeAfter(XCB_CURRENT_TIME);
    clientMessage(window, atom("_NET_ACTIVE_WINDOW"), {2, now, 0});
}

void XSession::pressKey(uint8_t keycode, bool down) {
    xcb_test_fake_input(m_connection, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode,
                        XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(m_connection);
}

void XSession::pressButton(uint8_t button, bool down) {
    xcb_test_fake_input(m_connection, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, button,
                        XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(m_connection);
}

void XSession::movePointer(int x, int y) {
    xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root,
                        static_cast<int16_t>(x), static_cast<int16_t>(y), 0);
    xcb_flush(m_connection);
}

xcb_timestamp_t XSession::waitServerTimeAfter(xcb_timestamp_t time) {
    // A zero-length append to a root property is a no-op that the server stamps with its time.
    for (;;) {
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_root, XCB_ATOM_CUT_BUFFER6,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(m_connection);
        xcb_timestamp_t now = XCB_CURRENT_TIME;
        while (now == XCB_CURRENT_TIME) {
            xcb_generic_event_t* event = xcb_wait_for_event(m_connection);
            if (!event) {
                return time;  // the server is gone
            }
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (notify->atom == XCB_ATOM_CUT_BUFFER6) {
                    now = notify->time;
                }
            }
            std::free(event);
        }
        if (now != time) {
            return now;
        }
    }
}

uint8_t XSession::keycodeOf(uint32_t keysym) const {
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const uint8_t first = setup->min_keycode;
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - first + 1);
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, first, count), nullptr);
    if (!mapping) {
        return 0;
    }
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping);
    const int perKey = mapping->keysyms_per_keycode;
    uint8_t found = 0;
    for (int key = 0; key < count && found == 0; ++key) {
        for (int i = 0; i < perKey; ++i) {
            if (symbols[key * perKey + i] == keysym) {
                found = static_cast<uint8_t>(first + key);
                break;
            }
        }
    }
    std::free(mapping);
    return found;
}

}  // namespace tessora::testing
