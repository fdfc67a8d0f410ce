#pragma once

#include <xcb/xcb.h>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

namespace tessora::x11 {

class X11Connection;

// A monitor in root coordinates.
struct Monitor {
    quint32 number = 0;
    QString name;
    QRect frame;
    QRect visibleFrame;  // less panels and docks
    bool primary = false;
};

// The monitors of the screen from RandR (1.5 monitors, so that `xrandr --setmonitor` splits
// count), and their work areas: _GTK_WORKAREAS_D<n> where the desktop publishes it, else
// _NET_WORKAREA clipped to each monitor, else each monitor less the struts of dock windows.
class X11Screens {
public:
    explicit X11Screens(X11Connection& connection);

    // Primary first; never empty while the connection lives (the whole root window when RandR
    // has nothing to say), empty once it broke.
    QList<Monitor> monitors() const;

    // Whether the event tells that the monitors changed.
    bool isChange(const xcb_generic_event_t& event) const;

    // The number of a monitor without outputs: a stable hash (FNV-1a) of its name.
    static quint32 numberForName(const QString& name);
    // The part of `monitor` not covered by the struts (left, right, top, bottom, then the
    // start/end ranges of _NET_WM_STRUT_PARTIAL) of dock windows on a root of `rootSize`.
    static QRect lessStruts(const QRect& monitor, const QList<std::vector<uint32_t>>& struts,
                            const QSize& rootSize);

private:
    QList<Monitor> readMonitors() const;
    QList<QRect> workAreas() const;
    QList<std::vector<uint32_t>> dockStruts() const;

    X11Connection& m_connection;
    mutable QHash<uint32_t, xcb_atom_t> m_workAreaAtoms;  // _GTK_WORKAREAS_D<n> by desktop
    bool m_randr = false;
    uint8_t m_eventBase = 0;
};

}  // namespace tessora::x11
