#include "platform/x11/X11Screens.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11PropertyReader.h"
#include "platform/x11/X11WindowFacts.h"

#include <xcb/randr.h>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tessora::x11 {

namespace {

template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> own(Reply* reply) {
    return {reply, &std::free};
}

// The work area of `monitor` among `areas` (which may each span several monitors or cover one).
QRect pickWorkArea(const QRect& monitor, const QList<QRect>& areas) {
    QRect best;
    qint64 bestArea = 0;
    for (const QRect& area : areas) {
        const QRect overlap = area.intersected(monitor);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (size > bestArea) {
            best = overlap;
            bestArea = size;
        }
    }
    return bestArea > 0 ? best : monitor;
}

QList<QRect> rectsOf(const std::vector<uint32_t>& values) {
    QList<QRect> rects;
    for (std::size_t i = 0; i + 3 < values.size(); i += 4) {
        const QRect rect(static_cast<int>(values[i]), static_cast<int>(values[i + 1]),
                         static_cast<int>(values[i + 2]), static_cast<int>(values[i + 3]));
        if (rect.isValid()) {
            rects << rect;
        }
    }
    return rects;
}

}  // namespace

X11Screens::X11Screens(X11Connection& connection) : m_connection(connection) {
    xcb_connection_t* c = connection.get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_randr_id);
    if (!extension || !extension->present) {
        return;
    }
    auto version = own(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    if (!version || (version->major_version == 1 && version->minor_version < 5)) {
        qCDebug(lcX11) << "RandR 1.5 is missing; the screen is one monitor";
        return;
    }
    m_randr = true;
    m_eventBase = extension->first_event;
    xcb_randr_select_input(c, connection.root(),
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
    xcb_flush(c);
}

bool X11Screens::isChange(const xcb_generic_event_t& event) const {
    if (!m_randr) {
        return false;
    }
    const uint8_t type = event.response_type & 0x7f;
    return type == m_eventBase + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
           type == m_eventBase + XCB_RANDR_NOTIFY;
}

quint32 X11Screens::numberForName(const QString& name) {
    quint32 hash = 2166136261u;
    for (const char byte : name.toUtf8()) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    return hash;
}

QList<Monitor> X11Screens::readMonitors() const {
    xcb_connection_t* c = m_connection.get();
    const QRect whole(0, 0, m_connection.screen()->width_in_pixels,
                      m_connection.screen()->height_in_pixels);
    QList<Monitor> monitors;
    if (m_randr) {
        auto reply = own(m_connection.reply(&xcb_randr_get_monitors_reply,
                                            xcb_randr_get_monitors(c, m_connection.root(), 1)));
        if (reply) {
            std::vector<xcb_get_atom_name_cookie_t> names;
            xcb_randr_monitor_info_iterator_t it =
                xcb_randr_get_monitors_monitors_iterator(reply.get());
            for (; it.rem > 0; xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t* info = it.data;
                Monitor monitor;
                monitor.frame = QRect(info->x, info->y, info->width, info->height);
                monitor.primary = info->primary != 0;
                if (xcb_randr_monitor_info_outputs_length(info) > 0) {
                    monitor.number = xcb_randr_monitor_info_outputs(info)[0];
                }
                names.push_back(xcb_get_atom_name(c, info->name));
                m_connection.expectReply(names.back().sequence);
                monitors << monitor;
            }
            for (qsizetype i = 0; i < monitors.size(); ++i) {
                if (auto name =
                        own(m_connection.reply(&xcb_get_atom_name_reply, names[std::size_t(i)]))) {
                    monitors[i].name =
                        QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                            xcb_get_atom_name_name_length(name.get()));
                }
                if (monitors[i].number == 0) {
                    monitors[i].number = numberForName(monitors[i].name);
                }
            }
        }
    }
    monitors.removeIf([](const Monitor& m) { return m.frame.isEmpty(); });
    if (monitors.isEmpty()) {
        monitors << Monitor{0, QStringLiteral("screen"), whole, whole, true};
    }
    std::stable_partition(monitors.begin(), monitors.end(),
                          [](const Monitor& m) { return m.primary; });
    monitors.front().primary = true;
    return monitors;
}

QList<QRect> X11Screens::workAreas() const {
    xcb_connection_t* c = m_connection.get();
    const Atoms& atoms = m_connection.atoms();
    const PropertyReader reader(m_connection);
    const std::optional<uint32_t> desktop = reader.cardinal(reader.requestCardinals(
        m_connection.root(), atoms._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1));
    if (desktop && *desktop < 1024) {
        // Interned once per desktop, the first time the screens are read on it.
        auto known = m_workAreaAtoms.constFind(*desktop);
        if (known == m_workAreaAtoms.constEnd()) {
            const QByteArray name = "_GTK_WORKAREAS_D" + QByteArray::number(*desktop);
            known = m_workAreaAtoms.insert(*desktop, internAtom(c, name.constData()));
        }
        const xcb_atom_t gtkAreas = *known;
        if (gtkAreas != XCB_ATOM_NONE) {
            if (auto values = reader.cardinals(
                    reader.requestCardinals(m_connection.root(), gtkAreas, XCB_ATOM_CARDINAL))) {
                if (QList<QRect> areas = rectsOf(*values); !areas.isEmpty()) {
                    return areas;
                }
            }
        }
    }
    if (auto values = reader.cardinals(
            reader.requestCardinals(m_connection.root(), atoms._NET_WORKAREA, XCB_ATOM_CARDINAL))) {
        const QList<QRect> perDesktop = rectsOf(*values);
        const qsizetype index = desktop ? qsizetype(*desktop) : 0;
        if (index < perDesktop.size()) {
            return {perDesktop[index]};
        }
    }
    return {};
}

QList<std::vector<uint32_t>> X11Screens::dockStruts() const {
    const Atoms& atoms = m_connection.atoms();
    const PropertyReader reader(m_connection);
    const std::optional<std::vector<uint32_t>> clients = reader.cardinals(
        reader.requestCardinals(m_connection.root(), atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW));
    if (!clients) {
        return {};
    }
    std::vector<std::pair<PendingProperty, PendingProperty>> pending;
    for (const uint32_t window : *clients) {
        pending.emplace_back(
            reader.requestCardinals(window, atoms._NET_WM_STRUT_PARTIAL, XCB_ATOM_CARDINAL, 12),
            reader.requestCardinals(window, atoms._NET_WM_STRUT, XCB_ATOM_CARDINAL, 4));
    }
    QList<std::vector<uint32_t>> struts;
    for (const auto& [partial, plain] : pending) {
        std::optional<std::vector<uint32_t>> values = reader.cardinals(partial);
        const std::optional<std::vector<uint32_t>> old = reader.cardinals(plain);
        if (!values || values->size() != 12) {
            values = old;
        }
        if (values && (values->size() == 12 || values->size() == 4)) {
            struts << *values;
        }
    }
    return struts;
}

QRect X11Screens::lessStruts(const QRect& monitor, const QList<std::vector<uint32_t>>& struts,
                             const QSize& rootSize) {
    int left = monitor.left(), top = monitor.top();
    int right = monitor.left() + monitor.width(), bottom = monitor.top() + monitor.height();
    for (const std::vector<uint32_t>& s : struts) {
        const bool partial = s.size() == 12;
        // The range along the edge that the strut covers; the whole edge for plain struts.
        auto range = [&](std::size_t start, int whole) {
            return partial ? std::pair<qint64, qint64>(s[start], s[start + 1])
                           : std::pair<qint64, qint64>(0, whole - 1);
        };
        auto overlaps = [](std::pair<qint64, qint64> r, int from, int to) {
            return r.first < to && r.second >= from;
        };
        if (s[0] > 0 &&
            overlaps(range(4, rootSize.height()), monitor.top(), monitor.bottom() + 1) &&
            qint64(s[0]) > monitor.left()) {
            left = std::max<qint64>(left, std::min<qint64>(s[0], right));
        }
        if (s[1] > 0 &&
            overlaps(range(6, rootSize.height()), monitor.top(), monitor.bottom() + 1) &&
            rootSize.width() - qint64(s[1]) < right) {
            right =
                std::min<qint64>(right, std::max<qint64>(rootSize.width() - qint64(s[1]), left));
        }
        if (s[2] > 0 && overlaps(range(8, rootSize.width()), monitor.left(), monitor.right() + 1) &&
            qint64(s[2]) > monitor.top()) {
            top = std::max<qint64>(top, std::min<qint64>(s[2], bottom));
        }
        if (s[3] > 0 &&
            overlaps(range(10, rootSize.width()), monitor.left(), monitor.right() + 1) &&
            rootSize.height() - qint64(s[3]) < bottom) {
            bottom =
                std::min<qint64>(bottom, std::max<qint64>(rootSize.height() - qint64(s[3]), top));
        }
    }
    return QRect(left, top, right - left, bottom - top);
}

QList<Monitor> X11Screens::monitors() const {
    if (m_connection.broken()) {
        return {};
    }
    QList<Monitor> monitors = readMonitors();
    const QList<QRect> areas = workAreas();
    QList<std::vector<uint32_t>> struts;
    if (areas.isEmpty()) {
        struts = dockStruts();
    }
    const QSize rootSize(m_connection.screen()->width_in_pixels,
                         m_connection.screen()->height_in_pixels);
    for (Monitor& monitor : monitors) {
        monitor.visibleFrame = areas.isEmpty() ? lessStruts(monitor.frame, struts, rootSize)
                                               : pickWorkArea(monitor.frame, areas);
    }
    return monitors;
}

}  // namespace tessora::x11
