// The Chain strip's navigation panel and its Alt + scroll grab, which exist together while
// there is something to scroll.
#include "chain/RibbonLayoutSession.h"

#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcChainPanel, "tessora.chain.panel")
}  // namespace

template <class F>
void RibbonLayoutSession::dispatch(F&& callback) {
    ++m_dispatchDepth;
    callback();
    if (--m_dispatchDepth == 0) {
        m_retiredPanels.clear();
    }
}

void RibbonLayoutSession::updatePanel() {
    if (m_windows.size() < 2 || maxOffset() <= 0) {
        removePanel();  // everything fits: nothing to scroll
        return;
    }
    const int count = static_cast<int>(m_windows.size());
    // The panel touches the top of the usable area, centred on it. The area is the display's
    // visible frame in window space, so no conversion from screen space is needed here.
    const WindowRect frame = ribbondots::panelFrame(m_strip.area, count);
    if (!m_panelShown && m_makePanel) {
        m_panel = m_makePanel();
        if (m_panel) {
            m_panel->setHandlers({
                [this](int index) { dispatch([&] { selectColumn(index); }); },
                [this](const ScrollInput& input) { dispatch([&] { handleScroll(input); }); },
                [this] { dispatch([&] { end(); }); },
            });
        }
    }
    if (!m_panel && !m_panelShown) {
        qCDebug(lcChainPanel) << "No panel to show the Chain columns on; Alt + scroll still works";
    }
    m_panelShown = true;
    if (!m_scrollTap) {
        // Before the panel shows: making the grab may wait a moment for the window system,
        // which a window that is being mapped and placed had better not be kept waiting for.
        installScrollTap();
    }
    if (m_panel) {
        m_panel->show(frame, dots());
    }
}

void RibbonLayoutSession::removePanel() {
    m_scrollTap.reset();
    m_panelShown = false;
    if (!m_panel) {
        return;
    }
    if (m_dispatchDepth > 0) {
        m_retiredPanels.push_back(std::move(m_panel));  // its own callback is still running
    } else {
        m_panel.reset();
    }
}

void RibbonLayoutSession::installScrollTap() {
    // Alt + scroll over the strip's area belongs to the strip; elsewhere, or without Alt, it
    // belongs to the window under the pointer. The window system decides each notch by itself,
    // at once, and holds on to the notches of a gesture until it pauses (as long as the settle
    // waits): a fast wheel's notches come faster than they could be answered one by one, and
    // Alt may come up meanwhile.
    m_scrollTap = m_system.grabOptionScroll(
        ScrollGrabRule{m_strip.area,
                       std::chrono::duration_cast<std::chrono::milliseconds>(scrollSettleDelay)},
        [this](const ScrollInput& input) { handleScroll(input); });
    if (!m_scrollTap) {
        // The panel still scrolls; the next update of the panel tries again.
        qCWarning(lcChainPanel) << "Alt + scroll cannot be grabbed; the Chain strip scrolls"
                                << "over its panel only";
    }
}

}  // namespace tessora
