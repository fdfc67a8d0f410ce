#include "platform/x11/X11WindowSystem.h"

#include "platform/UnavailableWindowSystem.h"
#include "platform/x11/ClientLists.h"
#include "platform/x11/EntryLauncher.h"
#include "platform/x11/GlobalInput.h"
#include "platform/x11/HotKeyGrabs.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11KeyboardHold.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11OwnWindows.h"
#include "platform/x11/X11PointerWatch.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowFacts.h"

#include <xcb/xcb.h>
#include <QSet>
#include <algorithm>
#include <cstdlib>

namespace tessora {

using namespace x11;

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr uint32_t kSourcePager = 2;  // a pager or similar tool acting for the user

bool contains(const std::optional<std::vector<uint32_t>>& atoms, xcb_atom_t atom) {
    return atoms && std::find(atoms->begin(), atoms->end(), atom) != atoms->end();
}

}  // namespace

bool isWaylandSession(const QByteArray& sessionType, const QByteArray& waylandDisplay) {
    return sessionType.trimmed().toLower() == "wayland" || !waylandDisplay.isEmpty();
}

bool X11WindowSystem::displayReachable(const QByteArray& display) {
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

std::unique_ptr<X11WindowSystem> X11WindowSystem::open(Clock& clock, X11Options options,
                                                       QString* reason) {
    QString unavailable;
    std::unique_ptr<X11Connection> connection = X11Connection::open(options.display, &unavailable);
    if (!connection) {
        // The reason goes back to the caller, who tells the user; the log only keeps a trace.
        qCDebug(lcX11).noquote() << unavailable;
        if (reason) {
            *reason = unavailable;
        }
        return nullptr;
    }
    if (!options.waylandSession) {
        options.waylandSession =
            isWaylandSession(qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"));
    }
    std::unique_ptr<X11WindowSystem> system(
        new X11WindowSystem(clock, std::move(options), std::move(connection)));
    QString why;
    if (!system->canControlWindows(&why)) {
        qCDebug(lcX11).noquote() << why;
    }
    if (reason) {
        *reason = why;
    }
    return system;
}

std::unique_ptr<WindowSystem> X11WindowSystem::connect(QString* reason, Clock& clock,
                                                       X11Options options) {
    QString why;
    std::unique_ptr<X11WindowSystem> system = open(clock, std::move(options), &why);
    if (reason) {
        *reason = why;
    }
    if (system) {
        return system;
    }
    return std::make_unique<UnavailableWindowSystem>(why);
}

X11WindowSystem::X11WindowSystem(Clock& clock, X11Options options, std::unique_ptr<X11Connection> c)
    : m_clock(clock),
      m_options(std::move(options)),
      m_connection(std::move(c)),
      m_points(m_options.pixelRatio) {
    refreshApplications();
    m_keyboard = std::make_unique<Keyboard>(*m_connection);
    m_launcher = std::make_unique<EntryLauncher>();
    m_screens = std::make_unique<X11Screens>(*m_connection);
    m_input = std::make_unique<GlobalInput>(*m_connection, *m_keyboard, m_points);
    m_ownWindows = std::make_unique<OwnWindows>(*m_connection);
    m_ownWindows->onStateChange = [this](xcb_window_t window) {
        emit ownWindowStateChanged(window);
    };
    m_pointerWatch = std::make_unique<PointerWatch>(
        *m_connection, [this](int x, int y) { return m_points.toPoints(x, y); });
    m_keyboardHold = std::make_unique<KeyboardHold>(*m_connection, *m_keyboard);
    m_keyboardHold->setPassOver([this](const xcb_generic_event_t& event) {
        return m_hotKeys && m_hotKeys->matches(event);
    });
    m_connection->onEvent = [this](const xcb_generic_event_t& event) { handleEvent(event); };
    screens();  // learns the primary monitor's origin
}

X11WindowSystem::~X11WindowSystem() {
    for (const Launch& launch : m_launches) {
        m_clock.cancel(launch.endTimer);
    }
    m_input.reset();
    m_connection->onEvent = nullptr;
}

void X11WindowSystem::refreshApplications() {
    if (!m_options.knownEntries) {
        return;
    }
    if (std::optional<QList<KnownEntry>> entries = m_options.knownEntries()) {
        useEntries(std::move(*entries));
    }
}

void X11WindowSystem::setDesktopEntries(const QList<DesktopEntryFile>& files) {
    QList<KnownEntry> entries;
    entries.reserve(files.size());
    for (const DesktopEntryFile& file : files) {
        if (file.entry) {
            entries.append(KnownEntry::fromEntry(file.id, file.path, *file.entry));
        }
    }
    useEntries(std::move(entries));
}

void X11WindowSystem::useEntries(QList<KnownEntry> entries) {
    if (entries == m_knownEntries) {
        return;  // unchanged: the windows keep their matches
    }
    m_knownEntries = std::move(entries);
    m_matcher.setEntries(m_knownEntries);
    m_matches.clear();
}

Traffic X11WindowSystem::traffic() {
    return m_connection->traffic();
}

bool X11WindowSystem::canControlWindows(QString* reason) const {
    QString why;
    if (m_connection->broken()) {
        why = QStringLiteral("The connection to the X11 display was lost.");
    } else if (m_options.waylandSession.value_or(false)) {
        why = QStringLiteral(
            "This is a Wayland session: its X11 display (XWayland) reaches only the windows of "
            "X11 applications, not those of Wayland ones. Log in to an X11 session to arrange "
            "windows.");
    } else if (!m_connection->windowManagerCheck()) {
        why = QStringLiteral(
            "No window manager that follows the EWMH conventions is running on this X11 "
            "display, so windows cannot be moved.");
    }
    if (reason) {
        *reason = why;
    }
    return why.isEmpty();
}

void X11WindowSystem::handleEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) == XCB_MAPPING_NOTIFY) {
        // Before the hot keys and the grabs, which follow the new map through the keyboard.
        m_keyboard->follow(reinterpret_cast<const xcb_mapping_notify_event_t&>(event));
    }
    // First: it notes the time of every input, also of inputs that others take.
    if (m_ownWindows->handle(event)) {
        return;
    }
    if (handleFrameEvent(event)) {
        return;
    }
    if (m_hotKeys && m_hotKeys->handle(event)) {
        return;
    }
    // Before the global grabs, which take every key event on the root window.
    if (m_keyboardHold->handle(event)) {
        return;
    }
    if (m_pointerWatch->handle(event)) {
        return;
    }
    if (m_input->handle(event)) {
        return;
    }
    if (m_screens->isChange(event)) {
        screens();
        emit screensChanged();
        return;
    }
    if ((event.response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window != m_connection->root()) {
            return;
        }
        if (notify.atom == m_connection->atoms()._NET_ACTIVE_WINDOW) {
            emit activeWindowChanged();
        } else if (notify.atom == m_connection->atoms()._NET_CURRENT_DESKTOP) {
            emit currentDesktopChanged();
        } else if (notify.atom == m_connection->atoms()._NET_CLIENT_LIST &&
                   std::any_of(m_launches.begin(), m_launches.end(),
                               [](const Launch& launch) { return !launch.shown; })) {
            // A window that appears and goes again between two reads still ends its
            // application's startup.
            if (const std::optional<QList<Client>> all = clients(0, false)) {
                noteShownLaunches(*all);
            }
        }
    }
}

// --- reading

std::optional<std::vector<uint32_t>> X11WindowSystem::rootWindows(xcb_atom_t property) const {
    const PropertyReader reader(*m_connection);
    return reader.cardinals(
        reader.requestCardinals(m_connection->root(), property, XCB_ATOM_WINDOW));
}

std::optional<uint32_t> X11WindowSystem::rootCardinal(xcb_atom_t property, xcb_atom_t type) const {
    const PropertyReader reader(*m_connection);
    return reader.cardinal(reader.requestCardinals(m_connection->root(), property, type, 1));
}

std::optional<WindowFacts> X11WindowSystem::facts(WindowId window, unsigned what) const {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    std::vector<WindowFacts> read =
        readWindowFacts(*m_connection, {static_cast<xcb_window_t>(window)}, what);
    learnFrames(read, what);
    if (read.empty() || !read.front().exists) {
        return std::nullopt;
    }
    return read.front();
}

ApplicationMatch X11WindowSystem::applicationOf(const WindowFacts& facts) const {
    const auto cached = m_matches.constFind(facts.window);
    if (cached != m_matches.constEnd() && cached->pid == facts.pid) {
        return cached->match;
    }
    const ApplicationMatch match = m_matcher.match(facts);
    m_matches.insert(facts.window, {facts.pid, match});
    return match;
}

std::optional<QList<X11WindowSystem::Client>> X11WindowSystem::clients(unsigned what,
                                                                       bool stacking) const {
    const Atoms& atoms = m_connection->atoms();
    if (!stacking) {
        const std::optional<std::vector<uint32_t>> list = rootWindows(atoms._NET_CLIENT_LIST);
        if (!list) {
            return std::nullopt;
        }
        return clientsOf(*list, what);
    }
    const PropertyReader reader(*m_connection);
    const xcb_window_t root = m_connection->root();
    const PendingProperty stackingList =
        reader.requestCardinals(root, atoms._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW);
    const PendingProperty clientList =
        reader.requestCardinals(root, atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW);
    const std::optional<std::vector<uint32_t>> stacked =
        stackedClients(reader.cardinals(stackingList), reader.cardinals(clientList));
    if (!stacked) {
        return std::nullopt;
    }
    return clientsOf(*stacked, what);
}

QList<X11WindowSystem::Client> X11WindowSystem::clientsOf(const std::vector<uint32_t>& list,
                                                          unsigned what) const {
    const std::vector<WindowFacts> read = readWindowFacts(*m_connection, list, what | kIdentity);
    learnFrames(read, what | kIdentity);
    QList<Client> result;
    QSet<WindowId> present;
    for (const WindowFacts& facts : read) {
        if (!facts.exists) {
            continue;  // gone since the list was read
        }
        present.insert(facts.window);
        result.append(Client{facts, applicationOf(facts)});
    }
    // Both lists hold every managed window, only in another order.
    m_matches.removeIf([&](const auto& it) { return !present.contains(it.key()); });
    m_frameRequests.keepOnly({list.begin(), list.end()});
    return result;
}

bool X11WindowSystem::isNormalLayer(const WindowFacts& facts) const {
    const Atoms& atoms = m_connection->atoms();
    return !contains(facts.types, atoms._NET_WM_WINDOW_TYPE_DOCK) &&
           !contains(facts.types, atoms._NET_WM_WINDOW_TYPE_DESKTOP);
}

WindowRect X11WindowSystem::toWindowSpace(const QRect& r) const {
    return m_points.toPoints(r);
}

QPoint X11WindowSystem::fromWindowSpace(double x, double y) const {
    return m_points.toPixels(x, y);
}

// --- windows of an application

std::optional<QList<WindowId>> X11WindowSystem::windows(const RunningApplication& app) const {
    const std::optional<QList<Client>> all = clients(0, false);
    if (!all) {
        return std::nullopt;
    }
    QList<WindowId> result;
    for (const Client& client : *all) {
        if (client.app.id == app.id) {
            result.append(client.facts.window);
        }
    }
    return result;
}

std::optional<WindowFacts> X11WindowSystem::activeWindowFacts() const {
    const std::optional<uint32_t> active =
        rootCardinal(m_connection->atoms()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW);
    if (!active || *active == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    return facts(*active, kIdentity);
}

std::optional<WindowId> X11WindowSystem::focusedWindow(const RunningApplication& app) const {
    const std::optional<WindowFacts> active = activeWindowFacts();
    if (!active || applicationOf(*active).id != app.id) {
        return std::nullopt;
    }
    return active->window;
}

std::optional<WindowId> X11WindowSystem::mainWindow(const RunningApplication& app) const {
    const std::optional<QList<Client>> stack = clients(0, true);
    if (!stack) {
        return std::nullopt;
    }
    for (auto it = stack->crbegin(); it != stack->crend(); ++it) {
        if (it->app.id == app.id) {
            return WindowId{it->facts.window};
        }
    }
    return std::nullopt;
}

// --- one window

std::optional<bool> X11WindowSystem::isStandardWindow(WindowId window) const {
    const std::optional<WindowFacts> read = facts(window, kKind);
    if (!read) {
        return std::nullopt;
    }
    // A window may list several types, the preferred first: Qt puts a KDE type of its own
    // before the standard one, so the list is searched rather than its head taken.
    if (read->types && !read->types->empty()) {
        return contains(read->types, m_connection->atoms()._NET_WM_WINDOW_TYPE_NORMAL) &&
               !contains(read->types, m_connection->atoms()._NET_WM_WINDOW_TYPE_DIALOG);
    }
    return !read->transient;
}

std::optional<bool> X11WindowSystem::isMinimized(WindowId window) const {
    const std::optional<WindowFacts> read = facts(window, kState);
    if (!read) {
        return std::nullopt;
    }
    return read->iconic || contains(read->states, m_connection->atoms()._NET_WM_STATE_HIDDEN);
}

std::optional<bool> X11WindowSystem::isFullScreen(WindowId window) const {
    const std::optional<WindowFacts> read = facts(window, kState);
    if (!read) {
        return std::nullopt;
    }
    return contains(read->states, m_connection->atoms()._NET_WM_STATE_FULLSCREEN);
}

std::optional<WindowRect> X11WindowSystem::frame(WindowId window) const {
    // The states come along: a write that follows knows whether it must end them first.
    const std::optional<WindowFacts> read = facts(window, kGeometry | kState);
    if (!read || !read->visibleRect()) {
        return std::nullopt;
    }
    return toWindowSpace(*read->visibleRect());
}

void X11WindowSystem::raise(WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return;
    }
    const auto w = static_cast<xcb_window_t>(window);
    if (!m_restackSupported) {
        m_restackSupported = m_connection->supports(m_connection->atoms()._NET_RESTACK_WINDOW);
    }
    if (*m_restackSupported) {
        const uint32_t data[5] = {kSourcePager, XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0, 0};
        m_connection->sendRootMessage(w, m_connection->atoms()._NET_RESTACK_WINDOW, data);
        return;
    }
    // A window manager intercepts this as a ConfigureRequest and restacks the frame.
    const uint32_t above[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(m_connection->get(), w, XCB_CONFIG_WINDOW_STACK_MODE, above);
    m_connection->flushLater();
}

void X11WindowSystem::focus(const RunningApplication&, WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return;
    }
    const xcb_timestamp_t time = m_connection->serverTime();
    const uint32_t data[5] = {kSourcePager, time, XCB_WINDOW_NONE, 0, 0};
    m_connection->sendRootMessage(static_cast<xcb_window_t>(window),
                                  m_connection->atoms()._NET_ACTIVE_WINDOW, data);
    raise(window);
}

bool X11WindowSystem::isAlive(WindowId window) const {
    const std::optional<std::vector<uint32_t>> list =
        rootWindows(m_connection->atoms()._NET_CLIENT_LIST);
    return list && std::find(list->begin(), list->end(), window) != list->end() &&
           facts(window, 0).has_value();
}

bool X11WindowSystem::isGone(WindowId window) const {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return true;
    }
    // A window manager takes WM_STATE away, or sets it to withdrawn, when the client withdraws
    // its window; one that exits leaves it on the windows it managed, for the next one to take
    // over. A window that is destroyed has no properties left to read.
    constexpr uint32_t kWithdrawnState = 0;
    const PropertyReader reader(*m_connection);
    const std::optional<uint32_t> state = reader.cardinal(
        reader.requestCardinals(static_cast<xcb_window_t>(window), m_connection->atoms().WM_STATE,
                                m_connection->atoms().WM_STATE, 1));
    return !state || *state == kWithdrawnState;
}

// --- the desktop

QList<OnScreenWindow> X11WindowSystem::onScreenWindows() const {
    QList<OnScreenWindow> result;
    const std::optional<WindowListing> listing = listWindows();
    if (!listing) {
        return result;
    }
    for (const ListedWindow& listed : listing->windows) {
        if (listed.onScreen && listed.frame) {
            result.append(OnScreenWindow{listed.window, listed.pid, listed.appId,
                                         listed.normalLayer, *listed.frame});
        }
    }
    return result;
}

std::optional<WindowListing> X11WindowSystem::listWindows() const {
    // The four root properties share one round trip, the facts of the windows another.
    const Atoms& atoms = m_connection->atoms();
    const xcb_window_t root = m_connection->root();
    const PropertyReader reader(*m_connection);
    const PendingProperty stackingList =
        reader.requestCardinals(root, atoms._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW);
    const PendingProperty clientList =
        reader.requestCardinals(root, atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW);
    const PendingProperty activeWindow =
        reader.requestCardinals(root, atoms._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    const PendingProperty currentDesktop =
        reader.requestCardinals(root, atoms._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);
    const std::optional<std::vector<uint32_t>> stacking =
        stackedClients(reader.cardinals(stackingList), reader.cardinals(clientList));
    const std::optional<uint32_t> active = reader.cardinal(activeWindow);
    const std::optional<uint32_t> current = reader.cardinal(currentDesktop);
    if (!stacking) {
        return std::nullopt;
    }
    const QList<Client> clients = clientsOf(*stacking, kKind | kState | kPlacement | kGeometry);
    WindowListing listing;
    for (auto it = clients.crbegin(); it != clients.crend(); ++it) {  // bottom to top
        const WindowFacts& f = it->facts;
        const bool onCurrent =
            !f.desktop || *f.desktop == kAllDesktops || !current || *f.desktop == *current;
        ListedWindow listed;
        listed.window = f.window;
        listed.pid = f.pid.value_or(0);
        listed.appId = it->app.id;
        listed.onScreen = f.viewable && onCurrent;
        listed.onCurrentDesktop = onCurrent;
        listed.minimized = f.iconic || contains(f.states, atoms._NET_WM_STATE_HIDDEN);
        listed.normalLayer = isNormalLayer(f);
        if (const std::optional<QRect> visible = f.visibleRect()) {
            listed.frame = toWindowSpace(*visible);
        }
        listing.windows.append(listed);
    }
    if (active && *active != XCB_WINDOW_NONE) {
        listing.active = WindowId{*active};
    }
    return listing;
}

QList<Screen> X11WindowSystem::screens() const {
    QList<Screen> result;
    const QList<Monitor> monitors = m_screens->monitors();
    if (monitors.isEmpty()) {
        return result;  // the connection broke
    }
    m_points.setOrigin(monitors.front().frame.topLeft());
    for (const Monitor& monitor : monitors) {
        result.append(Screen{monitor.number, toWindowSpace(monitor.frame),
                             toWindowSpace(monitor.visibleFrame)});
    }
    return result;
}

std::optional<QPointF> X11WindowSystem::pointerLocation() const {
    xcb_connection_t* c = m_connection->get();
    xcb_query_pointer_reply_t* reply =
        m_connection->reply(&xcb_query_pointer_reply, xcb_query_pointer(c, m_connection->root()));
    if (!reply) {
        return std::nullopt;
    }
    const QPointF location = m_points.toPoints(reply->root_x, reply->root_y);
    std::free(reply);
    return location;
}

// --- global input

std::unique_ptr<InputGrab> X11WindowSystem::grabOptionScroll(
    ScrollGrabRule rule, std::function<void(const ScrollInput&)> handler) {
    return m_input->grabScroll(rule, std::move(handler));
}

std::unique_ptr<InputGrab> X11WindowSystem::grabCycleKeys(
    std::function<void(const KeyStroke&)> handler) {
    return m_input->grabKeys(std::move(handler));
}

KeyStroke X11WindowSystem::keyStroke(int qtKey, Qt::KeyboardModifiers modifiers,
                                     quint32 nativeScanCode) const {
    // Events that Qt made up (keys handed over from a hold) carry no scan code.
    if (nativeScanCode < 8 || nativeScanCode > 255) {
        return WindowSystem::keyStroke(qtKey, modifiers, nativeScanCode);
    }
    const Keysym key = m_keyboard->key(static_cast<xcb_keycode_t>(nativeScanCode));
    if (key == keysym::none) {
        return WindowSystem::keyStroke(qtKey, modifiers, nativeScanCode);
    }
    return KeyStroke{key, keyModifiers(modifiers)};
}

}  // namespace tessora
