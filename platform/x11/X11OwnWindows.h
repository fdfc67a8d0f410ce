#pragma once

#include <xcb/xcb.h>
#include <functional>
#include <optional>
#include <vector>

namespace tessora::x11 {

class X11Connection;

// Our own top-level windows as the window manager should treat them. A panel is kept above the
// others, on every desktop, out of the taskbar and the pager, and (in window managers that
// leave such windows out of Alt+Tab, as openbox does) out of window cycling; its window type is
// left as the toolkit chose it. Window managers drop these states when a window is hidden
// (withdrawn), so they are written again whenever that happens: a panel stays prepared for
// every later show.
class OwnWindows {
public:
    explicit OwnWindows(X11Connection& connection);

    // Marks `window` as a panel: properties while it is unmapped, requests to the window
    // manager when it is mapped already. Nothing happens for a window that does not exist.
    void preparePanel(xcb_window_t window);
    // Before `window` is hidden: when it has the keyboard focus, the focus goes back to the
    // desktop (PointerRoot) rather than wherever the window manager's focus request said.
    void releaseFocus(xcb_window_t window);
    // Whether the window manager has withdrawn `window` (ICCCM: WM_STATE removed or Withdrawn),
    // or no window manager runs to do so. One round trip. A window that is gone counts as
    // withdrawn: there is nothing left to race.
    bool withdrawn(xcb_window_t window);
    // Called when the window manager changes a panel's WM_STATE.
    std::function<void(xcb_window_t)> onStateChange;

    // Keeps panels prepared. True for events about our panels, which
    // concern nobody else.
    bool handle(const xcb_generic_event_t& event);

private:
    // Writes the panel's states and desktop; false when the window is gone.
    bool writeProperties(xcb_window_t window);
    void requestStates(xcb_window_t window);
    bool isPanel(xcb_window_t window) const;

    X11Connection& m_connection;
    std::vector<xcb_window_t> m_panels;
};

}  // namespace tessora::x11
