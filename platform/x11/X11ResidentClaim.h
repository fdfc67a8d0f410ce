#pragma once

#include <xcb/xcb.h>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tessora::x11 {

class X11Connection;

// One resident Tessora per display, whether or not a session bus is there: the resident owns
// the selection "_TESSORA_RESIDENT_S<screen>" of its screen, as a window manager owns "WM_S<n>"
// and a compositor "_NET_WM_CM_S<n>". A later start finds it owned and sends the owner's window
// a _TESSORA_SHOW_LAUNCHER client message instead of starting a second resident. The X server
// lets go of the selection when the owner's connection closes, however the owner ends, so no
// stale claim outlives it.
class X11ResidentClaim final : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Resident,   // the selection is ours; messages from later starts reach `showLauncher`
        Forwarded,  // another resident owns it and was asked to show its launcher
        Failed,     // no display, or it did not answer: `error` says why
    };

    // Connects to `display` (empty: $DISPLAY) with a connection of its own, kept while this
    // lives: closing it gives the selection up.
    explicit X11ResidentClaim(const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11ResidentClaim() override;

    Outcome claim();
    QString error() const { return m_error; }
    // What a later start's message does while we are the resident.
    void setShowLauncher(std::function<void()> showLauncher) {
        m_showLauncher = std::move(showLauncher);
    }

private:
    // Takes the selection unless it is owned; the owner found (ours when taken), none when the
    // server did not answer.
    std::optional<xcb_window_t> takeUnlessOwned(xcb_timestamp_t time);
    bool askToShowLauncher(xcb_window_t owner);
    void announce(xcb_timestamp_t time);
    void handle(const xcb_generic_event_t& event);

    std::unique_ptr<X11Connection> m_connection;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    std::function<void()> m_showLauncher;
    QString m_error;
};

}  // namespace tessora::x11
